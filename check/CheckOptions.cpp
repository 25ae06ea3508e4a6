// lorvane-check's command line: the option table, reading the options into
// it and checking how they combine.
#include "check/CheckOptions.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "check/CheckOutputs.h"
#include "check/CheckSarif.h"
#include "check/ExitCodes.h"
#include "console/ConsoleText.h"

const OptionRow OptionTable[] = {
    {"--json", nullptr, &Options::json, nullptr, "--svg --html --sarif", "--route --have",
     " goes with a report, --route or --have", false, nullptr, nullptr},
    {"--metrics", "W,H,E", &Options::metrics, nullptr, nullptr, nullptr, nullptr, false, nullptr,
     nullptr},
    {"--svg", "OUT.svg", &Options::svg, nullptr, nullptr, nullptr, nullptr, false, MakeCheckedSvg,
     nullptr},
    {"--html", "OUT.html", &Options::html, nullptr, nullptr, nullptr, nullptr, false,
     MakeCheckedPage, nullptr},
    {"--sarif", "OUT.sarif", &Options::sarif, nullptr, "--diff", nullptr,
     " does not go with --diff", false, MakeCheckedSarif, nullptr},
    {"--title", "TEXT", &Options::title, "--html", nullptr, nullptr, " goes with --html", false,
     nullptr, nullptr},
    {"--route", "CODE[,CODE...]", &Options::route, nullptr, nullptr, nullptr, nullptr, true,
     nullptr, RouteReport},
    {"--have", "CODE[,CODE...]", &Options::have, nullptr, nullptr, nullptr, nullptr, true, nullptr,
     PlanReport},
    {"--diff", "OLD.TXT", &Options::diff, nullptr, "--route --have", nullptr,
     " does not go with --route or --have", false, nullptr, nullptr},
    {"--units", nullptr, &Options::units, nullptr,
     "--svg --html --sarif --route --have --diff --metrics", nullptr,
     " goes with --json or --csv alone", false, nullptr, UnitsReport},
    {"--csv", nullptr, &Options::csv, "--units", "--json", nullptr, " goes with --units alone",
     false, nullptr, nullptr},
    {"--werror", nullptr, &Options::werror, nullptr, nullptr, nullptr, nullptr, false, nullptr,
     nullptr},
    {"--lsp", nullptr, &Options::lsp, nullptr,
     "--json --metrics --svg --html --sarif --title --route --have --diff --units --csv --werror",
     nullptr, " goes alone, without a rules file: the editor sends the texts", true, nullptr,
     nullptr},
    {"--help", nullptr, &Options::help, nullptr, nullptr, nullptr, nullptr, false, nullptr, nullptr},
    {"--version", nullptr, &Options::version, nullptr, nullptr, nullptr, nullptr, false, nullptr,
     nullptr},
};
const int OptionCount = sizeof OptionTable / sizeof OptionTable[0];

namespace {

const OptionRow* FindOption(const char* name, size_t length) {
  for (const OptionRow& row : OptionTable) {
    if (strlen(row.name) == length && strncmp(row.name, name, length) == 0) return &row;
  }
  return nullptr;
}

bool Given(const Options& options, const char* name, size_t length) {
  const OptionRow* row = FindOption(name, length);
  return row != nullptr && (options.*(row->slot)).given;
}

bool Given(const Options& options, const char* name) {
  return name != nullptr && Given(options, name, strlen(name));
}

// True when one of the blank-separated options is given.
bool AnyGiven(const Options& options, const char* names) {
  for (const char* at = names; at != nullptr && *at != 0;) {
    size_t length = strcspn(at, " ");
    if (Given(options, at, length)) return true;
    at += length;
    at += strspn(at, " ");
  }
  return false;
}

}  // namespace

std::string UsageOf(const OptionRow& row) {
  return row.value != nullptr ? std::string(row.name) + " " + row.value : row.name;
}

[[noreturn]] void UsageError(const char* problem, const char* argument) {
  fprintf(stderr, "lorvane-check: %s%s\n", problem, ShownArgument(argument).c_str());
  fputs(UsageText, stderr);
  exit(EXIT_USAGE);
}

Options ReadOptions(int argc, char** argv) {
  Options options = {};
  bool optionsEnd = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (!optionsEnd && strcmp(arg, "--") == 0) {
      optionsEnd = true;
      continue;
    }
    if (optionsEnd || arg[0] != '-' || arg[1] == 0) {
      if (options.path != nullptr) UsageError("more than one rules file: ", arg);
      options.path = arg;
      continue;
    }
    const OptionRow* option = FindOption(arg, strlen(arg));
    if (option == nullptr) UsageError("unknown option ", arg);
    OptionValue& slot = options.*(option->slot);
    if (slot.given) UsageError("more than one ", arg);
    slot.given = true;
    if (option->value != nullptr) {
      if (i + 1 >= argc) UsageError(arg, " needs a value");
      slot.value = argv[++i];
      // Another option, forgotten value: never taken for a path.
      if (strncmp(slot.value, "--", 2) == 0) {
        fprintf(stderr, "lorvane-check: %s needs a value, not %s (write ./%s for a file)\n", arg,
                ShownArgument(slot.value).c_str(), ShownArgument(slot.value).c_str());
        fputs(UsageText, stderr);
        exit(EXIT_USAGE);
      }
    }
  }
  return options;
}

const OptionRow* ChosenReport(const Options& options) {
  for (const OptionRow& row : OptionTable) {
    if (row.report != nullptr && (options.*(row.slot)).given) return &row;
  }
  return nullptr;
}

void CheckCombinations(const Options& options) {
  for (const OptionRow& row : OptionTable) {
    if (!(options.*(row.slot)).given) continue;
    bool lacking = row.needs != nullptr && !Given(options, row.needs);
    bool excluded = AnyGiven(options, row.excludes) && !AnyGiven(options, row.unless);
    if (lacking || excluded) UsageError(row.name, row.problem);
    if (!row.takesStandardOutput) continue;
    for (const OptionRow& output : OptionTable) {
      const OptionValue& value = options.*(output.slot);
      if (output.make != nullptr && value.given && strcmp(value.value, "-") == 0) {
        std::string problem = std::string(" - and ") + row.name;
        UsageError(output.name, (problem + " would both write to standard output").c_str());
      }
    }
  }
}
