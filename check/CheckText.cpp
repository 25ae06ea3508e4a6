// The text report: the chart's rows as lists, then the statistics and the warnings.
// The chart metrics follow the statistics when asked for.
#include "check/CheckText.h"

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "chart/ChartText.h"
#include "chart/Metrics.h"
#include "chart/UnitText.h"
#include "console/ConsoleText.h"
#include "graph/Levels.h"
#include "rules/Advance.h"
#include "rules/Lists.h"
#include "rules/TextBuffer.h"
#include "rules/UnitType.h"
#include "warnings/Diagnostics.h"
#include "warnings/Warnings.h"

namespace {

// Rules-file text as every output shows it.
void Put(const char* rulesText) { PutShown(rulesText, stdout); }

void PrintPrerequisite(const char* code, const Advance* prereq) {
  if (prereq != nullptr) {
    Put(prereq->name);
  } else {
    fputs("\"", stdout);
    Put(code);
    fputs("\" (names no advance)", stdout);
  }
}

void PrintAdvance(const Advance* advance) {
  fputs("  ", stdout);
  Put(advance->name);
  fputs(" [", stdout);
  Put(advance->code);
  fputs("]\n", stdout);

  fputs("    prerequisites: ", stdout);
  if (advance == &RootAdvance) {
    fputs("none", stdout);
  } else {
    PrintPrerequisite(advance->prereqCode1, advance->prereq1);
    fputs(", ", stdout);
    PrintPrerequisite(advance->prereqCode2, advance->prereq2);
  }
  fputs("\n    dependants: ", stdout);
  if (advance->childCount == 0) fputs("none", stdout);
  for (int i = 0; i < advance->childCount && i < MAX_DEPENDANTS; ++i) {
    if (i > 0) fputs(", ", stdout);
    Put(advance->children[i]->name);
  }

  FormatDetailLine(advance);
  fputs("\n    detail: ", stdout);
  Put(TextBuffer);
  fputs("\n", stdout);

  // As in the chart: the name with its cost text after it, then the
  // figures line, which begins with its own blank.
  int units = AdvanceUnitCount(advance);
  for (int k = 0; k < units; ++k) {
    const UnitType* unit = advance->units[k];
    fputs("    unit: ", stdout);
    Put(unit->name);
    FormatUnitCost(unit);
    Put(TextBuffer);
    FormatFiguresLine(unit);
    fputs("\n         ", stdout);
    Put(TextBuffer);
    fputs("\n", stdout);
  }
}

void PrintLevelList(const char* label, const int32_t* values) {
  fputs(label, stdout);
  for (int level = 0; level <= MaxLevel && level < MAX_LEVELS; ++level) {
    printf(" %ld", (long)values[level]);
  }
  fputs("\n", stdout);
}

}  // namespace

void PrintTextReport(const char* path, bool withMetrics) {
  // The rows in one walk of the list: a walk per row reads every record
  // a hundred times.
  std::vector<const Advance*> rows[MAX_LEVELS];
  for (const Advance* a = &RootAdvance; a != nullptr && a->name[0] != 0; a = a->next) {
    if (a->level >= 0 && a->level < MAX_LEVELS) rows[a->level].push_back(a);
  }
  for (int level = 0; level <= MaxLevel && level < MAX_LEVELS; ++level) {
    printf("Level %d: %ld advance%s\n", level, (long)LevelCount[level],
           LevelCount[level] == 1 ? "" : "s");
    for (const Advance* a : rows[level]) PrintAdvance(a);
  }

  printf("MaxLevel %ld\n", (long)MaxLevel);
  PrintLevelList("LevelCount", LevelCount);
  printf("MaxLevelCount %ld\n", (long)MaxLevelCount);
  PrintLevelList("LevelMaxUnits", LevelMaxUnits);

  for (int m = 0; withMetrics && m < ReportedMetricCount; ++m) {
    const ReportedMetric& metric = ReportedMetrics[m];
    if (metric.perLevel) {
      PrintLevelList(metric.name, metric.value);
    } else {
      printf("%s %ld\n", metric.name, (long)*metric.value);
    }
  }

  // Counted before they are printed: one scan of the file, kept.
  std::vector<Diagnostic> warnings = CollectWarnings();
  printf("Warnings %d\n", (int)warnings.size());
  std::string shownPath = ShownArgument(path);
  for (const Diagnostic& warning : warnings)
    fputs(DiagnosticLine(shownPath, warning).c_str(), stdout);
}
