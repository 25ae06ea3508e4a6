// The units table's columns and one unit's row.
#include "chart/UnitTable.h"

#include "chart/UnitText.h"
#include "chart/Utf8Text.h"
#include "rules/UnitType.h"

const UnitColumn UnitColumns[COLUMN_COLUMNS] = {
    {"Name", "name", false},       {"Domain", "domain", false}, {"Move", "move", true},
    {"Range", "range", true},      {"Attack", "attack", true},  {"Defence", "defense", true},
    {"HP", "hitPoints", true},     {"FP", "firepower", true},   {"Cost", "cost", true},
    {"Hold", "hold", true},        {"Role", "role", false},     {"Flags", "flags", false},
    {"Advance", "advance", false}, {"Code", "code", false},     {"Line", "line", true},
};

namespace {

// The domains the role table has rows for; another value shows as its number.
const char* const DomainNames[DOMAIN_COUNT] = {"land", "air", "sea"};

}  // namespace

void MakeUnitRow(const UnitType* unit, UnitRow* row) {
  for (std::string& cell : row->cells) cell.clear();
  AppendUtf8(&row->cells[COLUMN_NAME], unit->name);
  row->cells[COLUMN_DOMAIN] = unit->domain >= 0 && unit->domain < DOMAIN_COUNT
                                  ? DomainNames[unit->domain]
                                  : std::to_string(unit->domain);
  row->cells[COLUMN_MOVE] = std::to_string(unit->move);
  row->cells[COLUMN_RANGE] = std::to_string(unit->range);
  row->cells[COLUMN_ATTACK] = std::to_string(unit->attack);
  row->cells[COLUMN_DEFENSE] = std::to_string(unit->defense);
  row->cells[COLUMN_HIT_POINTS] = std::to_string(unit->hitPoints);
  row->cells[COLUMN_FIREPOWER] = std::to_string(unit->firepower);
  // As the chart shows it: the rules file's number times ten.
  row->cells[COLUMN_COST] = std::to_string(unit->cost);
  row->cells[COLUMN_HOLD] = std::to_string(unit->hold);
  AppendUtf8(&row->cells[COLUMN_ROLE], UnitRoleText(unit));
  AppendUtf8(&row->cells[COLUMN_FLAGS], UnitFlagsText(unit->flags));
  row->advance = unit->prereq != nullptr ? unit->prereq->index : -1;
  if (unit->prereq != nullptr) AppendUtf8(&row->cells[COLUMN_ADVANCE], unit->prereq->name);
  AppendUtf8(&row->cells[COLUMN_CODE], unit->prereqCode);
  row->cells[COLUMN_LINE] = std::to_string(unit->lineNumber);
}
