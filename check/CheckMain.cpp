// lorvane-check's entry point: the command line, the load, the report and the exit code.
// It loads a rules file exactly as the viewer does and reports the ranked
// research tree, its statistics and what the viewer passes over silently,
// or exports the chart and routes. Exit 0 when the file loads (warnings or
// not), 1 with the viewer's own message when the viewer would refuse it (or
// when an export file cannot be written), 2 on a usage error, 3 when the
// report cannot be written, 4 when --route names no advance.
#include <errno.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "chart/LoadRules.h"
#include "chart/Metrics.h"
#include "check/Check.h"
#include "check/Diff.h"
#include "check/ExitCodes.h"
#include "check/Export.h"
#include "rules/Fatal.h"

namespace {

const char Usage[] =
    "usage: lorvane-check [--json] [--metrics W,H,E] RULES.TXT\n"
    "       lorvane-check [--metrics W,H,E] [--svg OUT.svg] [--html OUT.html] RULES.TXT\n"
    "       lorvane-check [--json] --route CODE RULES.TXT\n"
    "       lorvane-check [--json] [--metrics W,H,E] --diff OLD.TXT NEW.TXT\n"
    "       lorvane-check [--metrics W,H,E] [--svg OUT.svg] [--html OUT.html] --diff OLD.TXT "
    "NEW.TXT\n"
    "       lorvane-check --version\n";

// One option of the command line as given: whether it was, and its value.
struct OptionValue {
  bool given;
  const char* value;
};

struct Options {
  OptionValue json, metrics, svg, html, route, diff, help, version;
  const char* path;
};

// Every option, the one place that knows them.
struct OptionSpec {
  const char* name;
  bool takesValue;
  OptionValue Options::*slot;
};

const OptionSpec OptionTable[] = {
    {"--json", false, &Options::json},  {"--metrics", true, &Options::metrics},
    {"--svg", true, &Options::svg},     {"--html", true, &Options::html},
    {"--route", true, &Options::route}, {"--diff", true, &Options::diff},
    {"--help", false, &Options::help},  {"--version", false, &Options::version},
};

[[noreturn]] void UsageError(const char* problem, const char* argument) {
  fprintf(stderr, "lorvane-check: %s%s\n", problem, argument);
  fputs(Usage, stderr);
  exit(EXIT_USAGE);
}

const OptionSpec* FindOption(const char* name) {
  for (const OptionSpec& spec : OptionTable) {
    if (strcmp(spec.name, name) == 0) return &spec;
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
    const OptionSpec* spec = FindOption(arg);
    if (spec == nullptr) UsageError("unknown option ", arg);
    OptionValue& slot = options.*(spec->slot);
    slot.given = true;
    if (spec->takesValue) {
      if (i + 1 >= argc) UsageError(arg, " needs a value");
      slot.value = argv[++i];
    }
  }
  return options;
}

// One signed 32-bit decimal number ending at the terminator; returns the
// position after it, or nullptr.
const char* ReadMetric(const char* text, char terminator, int32_t* value) {
  char* end = nullptr;
  errno = 0;
  long number = strtol(text, &end, 10);
  if (end == text || *end != terminator || errno != 0 || number < INT32_MIN || number > INT32_MAX) {
    return nullptr;
  }
  *value = (int32_t)number;
  return end + (terminator != 0 ? 1 : 0);
}

// "W,H,E": tmMaxCharWidth, tmHeight and tmExternalLeading of a detail font.
bool ReadMetrics(const char* text, int32_t font[3]) {
  const char* p = ReadMetric(text, ',', &font[0]);
  if (p != nullptr) p = ReadMetric(p, ',', &font[1]);
  if (p != nullptr) p = ReadMetric(p, 0, &font[2]);
  return p != nullptr;
}

}  // namespace

// The viewer shows its fatal message in a box; the checker prints the same
// text to standard error.
const char* RefusedFile = nullptr;

[[noreturn]] void FatalStop(int exitCode) {
  fflush(stdout);
  if (RefusedFile != nullptr) fprintf(stderr, "%s: ", RefusedFile);
  fputs(TextBuffer, stderr);
  fputc('\n', stderr);
  fflush(stderr);
  exit(exitCode);
}

int main(int argc, char** argv) {
  Options options = ReadOptions(argc, argv);
  if (options.help.given) {
    fputs(Usage, stdout);
    return 0;
  }
  if (options.version.given) {
    puts("lorvane-check " LORVANE_VERSION);
    return 0;
  }
  int32_t font[3] = {0, 0, 0};
  bool withMetrics = options.metrics.given;
  if (withMetrics && !ReadMetrics(options.metrics.value, font)) {
    UsageError("--metrics needs W,H,E, not ", options.metrics.value);
  }
  const char* path = options.path;
  if (path == nullptr) UsageError("no rules file given", "");
  bool json = options.json.given;
  const char* svgPath = options.svg.value;
  const char* htmlPath = options.html.value;
  const char* routeText = options.route.value;
  bool exports = svgPath != nullptr || htmlPath != nullptr;
  if (json && exports && routeText == nullptr)
    UsageError("--json goes with a report or --route", "");

  const char* diffPath = options.diff.value;
  if (diffPath != nullptr) {
    if (routeText != nullptr) UsageError("--diff does not go with --route", "");
    int diffExit = RunDiff(diffPath, path, withMetrics ? font : nullptr, json, svgPath, htmlPath);
    if (diffExit == 0 && (fflush(stdout) != 0 || ferror(stdout))) diffExit = EXIT_WRITE;
    if (diffExit == EXIT_WRITE) fputs("lorvane-check: cannot write the report\n", stderr);
    return diffExit;
  }
  LoadRules(path);
  if (withMetrics) SetChartMetrics(font[0], font[1], font[2]);

  int exitCode = 0;
  bool written = true;
  if (exports || routeText != nullptr) {
    exitCode = RunExports(svgPath, htmlPath, routeText, withMetrics, json);
  } else if (json) {
    written = PrintJsonReport(withMetrics);
  } else {
    PrintTextReport(withMetrics);
  }
  if (!written || fflush(stdout) != 0 || ferror(stdout)) {
    fputs("lorvane-check: cannot write the report\n", stderr);
    return EXIT_WRITE;
  }
  return exitCode;
}
