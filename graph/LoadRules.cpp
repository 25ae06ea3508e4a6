// The whole load, in the order the viewer performs it.
#include "graph/LoadRules.h"

#include <string.h>

#include "chart/Metrics.h"
#include "graph/Levels.h"
#include "graph/Link.h"
#include "rules/Advance.h"
#include "rules/Alloc.h"
#include "rules/Fatal.h"
#include "rules/Reader.h"
#include "rules/UnitType.h"

namespace {

// The file LoadRules has open, so that a load ended by a caught fatal
// error can still close it in ResetRules.
FILE* OpenFile = nullptr;

}  // namespace

void ReadRulesSections(FILE* file) {
  ForgetReadAhead();
  ReadSection(file, "@CIVILIZE\n", "@IMPROVE\n", &AdvanceLines);
  // Not rewound: the unit section must follow the advance section.
  ReadSection(file, "@UNITS\n", "@TERRAIN\n", &UnitLines);
}

void BuildResearchGraph() {
  ParseAdvances();
  // Units find their advances by code, which needs only the advance list.
  ParseUnitTypes();
  LinkPrerequisites();
  AssignLevels();
}

void LoadRulesFile(FILE* file) {
  ReadRulesSections(file);
  BuildResearchGraph();
}

void LoadRules(const char* path) {
  OpenFile = OpenRulesFile(path);
  ReadRulesSections(OpenFile);
  // Closed before parsing: nothing after the "@TERRAIN" line is read.
  fclose(OpenFile);
  OpenFile = nullptr;
  BuildResearchGraph();
}

void ResetRules() {
  if (OpenFile != nullptr) {
    fclose(OpenFile);
    OpenFile = nullptr;
  }
  ForgetReadAhead();
  FreeRecords();
  ForgetAdvanceCodes();
  AllocFailAfter = -1;
  memset(&AdvanceLines, 0, sizeof AdvanceLines);
  memset(&UnitLines, 0, sizeof UnitLines);
  memset(&FirstAdvance, 0, sizeof FirstAdvance);
  memset(&FirstUnitType, 0, sizeof FirstUnitType);
  ResetRootAdvance();
  MaxLevel = 0;
  MaxLevelCount = 0;
  memset(LevelCount, 0, sizeof LevelCount);
  memset(LevelMaxUnits, 0, sizeof LevelMaxUnits);
  ScreenWidth = 0;
  ScreenHeight = 0;
  CharWidth = 0;
  BoxWidth = 0;
  ColumnGap = 0;
  LineHeight = 0;
  RowGap = 0;
  memset(LevelHeight, 0, sizeof LevelHeight);
  ChartWidth = 0;
  ChartHeight = 0;
  ChartLines = 0;
  memset(TextBuffer, 0, sizeof TextBuffer);
}
