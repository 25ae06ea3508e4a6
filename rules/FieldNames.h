// The fields of an advance line and of a unit line, and their names in every output.
// The one list of them: the warnings, the comparison, the units table and the JSON report
// take their words, keys and headings from these tables, and a test holds the JSON
// Schemas (docs/schema) to them.
#pragma once
#include <stdint.h>

#include <iterator>

struct UnitType;

// The fields of an advance line, in the line's order: each value is the
// field's place, so that it is found after that many delimiters (the code
// comes after the ";" that ends the category).
enum AdvanceField {
  ADVANCE_NAME,
  ADVANCE_AI_VALUE,
  ADVANCE_MODIFIER,
  ADVANCE_PREREQ1,
  ADVANCE_PREREQ2,
  ADVANCE_EPOCH,
  ADVANCE_CATEGORY,
  ADVANCE_CODE,
  ADVANCE_FIELDS
};

// The fields of a unit line, in the line's order, each value its place.
enum UnitField {
  UNIT_NAME,
  UNIT_OBSOLETE,
  UNIT_DOMAIN,
  UNIT_MOVE,
  UNIT_RANGE,
  UNIT_ATTACK,
  UNIT_DEFENSE,
  UNIT_HIT_POINTS,
  UNIT_FIREPOWER,
  UNIT_COST,
  UNIT_HOLD,
  UNIT_ROLE,
  UNIT_PREREQ,
  UNIT_FLAGS,
  UNIT_FIELDS
};

struct FieldName {
  int field;            // the field it names: the row's place, which the asserts below check
  const char* text;     // in the warnings' words: "hit points"
  const char* key;      // its key in --json and --units --json, its name in --diff: "hitPoints"
  const char* heading;  // its column's heading in the units table, or nullptr for none
  bool number;          // a number; else a text of the file
  bool compared;        // --diff reports a change of it as a changed field (its kind "changed")
};

inline constexpr FieldName AdvanceFields[] = {
    {ADVANCE_NAME, "name", "name", nullptr, false, false},
    {ADVANCE_AI_VALUE, "aiValue", "aiValue", nullptr, true, true},
    {ADVANCE_MODIFIER, "modifier", "modifier", nullptr, true, true},
    {ADVANCE_PREREQ1, "prerequisite code", "prereqCode1", nullptr, false, false},
    {ADVANCE_PREREQ2, "prerequisite code", "prereqCode2", nullptr, false, false},
    {ADVANCE_EPOCH, "epoch", "epoch", nullptr, true, true},
    {ADVANCE_CATEGORY, "category", "category", nullptr, true, true},
    {ADVANCE_CODE, "code", "code", nullptr, false, false},
};

// The units table shows the unit's advance by the code its line gives
// (its own column), so the prerequisite code has no heading here.
inline constexpr FieldName UnitFields[] = {
    {UNIT_NAME, "name", "name", "Name", false, true},
    {UNIT_OBSOLETE, "obsolete-by code", "obsoleteCode", nullptr, false, true},
    {UNIT_DOMAIN, "domain", "domain", "Domain", true, true},
    {UNIT_MOVE, "move", "move", "Move", true, true},
    {UNIT_RANGE, "range", "range", "Range", true, true},
    {UNIT_ATTACK, "attack", "attack", "Attack", true, true},
    {UNIT_DEFENSE, "defense", "defense", "Defence", true, true},
    {UNIT_HIT_POINTS, "hit points", "hitPoints", "HP", true, true},
    {UNIT_FIREPOWER, "firepower", "firepower", "FP", true, true},
    {UNIT_COST, "cost", "cost", "Cost", true, true},
    {UNIT_HOLD, "hold", "hold", "Hold", true, true},
    {UNIT_ROLE, "role", "role", "Role", true, true},
    {UNIT_PREREQ, "prerequisite code", "prereqCode", nullptr, false, false},
    {UNIT_FLAGS, "flags", "flags", "Flags", true, true},
};

// True when each row of the table stands at the place of the field it names.
constexpr bool InFieldOrder(const FieldName* table, int count) {
  for (int i = 0; i < count; ++i) {
    if (table[i].field != i) return false;
  }
  return true;
}
static_assert(std::size(AdvanceFields) == ADVANCE_FIELDS &&
                  InFieldOrder(AdvanceFields, ADVANCE_FIELDS),
              "a row per advance field, in the enum's order");
static_assert(std::size(UnitFields) == UNIT_FIELDS && InFieldOrder(UnitFields, UNIT_FIELDS),
              "a row per unit field, in the enum's order");

// A unit's number field as loaded (the cost as the chart shows it, ten
// times the file's number); 0 for a text field.
int32_t UnitNumber(const UnitType* unit, UnitField field);
// A unit's text field as loaded; nullptr for a number field.
const char* UnitText(const UnitType* unit, UnitField field);
