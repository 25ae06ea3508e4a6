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
  int32_t chartX;  // also the cycle search's mark in a load being refused
  int32_t chartY;
  // Set by the load: the place in the list (0 the root, then file order),
  // the one numbering of every output, and the rules file's line the
  // advance was read from. The record that ends the list stays all zero.
  int32_t index;
  int32_t lineNumber;
};

// "Primary Root", the advance that every "nil" code names. After linking
// its next is FirstAdvance, so a walk from it sees every advance.
extern Advance RootAdvance;

// The first advance read; the list ends at the first record with an empty
// name.
extern Advance FirstAdvance;

void ParseAdvances();

enum AddResult { ADDED, ALREADY_LISTED, LIST_FULL };

// Puts item into the first free slot of one of an advance's lists (its
// dependants, its units), unless it is listed already. The lists have no
// gaps: the first empty slot ends them.
template <typename T, int N>
AddResult AddOnce(T* (&list)[N], T* item) {
  for (int i = 0; i < N; i++) {
    if (list[i] == item) return ALREADY_LISTED;
    if (list[i] == nullptr) {
      list[i] = item;
      return ADDED;
    }
  }
  return LIST_FULL;
}

// Puts the root back as it was at start and empties FirstAdvance.
void ResetAdvances();
