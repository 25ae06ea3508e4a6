// The plain copy of a loaded rules file that the comparison works on, so
// that a second file can be loaded over the first.
#pragma once
#include <stdint.h>

#include <string>
#include <vector>

#include "rules/FieldNames.h"

// Indexes are those of --json: 0 the root, then the advances (or the unit
// types) in file order; -1 for none.
struct DiffAdvance {
  std::string name;
  std::string code;
  std::string prereqCode[2];
  int prereq[2];
  int32_t aiValue;
  int32_t modifier;
  int epoch;
  int category;
  int level;
  int32_t line;  // the rules file's line; 0 for the root
};

struct DiffUnit {
  std::string name;
  std::string obsoleteCode;
  std::string prereqCode;
  int prereq;
  int32_t figures[UNIT_FIELDS];  // by UnitField; the texts' slots unused
  int32_t line;
};

struct RulesCopy {
  std::string path;
  std::vector<DiffAdvance> advances;
  std::vector<DiffUnit> units;
  int maxLevel;
  int32_t chartWidth;  // at the chart metrics in force
  int32_t chartHeight;
};

// Copies the loaded rules; the chart metrics must be set.
void CopyLoadedRules(const char* path, RulesCopy* copy);
