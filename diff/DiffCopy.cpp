// The plain copy of a loaded rules file that the comparison works on, so
// that a second file can be loaded over the first.
#include "diff/DiffCopy.h"

#include "chart/Metrics.h"
#include "graph/Levels.h"
#include "rules/Advance.h"
#include "rules/Lists.h"
#include "rules/UnitType.h"

void CopyLoadedRules(const char* path, RulesCopy* copy) {
  copy->path = path;
  copy->advances.clear();
  copy->units.clear();
  for (const Advance* a = &RootAdvance; a != nullptr && a->name[0] != 0; a = a->next) {
    DiffAdvance d;
    d.name = a->name;
    d.code = a->code;
    d.prereqCode[0] = a->prereqCode1;
    d.prereqCode[1] = a->prereqCode2;
    d.prereq[0] = AdvanceIndex(a->prereq1);
    d.prereq[1] = AdvanceIndex(a->prereq2);
    d.aiValue = a->aiValue;
    d.modifier = a->modifier;
    d.epoch = a->epoch;
    d.category = a->category;
    d.level = a->level;
    d.line = a->lineNumber;
    copy->advances.push_back(std::move(d));
  }
  int count = UnitCount();
  const UnitType* u = &FirstUnitType;
  for (int i = 0; i < count && u != nullptr; ++i, u = u->next) {
    DiffUnit d = {};
    d.name = u->name;
    d.obsoleteCode = u->obsoleteCode;
    d.prereqCode = u->prereqCode;
    d.prereq = AdvanceIndex(u->prereq);
    d.line = u->lineNumber;
    for (int f = 0; f < UNIT_FIELDS; ++f) d.figures[f] = UnitNumber(u, (UnitField)f);
    copy->units.push_back(std::move(d));
  }
  copy->maxLevel = MaxLevel;
  copy->chartWidth = ChartWidth;
  copy->chartHeight = ChartHeight;
}
