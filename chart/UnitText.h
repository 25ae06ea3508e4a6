// The role and flags texts at the end of a unit's figures line.
#pragma once
#include <stdint.h>

struct UnitType;

// The role table has a row of roles per domain; other values show "???".
enum { DOMAIN_COUNT = 3, ROLE_COUNT = 8 };

// Role abbreviation, with the hold for role 4. Valid until the next call.
const char* UnitRoleText(const UnitType* unit);

// "/" and one letter per flag bit 14 to 0; empty for no flags. Valid until
// the next call.
const char* UnitFlagsText(int32_t flags);
