// The units table: each unit's figures as columns of text, shared by the
// checker's --units outputs and the page's Units panel.
#pragma once
#include <string>

struct UnitType;

enum UnitColumnIndex {
  UNIT_NAME,
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
  UNIT_FLAGS,
  UNIT_ADVANCE,
  UNIT_CODE,
  UNIT_LINE,
  UNIT_COLUMNS
};

// A column: its heading, its JSON key and whether it holds a number (the
// table aligns it right, JSON writes it as a number, the page sorts it so).
struct UnitColumn {
  const char* heading;
  const char* key;
  bool number;
};

extern const UnitColumn UnitColumns[UNIT_COLUMNS];

// One unit as the table shows it: each cell in UTF-8 (names as the chart
// draws them), numbers in decimal; the advance column is empty when the
// unit's code names no advance. advance is that advance's index, or -1.
struct UnitRow {
  std::string cells[UNIT_COLUMNS];
  int advance;
};

void MakeUnitRow(const UnitType* unit, UnitRow* row);
