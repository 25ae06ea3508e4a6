// lorvane-check's entry point: the options, the load, the report or the exports, the exit code.
// It loads a rules file exactly as the viewer does and reports the ranked
// research tree, its statistics and what the viewer passes over silently,
// or exports the chart and routes; check/ExitCodes.h has its exit codes.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "chart/ChartSvg.h"
#include "chart/Metrics.h"
#include "check/CheckFatal.h"
#include "check/CheckOptions.h"
#include "check/CheckOutputs.h"
#include "check/CheckSarif.h"
#include "check/ExitCodes.h"
#include "console/ConsoleText.h"
#include "diff/DiffCopy.h"
#include "diff/RunDiff.h"
#include "load/LoadRules.h"
#include "lsp/Server.h"
#include "rules/Reader.h"
#include "warnings/Diagnostics.h"
#include "warnings/Encoding.h"
#include "warnings/Warnings.h"

namespace {

// The chart font's metrics the checker takes: every coordinate of the
// chart stays far inside 32 bits (the rows: 100 levels of at most 203
// lines of 20,000 pixels), and a chart too wide for them is refused.
enum { METRIC_MAX = 10000 };

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
bool ReadMetrics(const char* text, FontMetrics* font) {
  const char* p = ReadMetric(text, ',', 1, &font->maxCharWidth);
  if (p != nullptr) p = ReadMetric(p, ',', 1, &font->height);
  if (p != nullptr) p = ReadMetric(p, 0, 0, &font->externalLeading);
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

// Opens and loads one rules file as the viewer does, once the outputs (and
// standard output, where a report goes) are known not to be it. With a
// copy (--diff), the chart metrics are set from the font and the loaded
// rules copied. False after a message.
bool LoadChecked(const char* path, FatalWording* wording, const std::vector<OutputFile>& outputs,
                 bool report, const FontMetrics& font, RulesCopy* copy, bool* refused = nullptr) {
  wording->path = path;
  wording->opening = true;
  FILE* file = OpenRulesFile(path);
  wording->opening = false;
  if (!CheckOutputPaths(file, path, outputs, report)) return false;
  WatchEncoding();
  if (refused != nullptr) {
    int exitCode = 0;
    *refused = !RunCatchingFatal([](void* rules) { LoadRulesFile(static_cast<FILE*>(rules)); },
                                 file, &exitCode);
  } else {
    LoadRulesFile(file);
  }
  fclose(file);
  if (copy != nullptr) {
    SetChartMetrics(font);
    CopyLoadedRules(path, copy);
  }
  return true;
}

// --werror: a file that loads with warnings fails as a build step would.
int WarningsExit() { return ForEachWarning(nullptr, nullptr) > 0 ? EXIT_WARNINGS : EXIT_LOADED; }

}  // namespace

int main(int argc, char** argv) {
  SetUpConsole();
  Options options = ReadOptions(argc, argv);
  if (options.help.given) return PrintAndExit(UsageText);
  if (options.version.given) return PrintAndExit("lorvane-check " LORVANE_VERSION "\n");
  if (options.lsp.given) {
    CheckCombinations(options);
    if (options.path != nullptr) UsageError("--lsp takes no rules file: ", options.path);
    return RunLanguageServer(stdin, stdout);
  }

  FontMetrics font = DefaultFontMetrics;
  bool withMetrics = options.metrics.given;
  if (withMetrics && !ReadMetrics(options.metrics.value, &font)) {
    UsageError("--metrics needs W,H,E within the usage's ranges, not ", options.metrics.value);
  }
  const char* path = options.path;
  if (path == nullptr) UsageError("no rules file given", "");
  bool json = options.json.given;
  bool comparing = options.diff.given;
  // The makers see the context as it is when they run: --diff adds its marks.
  ExportContext context = {PageTitle(path, options.title.value), nullptr, path};
  std::vector<OutputFile> outputs;
  for (int k = 0; k < OptionCount; ++k) {
    const OptionRow& row = OptionTable[k];
    const OptionValue& value = options.*(row.slot);
    if (row.make == nullptr || !value.given) continue;
    auto make = row.make;
    outputs.push_back(
        {row.name, value.value, [make, &context](std::string* text) { make(text, context); }, ""});
  }
  CheckCombinations(options);
  // The report, the route and what can be researched go to standard output.
  bool toStandardOutput = outputs.empty() || options.route.given || options.have.given;

  FatalWording wording = {path, json, comparing, true};
  UseFatalWording(&wording);
  if (comparing) {
    const char* diffPath = options.diff.value;
    RulesCopy before;
    RulesCopy after;
    if (!LoadChecked(diffPath, &wording, outputs, toStandardOutput, font, &before)) {
      return EXIT_USAGE;
    }
    ResetRules();
    if (!LoadChecked(path, &wording, outputs, toStandardOutput, font, &after)) return EXIT_USAGE;
    // NEW is the file loaded: its warnings, and both files named as the
    // terminal shows them.
    DiffContext report;
    report.oldName = ShownArgument(diffPath);
    report.newName = ShownArgument(path);
    for (const Diagnostic& warning : CollectWarnings()) {
      report.warningLines.push_back(DiagnosticLine(report.newName, warning));
      report.warnings.push_back(DiagnosticJson(warning));
    }
    int diffExit = EXIT_LOADED;
    if (!outputs.empty()) {
      ChartMarks marks;
      RunDiff(before, after, json, report, &marks);
      context.marks = &marks;
      diffExit = RunOutputs(&outputs, nullptr, nullptr, true, json);
    } else if (!RunDiff(before, after, json, report, nullptr)) {
      diffExit = EXIT_WRITE;
    }
    if (diffExit == EXIT_LOADED && (fflush(stdout) != 0 || ferror(stdout))) diffExit = EXIT_WRITE;
    if (diffExit == EXIT_WRITE) fputs("lorvane-check: cannot write the report\n", stderr);
    if (diffExit == EXIT_LOADED && options.werror.given) diffExit = WarningsExit();
    return diffExit;
  }
  // With --sarif, a refusal is the log's one result.
  bool refused = false;
  if (!LoadChecked(path, &wording, outputs, toStandardOutput, font, nullptr,
                   options.sarif.given ? &refused : nullptr)) {
    return EXIT_USAGE;
  }
  if (refused) {
    PrintFatalMessage();
    std::vector<OutputFile> log = {
        {"--sarif", options.sarif.value, nullptr, SarifLog(path, {RefusalDiagnostic()})}};
    SaveFiles(log);
    return EXIT_REFUSED;
  }
  if (withMetrics) SetChartMetrics(font);

  ReportRun run = {&options, path, &outputs, withMetrics, json};
  const OptionRow* chosen = ChosenReport(options);
  int exitCode = chosen != nullptr ? chosen->report(run) : DefaultReport(run);
  if (exitCode == REPORT_UNWRITTEN || fflush(stdout) != 0 || ferror(stdout)) {
    fputs("lorvane-check: cannot write the report\n", stderr);
    return EXIT_WRITE;
  }
  if (exitCode == EXIT_LOADED && options.werror.given) exitCode = WarningsExit();
  return exitCode;
}
