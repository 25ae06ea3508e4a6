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
  // Windows quotes a path it hands over ("Open with", a file dropped on the
  // program); no file name can hold a quote, so those two are not part of it.
  if (length >= 2 && tail[0] == '"' && strchr(tail + 1, '"') == tail + length - 1) {
    ++tail;
    length -= 2;
  }
  if (length >= RULES_PATH_SIZE)
    Fatal(1, REFUSED_PLATFORM, "Rules file path is longer than 255 characters");
  memcpy(RulesPath, tail, length);
  RulesPath[length] = '\0';
}
