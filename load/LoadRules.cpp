// The whole load in the order the viewer performs it, and the reset of the
// state of every module it passes through.
#include "load/LoadRules.h"

#include <string.h>

#include "chart/Metrics.h"
#include "graph/Levels.h"
#include "graph/Link.h"
#include "rules/Advance.h"
#include "rules/Alloc.h"
#include "rules/Reader.h"
#include "rules/TextBuffer.h"
#include "rules/UnitType.h"

namespace {

// The file LoadRules has open, so that a load ended by a caught fatal
// error can still close it in ResetRules.
FILE* OpenFile = nullptr;

void ReadRulesSections(RulesSource* source) {
  ReadSection(source, "@CIVILIZE\n", "@IMPROVE\n", &AdvanceLines);
  // Not rewound: the unit section must follow the advance section.
  ReadSection(source, "@UNITS\n", "@TERRAIN\n", &UnitLines);
}

void ReadRulesFile(FILE* file) {
  RulesSource source = {file, nullptr, 0, 0};
  ReadRulesSections(&source);
}

void BuildResearchGraph() {
  ParseAdvances();
  // Units find their advances by code, which needs only the advance list.
  ParseUnitTypes();
  LinkPrerequisites();
  AssignLevels();
}

}  // namespace

void LoadRulesFile(FILE* file) {
  ReadRulesFile(file);
  BuildResearchGraph();
}

void LoadRulesText(const char* bytes, size_t size) {
  RulesSource source = {nullptr, bytes, size, 0};
  ReadRulesSections(&source);
  BuildResearchGraph();
}

void LoadRules(const char* path) {
  OpenFile = OpenRulesFile(path);
  ReadRulesFile(OpenFile);
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
  // The records go first; the lists and the index that point into them are
  // emptied right after.
  FreeRecords();
  ResetReader();
  ResetAdvances();
  ResetUnitTypes();
  ResetCodeIndex();
  ResetLevels();
  ResetChartMetrics();
  memset(TextBuffer, 0, sizeof TextBuffer);
}
