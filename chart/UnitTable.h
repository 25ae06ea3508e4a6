// The units table: each unit's figures as columns of text, shared by the
// checker's --units outputs and the page's Units panel.
#pragma once
#include <iterator>
#include <string>

#include "rules/FieldNames.h"

struct UnitType;

enum UnitColumnIndex {
  COLUMN_NAME,
  COLUMN_DOMAIN,
  COLUMN_MOVE,
  COLUMN_RANGE,
  COLUMN_ATTACK,
  COLUMN_DEFENSE,
  COLUMN_HIT_POINTS,
  COLUMN_FIREPOWER,
  COLUMN_COST,
  COLUMN_HOLD,
  COLUMN_ROLE,
  COLUMN_FLAGS,
  COLUMN_ADVANCE,
  COLUMN_CODE,
  COLUMN_LINE,
  COLUMN_COLUMNS
};

// A column: its heading, its JSON key and whether it holds a number (the
// table aligns it right, JSON writes it as a number, the page sorts it so).
// A column of a unit line's field takes the field's heading and key.
struct UnitColumn {
  UnitColumnIndex column;  // the row's place, which the assert below checks
  int field;               // the unit field it shows (rules/FieldNames.h), or -1
  const char* heading;
  const char* key;
  bool number;
};

constexpr UnitColumn FieldColumn(UnitColumnIndex column, UnitField field, bool number) {
  return {column, field, UnitFields[field].heading, UnitFields[field].key, number};
}

// The domain and the role show as the chart names them.
inline constexpr UnitColumn UnitColumns[] = {
    FieldColumn(COLUMN_NAME, UNIT_NAME, false),
    FieldColumn(COLUMN_DOMAIN, UNIT_DOMAIN, false),
    FieldColumn(COLUMN_MOVE, UNIT_MOVE, true),
    FieldColumn(COLUMN_RANGE, UNIT_RANGE, true),
    FieldColumn(COLUMN_ATTACK, UNIT_ATTACK, true),
    FieldColumn(COLUMN_DEFENSE, UNIT_DEFENSE, true),
    FieldColumn(COLUMN_HIT_POINTS, UNIT_HIT_POINTS, true),
    FieldColumn(COLUMN_FIREPOWER, UNIT_FIREPOWER, true),
    FieldColumn(COLUMN_COST, UNIT_COST, true),
    FieldColumn(COLUMN_HOLD, UNIT_HOLD, true),
    FieldColumn(COLUMN_ROLE, UNIT_ROLE, false),
    FieldColumn(COLUMN_FLAGS, UNIT_FLAGS, false),
    {COLUMN_ADVANCE, -1, "Advance", "advance", false},
    {COLUMN_CODE, -1, "Code", "code", false},
    {COLUMN_LINE, -1, "Line", "line", true},
};

// True when each column stands at its place and a field's column has a heading.
constexpr bool ColumnsInOrder() {
  for (int c = 0; c < COLUMN_COLUMNS; ++c) {
    if (UnitColumns[c].column != c || UnitColumns[c].heading == nullptr) return false;
  }
  return true;
}
static_assert(std::size(UnitColumns) == COLUMN_COLUMNS && ColumnsInOrder(),
              "a column per index, in the enum's order");

// One unit as the table shows it: each cell in UTF-8 (names as the chart
// draws them), numbers in decimal; the advance column is empty when the
// unit's code names no advance. advance is that advance's index, or -1.
struct UnitRow {
  std::string cells[COLUMN_COLUMNS];
  int advance;
};

void MakeUnitRow(const UnitType* unit, UnitRow* row);
