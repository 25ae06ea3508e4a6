// The checker's units table (--units) of a loaded rules file.
#pragma once
#include <vector>

struct UnitRow;

// Every unit's row of the units table (chart/UnitTable.h), in file order.
std::vector<UnitRow> UnitTableRows();

enum UnitTableFormat { UNITS_TEXT, UNITS_JSON, UNITS_CSV };
// The units table in file order. False when it could not be written.
bool PrintUnitTable(UnitTableFormat format);
