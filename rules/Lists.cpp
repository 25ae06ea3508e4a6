// Walks of the loaded lists shared by the reports, the comparison, the tests and the fuzzer.
#include "rules/Lists.h"

#include "rules/Advance.h"
#include "rules/Reader.h"
#include "rules/UnitType.h"

int AdvanceIndex(const Advance* advance) { return advance != nullptr ? advance->index : -1; }

int UnitIndex(const UnitType* unit) { return unit != nullptr ? unit->index : -1; }

int AdvanceCount() {
  int count = 0;
  for (const Advance* a = &RootAdvance; a != nullptr && a->name[0] != 0; a = a->next) ++count;
  return count;
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

int AdvanceUnitCount(const Advance* advance) {
  int count = 0;
  while (count < MAX_UNITS && advance->units[count] != nullptr) ++count;
  return count;
}
