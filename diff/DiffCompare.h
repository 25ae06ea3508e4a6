// The changes between two copies of rules files, in report order.
#pragma once
#include <stdint.h>

#include <deque>

#include "diff/ChangeKind.h"
#include "diff/DiffCopy.h"

// A level's cause besides an ancestor's new index.
enum { CAUSE_OWN = -1, CAUSE_UNKNOWN = -2 };

// One change. Indexes of advances for the advance kinds, of unit types for
// the unit kinds. field: an AdvanceField or a UnitField; from and to the
// numbers that changed (values, levels, route lengths; for prerequisites,
// which of the two links differ, bit 0 the first, bit 1 the second); cause,
// for a level, the new index of the ancestor whose prerequisites changed,
// CAUSE_OWN when the advance's own did.
struct Change {
  ChangeKind kind;
  int oldIndex;
  int newIndex;
  int field;
  int32_t from;  // every value, level and route length fits
  int32_t to;
  int cause;
};

// The changes grouped by kind in the table's order; first and count give
// each kind's group. Held in blocks: two files that differ everywhere
// give millions, which a growing vector would copy, twice their size.
struct RulesDiff {
  std::deque<Change> changes;  // in report order
  int count[CHANGE_KINDS];
  int first[CHANGE_KINDS];
};

// The change of an advance's prerequisites, by its new index; none when
// they are the same.
const Change* RelinkOf(const RulesDiff& diff, int newIndex);

void CompareRules(const RulesCopy& before, const RulesCopy& after, RulesDiff* diff);
