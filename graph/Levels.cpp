// Levels by the longest prerequisite chain, and the per-level statistics
// that size the chart.
#include "graph/Levels.h"

#include <string.h>

#include "rules/Advance.h"
#include "rules/Alloc.h"
#include "rules/Fatal.h"

int32_t MaxLevel;
int32_t LevelCount[MAX_LEVELS];
int32_t MaxLevelCount;
int32_t LevelMaxUnits[MAX_LEVELS];
Advance* RefusedCycle;

void ResetLevels() {
  MaxLevel = 0;
  MaxLevelCount = 0;
  memset(LevelCount, 0, sizeof LevelCount);
  memset(LevelMaxUnits, 0, sizeof LevelMaxUnits);
  RefusedCycle = nullptr;
}

namespace {

// The search marks each advance in its chartX rather than in a field of its
// own: it runs only when the load is about to be refused, so no box is
// ever drawn from these marks.
enum { UNSEEN = 0, ON_PATH = 1, DONE = 2 };

struct SearchStep {
  Advance* advance;
  int nextLink;  // 0: prereq1, 1: prereq2, 2: both followed
};

// Returns an advance on a prerequisite cycle reachable from start, or none.
// Iterative depth-first search: a rules file may hold any number of
// advances.
Advance* FindCycle(Advance* start) {
  // No path is longer than the advances and the root together.
  size_t records = 1;
  for (Advance* a = &FirstAdvance; a->name[0] != '\0'; a = a->next) {
    a->chartX = UNSEEN;
    records++;
  }
  RootAdvance.chartX = UNSEEN;
  SearchStep* stack = static_cast<SearchStep*>(AllocRecord(records * sizeof(SearchStep)));
  size_t depth = 0;
  stack[depth++] = {start, 0};
  start->chartX = ON_PATH;
  while (depth > 0) {
    SearchStep& step = stack[depth - 1];
    Advance* a = step.advance;
    // An advance with a missing link stays on level 0: the passes never
    // raise it, so the search ends there.
    bool leaf = a->prereq1 == nullptr || a->prereq2 == nullptr;
    if (leaf || step.nextLink == 2) {
      a->chartX = DONE;
      depth--;
      continue;
    }
    Advance* prereq = step.nextLink == 0 ? a->prereq1 : a->prereq2;
    step.nextLink++;
    if (prereq->chartX == ON_PATH) return prereq;
    if (prereq->chartX == UNSEEN) {
      prereq->chartX = ON_PATH;
      stack[depth++] = {prereq, 0};
    }
  }
  return nullptr;
}

[[noreturn]] void RefuseLevel(Advance* advance) {
  Advance* onCycle = FindCycle(advance);
  if (onCycle != nullptr) {
    RefusedCycle = onCycle;
    FatalLine = onCycle->lineNumber;
    Fatal(1, REFUSED_CYCLE, "Advance \"%s\" depends on itself through its prerequisites",
          onCycle->name);
  }
  Fatal(1, REFUSED_TOO_MANY_LEVELS, "Advance \"%s\" lies more than %d levels below \"%s\"",
        advance->name, MAX_LEVELS - 1, RootAdvance.name);
}

}  // namespace

void AssignLevels() {
  RootAdvance.next = &FirstAdvance;
  bool changed = true;
  while (changed) {
    changed = false;
    for (Advance* a = &FirstAdvance; a->name[0] != '\0'; a = a->next) {
      if (a->prereq1 == nullptr || a->prereq2 == nullptr) {
        a->level = 0;
        continue;
      }
      int32_t higher =
          a->prereq1->level > a->prereq2->level ? a->prereq1->level : a->prereq2->level;
      int32_t candidate = higher + 1;
      if (candidate > a->level) {
        // Level 100 lies outside every per-level table: a cycle or a chain
        // too deep, refused before it is stored.
        if (candidate >= MAX_LEVELS) RefuseLevel(a);
        a->level = candidate;
        if (candidate > MaxLevel) MaxLevel = candidate;
        changed = true;
      }
    }
  }
  for (Advance* a = &RootAdvance; a->name[0] != '\0'; a = a->next) {
    int32_t level = a->level;
    LevelCount[level]++;
    if (LevelCount[level] > MaxLevelCount) MaxLevelCount = LevelCount[level];
    int32_t units = 0;
    while (units < MAX_UNITS && a->units[units] != nullptr) units++;
    if (units > LevelMaxUnits[level]) LevelMaxUnits[level] = units;
  }
}
