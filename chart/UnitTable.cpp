// The units table: one unit's row.
#include "chart/UnitTable.h"

#include <iterator>

#include "chart/UnitText.h"
#include "chart/Utf8Text.h"
#include "rules/UnitType.h"

namespace {

// The domains the role table has rows for; another value shows as its number.
const char* const DomainNames[] = {"land", "air", "sea"};
static_assert(std::size(DomainNames) == DOMAIN_COUNT, "a name per domain");

}  // namespace

void MakeUnitRow(const UnitType* unit, UnitRow* row) {
  for (std::string& cell : row->cells) cell.clear();
  AppendUtf8(&row->cells[COLUMN_NAME], unit->name);
  row->cells[COLUMN_DOMAIN] = unit->domain >= 0 && unit->domain < DOMAIN_COUNT
                                  ? DomainNames[unit->domain]
                                  : std::to_string(unit->domain);
  // The numbers as loaded (the cost as the chart shows it: the file's
  // number times ten).
  for (const UnitColumn& column : UnitColumns) {
    if (column.number && column.field >= 0) {
      row->cells[column.column] = std::to_string(UnitNumber(unit, (UnitField)column.field));
    }
  }
  AppendUtf8(&row->cells[COLUMN_ROLE], UnitRoleText(unit));
  AppendUtf8(&row->cells[COLUMN_FLAGS], UnitFlagsText(unit->flags));
  row->advance = unit->prereq != nullptr ? unit->prereq->index : -1;
  if (unit->prereq != nullptr) AppendUtf8(&row->cells[COLUMN_ADVANCE], unit->prereq->name);
  AppendUtf8(&row->cells[COLUMN_CODE], unit->prereqCode);
  row->cells[COLUMN_LINE] = std::to_string(unit->lineNumber);
}
