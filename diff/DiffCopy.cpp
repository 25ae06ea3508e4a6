// The plain copy of a loaded rules file that the comparison works on, so
// that a second file can be loaded over the first.
#include "diff/DiffCopy.h"

#include <string.h>

#include "chart/Metrics.h"
#include "graph/Levels.h"
#include "rules/Advance.h"
#include "rules/Lists.h"
#include "rules/UnitType.h"

namespace {

// A record's text into the copy's field of the same size, ending in a zero
// whatever the record holds.
template <size_t N>
void CopyText(char (&to)[N], const char (&from)[N]) {
  memcpy(to, from, N);
  to[N - 1] = 0;
}

}  // namespace

void CopyLoadedRules(const char* path, RulesCopy* copy) {
  copy->path = path;
  copy->advances.clear();
  copy->units.clear();
  // Room for exactly the records: a growing vector of 100,000 would
  // hold twice that while it moves them.
  int count = UnitCount();
  copy->advances.reserve((size_t)AdvanceCount());
  copy->units.reserve((size_t)count);
  for (const Advance* a = &RootAdvance; a != nullptr && a->name[0] != 0; a = a->next) {
    DiffAdvance d;
    CopyText(d.name, a->name);
    CopyText(d.code, a->code);
    CopyText(d.prereqCode[0], a->prereqCode1);
    CopyText(d.prereqCode[1], a->prereqCode2);
    d.prereq[0] = AdvanceIndex(a->prereq1);
    d.prereq[1] = AdvanceIndex(a->prereq2);
    d.aiValue = a->aiValue;
    d.modifier = a->modifier;
    d.epoch = a->epoch;
    d.category = a->category;
    d.level = a->level;
    d.line = a->lineNumber;
    copy->advances.push_back(d);
  }
  const UnitType* u = &FirstUnitType;
  for (int i = 0; i < count && u != nullptr; ++i, u = u->next) {
    DiffUnit d = {};
    CopyText(d.name, u->name);
    CopyText(d.obsoleteCode, u->obsoleteCode);
    CopyText(d.prereqCode, u->prereqCode);
    d.prereq = AdvanceIndex(u->prereq);
    d.line = u->lineNumber;
    for (int f = 0; f < UNIT_FIELDS; ++f) d.figures[f] = UnitNumber(u, (UnitField)f);
    copy->units.push_back(d);
  }
  copy->maxLevel = MaxLevel;
  copy->chartWidth = ChartWidth;
  copy->chartHeight = ChartHeight;
}
