// Role and flags texts of a unit's figures line.
#include "chart/UnitText.h"

#include <string.h>

#include <iterator>

#include "rules/UnitType.h"

namespace {

const char kUnknownRole[] = "???";

// Indexed by domain * ROLE_COUNT + role.
const char* const RoleNames[] = {
    "Atk",        "Def",        kUnknownRole, "A-A",        kUnknownRole, "Set",
    "Dip",        "Trd",        "Sup",        kUnknownRole, kUnknownRole, "Air",
    kUnknownRole, kUnknownRole, kUnknownRole, kUnknownRole, kUnknownRole, kUnknownRole,
    "Nav",        kUnknownRole, "Trn",        kUnknownRole, kUnknownRole, kUnknownRole,
};

static_assert(std::size(RoleNames) == DOMAIN_COUNT * ROLE_COUNT, "a name per domain and role");

// The lead-in, then the letters of bits 14 down to 0.
const char* const FlagLetters[] = {"/", "s", "a", "X", "F", "m", "R", "P",
                                   "C", "W", "T", "A", "S", "M", "Z", "2"};
static_assert(std::size(FlagLetters) == 16, "the lead-in and a letter per bit, 14 to 0");

char RoleText[5];
char FlagsText[17];

}  // namespace

const char* UnitRoleText(const UnitType* unit) {
  // Values outside the table show the unknown role, never a read past it.
  const char* name = kUnknownRole;
  if (unit->domain >= 0 && unit->domain < DOMAIN_COUNT && unit->role < ROLE_COUNT) {
    name = RoleNames[unit->domain * ROLE_COUNT + unit->role];
  }
  strcpy(RoleText, name);
  if (unit->role == 4) {
    RoleText[3] = (char)(((uint32_t)'0' + (uint32_t)unit->hold) & 0xFFu);
    RoleText[4] = '\0';
  }
  return RoleText;
}

const char* UnitFlagsText(int32_t flags) {
  FlagsText[0] = '\0';
  if (flags == 0) return FlagsText;
  strcpy(FlagsText, FlagLetters[0]);
  size_t length = 1;
  for (int bit = 14; bit >= 0; bit--) {
    if (((uint32_t)flags >> bit) & 1u) {
      FlagsText[length++] = FlagLetters[15 - bit][0];
    }
  }
  FlagsText[length] = '\0';
  return FlagsText;
}
