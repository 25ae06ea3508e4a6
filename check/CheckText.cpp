// The text report: the chart's rows as lists, then the statistics and the warnings.
// The chart metrics follow the statistics when asked for.
#include <stdio.h>
#include <string.h>

#include "chart/ChartText.h"
#include "chart/Metrics.h"
#include "chart/UnitText.h"
#include "check/Check.h"
#include "graph/Levels.h"
#include "rules/Advance.h"
#include "rules/Fatal.h"
#include "rules/UnitType.h"

namespace {

void PrintPrerequisite(const char* code, const Advance* prereq) {
  if (prereq != nullptr) {
    fputs(prereq->name, stdout);
  } else {
    printf("\"%s\" (names no advance)", code);
  }
}

void PrintAdvance(const Advance* advance) {
  printf("  %s [%s]\n", advance->name, advance->code);

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
    printf("%s%s", i > 0 ? ", " : "", advance->children[i]->name);
  }

  FormatDetailLine(advance);
  printf("\n    detail: %s\n", TextBuffer);

  // As in the chart: the name with its cost text after it, then the
  // figures line, which begins with its own blank.
  int units = AdvanceUnitCount(advance);
  for (int k = 0; k < units; ++k) {
    const UnitType* unit = advance->units[k];
    FormatUnitCost(unit);
    printf("    unit: %s%s\n", unit->name, TextBuffer);
    FormatFiguresLine(unit);
    printf("         %s\n", TextBuffer);
  }
}

void PrintLevelList(const char* label, const int32_t* values) {
  fputs(label, stdout);
  for (int level = 0; level <= MaxLevel && level < MAX_LEVELS; ++level) {
    printf(" %ld", (long)values[level]);
  }
  fputs("\n", stdout);
}

void PrintWarning(void*, const Diagnostic* diagnostic) {
  printf("warning: %s\n", diagnostic->message.c_str());
}

}  // namespace

void PrintTextReport(bool withMetrics) {
  for (int level = 0; level <= MaxLevel && level < MAX_LEVELS; ++level) {
    printf("Level %d: %ld advance%s\n", level, (long)LevelCount[level],
           LevelCount[level] == 1 ? "" : "s");
    for (const Advance* a = &RootAdvance; a != nullptr && a->name[0] != 0; a = a->next) {
      if (a->level == level) PrintAdvance(a);
    }
  }

  printf("MaxLevel %ld\n", (long)MaxLevel);
  PrintLevelList("LevelCount", LevelCount);
  printf("MaxLevelCount %ld\n", (long)MaxLevelCount);
  PrintLevelList("LevelMaxUnits", LevelMaxUnits);

  if (withMetrics) {
    printf("CharWidth %ld\n", (long)CharWidth);
    printf("BoxWidth %ld\n", (long)BoxWidth);
    printf("ColumnGap %ld\n", (long)ColumnGap);
    printf("LineHeight %ld\n", (long)LineHeight);
    printf("RowGap %ld\n", (long)RowGap);
    PrintLevelList("LevelHeight", LevelHeight);
    printf("ChartWidth %ld\n", (long)ChartWidth);
    printf("ChartHeight %ld\n", (long)ChartHeight);
    printf("ChartLines %ld\n", (long)ChartLines);
  }

  printf("Warnings %d\n", ForEachWarning(nullptr, nullptr));
  ForEachWarning(PrintWarning, nullptr);
}
