// lorvane-check's entry point: the command line, the load, the report and the exit code.
// It loads a rules file exactly as the viewer does and reports the ranked
// research tree, its statistics and what the viewer passes over silently,
// or exports the chart and routes; check/ExitCodes.h has its exit codes.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "chart/ChartPage.h"
#include "chart/ChartSvg.h"
#include "chart/LoadRules.h"
#include "chart/Metrics.h"
#include "check/Check.h"
#include "check/ConsoleText.h"
#include "check/Diff.h"
#include "check/ExitCodes.h"
#include "check/Export.h"
#include "rules/Fatal.h"
#include "rules/Reader.h"

// The usage text, embedded at build time from check/usage.txt.
extern const char UsageText[];

namespace {

// One option of the command line as given: whether it was, and its value.
struct OptionValue {
  bool given;
  const char* value;
};

struct Options {
  OptionValue json, metrics, svg, html, title, route, diff, werror, help, version;
  const char* path;
};

// Every option, the one place that knows them.
struct OptionRow {
  const char* name;
  bool takesValue;
  OptionValue Options::*slot;
};

const OptionRow OptionTable[] = {
    {"--json", false, &Options::json},  {"--metrics", true, &Options::metrics},
    {"--svg", true, &Options::svg},     {"--html", true, &Options::html},
    {"--title", true, &Options::title}, {"--route", true, &Options::route},
    {"--diff", true, &Options::diff},   {"--werror", false, &Options::werror},
    {"--help", false, &Options::help},  {"--version", false, &Options::version},
};

// The chart font's metrics the checker takes: every coordinate of the
// chart stays far inside 32 bits (the rows: 100 levels of at most 203
// lines of 20,000 pixels), and a chart too wide for them is refused.
enum { METRIC_MAX = 10000 };

[[noreturn]] void UsageError(const char* problem, const char* argument) {
  fprintf(stderr, "lorvane-check: %s%s\n", problem, ShownArgument(argument).c_str());
  fputs(UsageText, stderr);
  exit(EXIT_USAGE);
}

const OptionRow* FindOption(const char* name) {
  for (const OptionRow& row : OptionTable) {
    if (strcmp(row.name, name) == 0) return &row;
  }
  return nullptr;
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
    const OptionRow* option = FindOption(arg);
    if (option == nullptr) UsageError("unknown option ", arg);
    OptionValue& slot = options.*(option->slot);
    if (slot.given) UsageError("more than one ", arg);
    slot.given = true;
    if (option->takesValue) {
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

// A decimal number from low to high: digits only, no sign, no leading
// zero, ending at the terminator. Returns the position after it, or nullptr.
const char* ReadMetric(const char* text, char terminator, int32_t low, int32_t* value) {
  const char* p = text;
  int32_t number = 0;
  while (*p >= '0' && *p <= '9') {
    number = number * 10 + (*p - '0');
    if (number > METRIC_MAX) return nullptr;
    ++p;
  }
  if (p == text || (*text == '0' && p - text > 1) || *p != terminator || number < low) {
    return nullptr;
  }
  *value = number;
  return p + (terminator != 0 ? 1 : 0);
}

// "W,H,E": tmMaxCharWidth, tmHeight and tmExternalLeading of a detail font.
bool ReadMetrics(const char* text, int32_t font[3]) {
  const char* p = ReadMetric(text, ',', 1, &font[0]);
  if (p != nullptr) p = ReadMetric(p, ',', 1, &font[1]);
  if (p != nullptr) p = ReadMetric(p, 0, 0, &font[2]);
  return p != nullptr;
}

// Help and version: exit 3 when they cannot be written.
int PrintAndExit(const char* text) {
  if (fputs(text, stdout) < 0 || fflush(stdout) != 0 || ferror(stdout)) {
    fputs("lorvane-check: cannot write the standard output\n", stderr);
    return EXIT_WRITE;
  }
  return EXIT_LOADED;
}

// What FatalStop needs to word a refusal.
const char* RulesPath = "";
bool JsonMode = false;
bool Opening = true;      // the message names the path, not the file's text
bool NamingFile = false;  // --diff: every refusal names its file

// Opens and loads one rules file as the viewer does, once the outputs are
// known not to be it. With a copy (--diff), the chart metrics are set, the
// font's or the viewer's, and the loaded rules copied. False after a
// message.
bool LoadChecked(const char* path, const std::vector<OutputFile>& outputs, const int32_t* font,
                 RulesCopy* copy) {
  RulesPath = path;
  Opening = true;
  FILE* file = OpenRulesFile(path);
  Opening = false;
  if (!CheckOutputPaths(file, path, outputs)) return false;
  WatchEncoding();
  LoadRulesFile(file);
  fclose(file);
  if (copy != nullptr) {
    if (font != nullptr) {
      SetChartMetrics(font[0], font[1], font[2]);
    } else {
      SetChartMetrics(11, 13, 0);
    }
    CopyLoadedRules(path, copy);
  }
  return true;
}

// --werror: a file that loads with warnings fails as a build step would.
int WarningsExit() { return ForEachWarning(nullptr, nullptr) > 0 ? EXIT_WARNINGS : EXIT_LOADED; }

}  // namespace

// The viewer shows its fatal message in a box; the checker prints the same
// text to standard error. In the text report, a message about one line of
// the file comes in the form editors read: FILE:LINE: error: MESSAGE. With
// --diff, which loads two files, every refusal names its file so.
[[noreturn]] void FatalStop(int exitCode) {
  fflush(stdout);
  std::string message = Opening ? ShownArgument(TextBuffer) : ShownText(TextBuffer);
  // A refused cycle: the loop itself after the viewer's message.
  std::vector<const Advance*> loop = RefusedLoop();
  if (!loop.empty()) message += ": " + ShownText(LoopText(loop).c_str());
  if ((!JsonMode || NamingFile) && FatalLine > 0) {
    fprintf(stderr, "%s:%ld: error: ", ShownArgument(RulesPath).c_str(), (long)FatalLine);
  } else if (NamingFile) {
    fprintf(stderr, "%s: error: ", ShownArgument(RulesPath).c_str());
  }
  fputs(message.c_str(), stderr);
  fputc('\n', stderr);
  fflush(stderr);
  exit(exitCode);
}

int main(int argc, char** argv) {
  SetUpConsole();
  Options options = ReadOptions(argc, argv);
  if (options.help.given) return PrintAndExit(UsageText);
  if (options.version.given) return PrintAndExit("lorvane-check " LORVANE_VERSION "\n");

  int32_t font[3] = {0, 0, 0};
  bool withMetrics = options.metrics.given;
  if (withMetrics && !ReadMetrics(options.metrics.value, font)) {
    UsageError("--metrics needs W,H,E within the usage's ranges, not ", options.metrics.value);
  }
  const char* path = options.path;
  if (path == nullptr) UsageError("no rules file given", "");
  bool json = options.json.given;
  const char* routeText = options.route.value;
  std::vector<OutputFile> outputs;
  if (options.svg.given) outputs.push_back({"--svg", options.svg.value, MakeSvgDocument, ""});
  if (options.html.given) outputs.push_back({"--html", options.html.value, MakeCheckedPage, ""});
  if (json && !outputs.empty() && routeText == nullptr) {
    UsageError("--json goes with a report or --route", "");
  }
  if (options.title.given && !options.html.given) UsageError("--title goes with --html", "");
  SetPageTitle(path, options.title.value);
  for (const OutputFile& file : outputs) {
    if (routeText != nullptr && strcmp(file.path, "-") == 0) {
      UsageError(file.option, " - and --route would both write to standard output");
    }
  }

  JsonMode = json;
  const char* diffPath = options.diff.value;
  if (diffPath != nullptr) {
    if (routeText != nullptr) UsageError("--diff does not go with --route", "");
    NamingFile = true;
    RulesCopy before;
    RulesCopy after;
    if (!LoadChecked(diffPath, outputs, withMetrics ? font : nullptr, &before)) return EXIT_USAGE;
    ResetRules();
    if (!LoadChecked(path, outputs, withMetrics ? font : nullptr, &after)) return EXIT_USAGE;
    int diffExit = RunDiff(before, after, json, &outputs);
    if (diffExit == EXIT_LOADED && (fflush(stdout) != 0 || ferror(stdout))) diffExit = EXIT_WRITE;
    if (diffExit == EXIT_WRITE) fputs("lorvane-check: cannot write the report\n", stderr);
    if (diffExit == EXIT_LOADED && options.werror.given) diffExit = WarningsExit();
    return diffExit;
  }
  if (!LoadChecked(path, outputs, nullptr, nullptr)) return EXIT_USAGE;
  if (withMetrics) SetChartMetrics(font[0], font[1], font[2]);

  int exitCode = EXIT_LOADED;
  bool written = true;
  if (!outputs.empty() || routeText != nullptr) {
    exitCode = RunExports(&outputs, routeText, withMetrics, json);
  } else if (json) {
    written = PrintJsonReport(withMetrics);
  } else {
    PrintTextReport(path, withMetrics);
  }
  if (!written || fflush(stdout) != 0 || ferror(stdout)) {
    fputs("lorvane-check: cannot write the report\n", stderr);
    return EXIT_WRITE;
  }
  if (exitCode == EXIT_LOADED && options.werror.given) exitCode = WarningsExit();
  return exitCode;
}
