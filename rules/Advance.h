// The research advances and the list they are read into.
#pragma once
#include <stdint.h>

enum { NAME_SIZE = 20, CODE_SIZE = 4, MAX_DEPENDANTS = 100, MAX_UNITS = 100 };

struct UnitType;

struct Advance {
  char name[NAME_SIZE];
  int32_t aiValue;
  int32_t modifier;
  char prereqCode1[CODE_SIZE];
  char prereqCode2[CODE_SIZE];
  uint8_t epoch;
  uint8_t category;
  char code[CODE_SIZE];
  Advance* prereq1;
  Advance* prereq2;
  Advance* children[MAX_DEPENDANTS];
  int32_t childCount;
  Advance* next;
  int32_t level;
  UnitType* units[MAX_UNITS];
  int32_t chartX;
  int32_t chartY;
};

// "Primary Root", the advance that every "nil" code names. After linking
// its next is FirstAdvance, so a walk from it sees every advance.
extern Advance RootAdvance;

// The first advance read; the list ends at the first record with an empty
// name.
extern Advance FirstAdvance;

void ParseAdvances();

// Puts the root back as it was at start and empties FirstAdvance.
void ResetAdvances();
