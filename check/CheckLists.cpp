// Walks of the loaded lists shared by the warnings and the reports.
#include "check/Check.h"
#include "rules/Advance.h"
#include "rules/Reader.h"
#include "rules/UnitType.h"

int AdvanceIndex(const Advance* advance) {
  if (advance == nullptr) return -1;
  int index = 0;
  for (const Advance* a = &RootAdvance; a != nullptr && a->name[0] != 0; a = a->next, ++index) {
    if (a == advance) return index;
  }
  return -1;
}

// Every unit line makes one record, whatever its name holds, so the unit
// list is counted by its lines rather than ended at an empty name.
int UnitCount() {
  int count = 0;
  for (const TextLine* line = &UnitLines; line != nullptr && line->text[0] != 0;
       line = line->next) {
    ++count;
  }
  return count;
}

int UnitIndex(const UnitType* unit) {
  if (unit == nullptr) return -1;
  int count = UnitCount();
  const UnitType* u = &FirstUnitType;
  for (int i = 0; i < count && u != nullptr; ++i, u = u->next) {
    if (u == unit) return i;
  }
  return -1;
}

int AdvanceUnitCount(const Advance* advance) {
  int count = 0;
  while (count < MAX_UNITS && advance->units[count] != nullptr) ++count;
  return count;
}
