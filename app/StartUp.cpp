#include "app/StartUp.h"

#include <stdio.h>
#include <string.h>

#include "graph/Levels.h"
#include "graph/Link.h"
#include "rules/Advance.h"
#include "rules/Fatal.h"
#include "rules/Reader.h"
#include "rules/UnitType.h"

char RulesPath[RULES_PATH_SIZE];

void ChooseRulesPath(const char* tail) {
  if (tail[0] == '\0') {
    snprintf(RulesPath, RULES_PATH_SIZE, "%s%s", "C:\\KRN\\VEL2\\", "RULES.TXT");
    return;
  }
  size_t length = strlen(tail);
  if (length >= RULES_PATH_SIZE) Fatal(1, "Rules file path is longer than 255 characters");
  memcpy(RulesPath, tail, length + 1);
}

void LoadRulesPath() {
  FILE* file = OpenRulesFile(RulesPath);
  ReadSection(file, "@CIVILIZE\n", "@IMPROVE\n", &AdvanceLines);
  // Not rewound: the unit section must follow the advance section.
  ReadSection(file, "@UNITS\n", "@TERRAIN\n", &UnitLines);
  fclose(file);
  ParseAdvances();
  // Units find their advances by code, which needs only the advance list.
  ParseUnitTypes();
  LinkPrerequisites();
  AssignLevels();
}
