// The unit list, read from the lines of the unit section, and each unit
// hung under the advance that enables it.
#include "rules/UnitType.h"

#include <string.h>

#include "graph/Link.h"  // the one use across layers: units find their advance by code
#include "rules/Alloc.h"
#include "rules/Fatal.h"
#include "rules/Reader.h"

UnitType FirstUnitType;

void ResetUnitTypes() { memset(&FirstUnitType, 0, sizeof FirstUnitType); }

int32_t ReadFlags(const char* text) {
  bool negative;
  text = SkipSpaceAndSign(text, &negative);
  // Saturates at 2^31, so the value never overflows on the way.
  const uint32_t kLimit = 0x80000000u;
  uint32_t value = 0;
  while (*text == '0' || *text == '1') {
    if (value < kLimit) value = value * 2u + (uint32_t)(*text - '0');
    text++;
  }
  if (value >= kLimit) return negative ? INT32_MIN : INT32_MAX;
  return negative ? -(int32_t)value : (int32_t)value;
}

void AttachUnit(Advance* advance, UnitType* unit) {
  if (advance == nullptr || AddOnce(advance->units, unit) != LIST_FULL) return;
  Fatal(1, REFUSED_TOO_MANY_UNITS, "More than %d units directly linked to \"%s\"", MAX_UNITS,
        advance->name);
}

namespace {

void ParseUnitLine(const char* line, int32_t lineNumber, UnitType* unit) {
  BeginLine("unit", line, lineNumber);
  unit->lineNumber = lineNumber;
  const char* p = line;
  p = CopyField(unit->name, NAME_SIZE, p, ',', FIELD_CUT);
  // The obsolete-by code is stored for completeness only; a cut is harmless.
  p = CopyField(unit->obsoleteCode, CODE_SIZE, p, ',', FIELD_CUT);
  p = ReadIntField(&unit->domain, p, ',');
  p = ReadIntField(&unit->move, p, ',');
  p = ReadIntField(&unit->range, p, ',');
  p = ReadIntField(&unit->attack, p, ',');
  p = ReadIntField(&unit->defense, p, ',');
  p = ReadIntField(&unit->hitPoints, p, ',');
  p = ReadIntField(&unit->firepower, p, ',');
  int32_t number;
  p = ReadIntField(&number, p, ',');
  uint32_t cost = (uint32_t)number * 10u;  // wraps like the number itself
  memcpy(&unit->cost, &cost, sizeof cost);
  p = ReadIntField(&unit->hold, p, ',');
  p = ReadIntField(&number, p, ',');
  unit->role = (uint8_t)(number & 0xFF);
  p = CopyField(unit->prereqCode, CODE_SIZE, p, ',', FIELD_EXACT);
  unit->flags = ReadFlags(p);
}

}  // namespace

void ParseUnitTypes() {
  UnitType* unit = &FirstUnitType;
  int32_t index = 0;
  for (const TextLine* line = &UnitLines; line->text[0] != '\0'; line = line->next) {
    ParseUnitLine(line->text, line->lineNumber, unit);
    unit->index = index++;
    unit->prereq = FindAdvance(unit->prereqCode);
    AttachUnit(unit->prereq, unit);
    unit->next = static_cast<UnitType*>(AllocRecord(sizeof(UnitType)));
    unit = unit->next;
  }
}
