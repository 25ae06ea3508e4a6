// A unit's fields by their place in the unit line, for the outputs that walk them in order.
#include "rules/FieldNames.h"

#include "rules/UnitType.h"

int32_t UnitNumber(const UnitType* unit, UnitField field) {
  switch (field) {
    case UNIT_DOMAIN:
      return unit->domain;
    case UNIT_MOVE:
      return unit->move;
    case UNIT_RANGE:
      return unit->range;
    case UNIT_ATTACK:
      return unit->attack;
    case UNIT_DEFENSE:
      return unit->defense;
    case UNIT_HIT_POINTS:
      return unit->hitPoints;
    case UNIT_FIREPOWER:
      return unit->firepower;
    case UNIT_COST:
      return unit->cost;
    case UNIT_HOLD:
      return unit->hold;
    case UNIT_ROLE:
      return unit->role;
    case UNIT_FLAGS:
      return unit->flags;
    case UNIT_NAME:
    case UNIT_OBSOLETE:
    case UNIT_PREREQ:
    case UNIT_FIELDS:
      break;
  }
  return 0;
}

const char* UnitText(const UnitType* unit, UnitField field) {
  switch (field) {
    case UNIT_NAME:
      return unit->name;
    case UNIT_OBSOLETE:
      return unit->obsoleteCode;
    case UNIT_PREREQ:
      return unit->prereqCode;
    case UNIT_DOMAIN:
    case UNIT_MOVE:
    case UNIT_RANGE:
    case UNIT_ATTACK:
    case UNIT_DEFENSE:
    case UNIT_HIT_POINTS:
    case UNIT_FIREPOWER:
    case UNIT_COST:
    case UNIT_HOLD:
    case UNIT_ROLE:
    case UNIT_FLAGS:
    case UNIT_FIELDS:
      break;
  }
  return nullptr;
}
