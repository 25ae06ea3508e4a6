// The unit types and the list they are read into.
#pragma once
#include <stdint.h>

#include "rules/Advance.h"

struct UnitType {
  char name[NAME_SIZE];
  char obsoleteCode[CODE_SIZE];
  int32_t domain;
  int32_t move;
  int32_t range;
  int32_t attack;
  int32_t defense;
  int32_t hitPoints;
  int32_t firepower;
  int32_t cost;  // ten times the number in the rules file
  int32_t hold;
  uint8_t role;
  char prereqCode[CODE_SIZE];
  int32_t flags;
  Advance* prereq;
  UnitType* next;
  // Set by the load: the place in the list (file order from 0) and the
  // rules file's line.
  int32_t index;
  int32_t lineNumber;
};

extern UnitType FirstUnitType;

void ParseUnitTypes();
void ResetUnitTypes();  // empties FirstUnitType
void AttachUnit(Advance* advance, UnitType* unit);

// Base-2 number: white space, optional sign, digits 0 and 1; saturates at
// the 32-bit limits.
int32_t ReadFlags(const char* text);
