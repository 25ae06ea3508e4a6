// The units table: each unit's figures as columns of text, shared by the
// checker's --units outputs and the page's Units panel.
#pragma once
#include <string>

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
struct UnitColumn {
  const char* heading;
  const char* key;
  bool number;
};

extern const UnitColumn UnitColumns[COLUMN_COLUMNS];

// One unit as the table shows it: each cell in UTF-8 (names as the chart
// draws them), numbers in decimal; the advance column is empty when the
// unit's code names no advance. advance is that advance's index, or -1.
struct UnitRow {
  std::string cells[COLUMN_COLUMNS];
  int advance;
};

void MakeUnitRow(const UnitType* unit, UnitRow* row);
