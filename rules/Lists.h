// Walks of the loaded lists shared by the reports, the comparison, the
// tests and the fuzzer.
#pragma once

struct Advance;
struct UnitType;

// The advances in list order, the root first: one more than the advance
// lines, and one more than the largest index.
int AdvanceCount();

// The unit types in file order, one per line of the unit section (a unit
// with an empty name does not end this list).
int UnitCount();

// An advance's or a unit's index as the reports give it (see the index
// fields of the records); -1 for none.
int AdvanceIndex(const Advance* advance);
int UnitIndex(const UnitType* unit);

// Number of unit types hung under the advance (at most 100).
int AdvanceUnitCount(const Advance* advance);
