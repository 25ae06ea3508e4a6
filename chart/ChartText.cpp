// The texts of an advance's box, each built in TextBuffer just before use.
#include "chart/ChartText.h"

#include <stdio.h>

#include <iterator>

#include "chart/UnitText.h"
#include "rules/Advance.h"
#include "rules/TextBuffer.h"
#include "rules/UnitType.h"

namespace {

const char* const EpochNames[] = {"Ancient", "Renaiss.", "Industrial", "Modern"};
const char* const CategoryNames[] = {"Military", "Economic", "Social", "Academic", "Applied"};
static_assert(std::size(EpochNames) == EPOCH_COUNT, "a name per epoch");
static_assert(std::size(CategoryNames) == CATEGORY_COUNT, "a name per category");

// Separate buffers: one detail line may show both fallback names.
char EpochText[24];
char CategoryText[24];

}  // namespace

const char* EpochName(unsigned epoch) {
  if (epoch < EPOCH_COUNT) return EpochNames[epoch];
  snprintf(EpochText, sizeof EpochText, "Epoch %u", epoch);
  return EpochText;
}

const char* CategoryName(unsigned category) {
  if (category < CATEGORY_COUNT) return CategoryNames[category];
  snprintf(CategoryText, sizeof CategoryText, "Category %u", category);
  return CategoryText;
}

void FormatDetailLine(const Advance* advance) {
  snprintf(TextBuffer, sizeof TextBuffer, "%s %s (%d, %d)", EpochName(advance->epoch),
           CategoryName(advance->category), (int)advance->aiValue, (int)advance->modifier);
}

void FormatUnitCost(const UnitType* unit) {
  snprintf(TextBuffer, sizeof TextBuffer, " %dc", (int)unit->cost);
}

void FormatFiguresLine(const UnitType* unit) {
  // The drawing asks for the flags text first, then the role text.
  const char* flags = UnitFlagsText(unit->flags);
  const char* role = UnitRoleText(unit);
  snprintf(TextBuffer, sizeof TextBuffer, " %da %dd %d(%d)m %dh %df %s%s", (int)unit->attack,
           (int)unit->defense, (int)unit->move, (int)unit->range, (int)unit->hitPoints,
           (int)unit->firepower, role, flags);
}
