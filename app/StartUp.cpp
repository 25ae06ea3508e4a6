// The choice of the rules file's path from the command line.
#include "app/StartUp.h"

#include <stdio.h>
#include <string.h>

#include "rules/Fatal.h"

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
