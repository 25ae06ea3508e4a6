// Prerequisite codes into links, and every advance's dependants.
#include "graph/Link.h"

#include <string.h>

#include "rules/Fatal.h"

Advance* FindAdvance(const char* code) {
  // "nil" always means the root, even when an advance carries it.
  if (strcmp(code, "nil") == 0) return &RootAdvance;
  for (Advance* advance = &FirstAdvance; advance->name[0] != '\0'; advance = advance->next) {
    if (strcmp(advance->code, code) == 0) return advance;
  }
  return nullptr;
}

void AddDependant(Advance* prereq, Advance* dependant) {
  if (prereq == nullptr) return;
  for (int i = 0; i < MAX_DEPENDANTS; i++) {
    if (prereq->children[i] == dependant) return;
    if (prereq->children[i] == nullptr) {
      prereq->children[i] = dependant;
      prereq->childCount++;
      return;
    }
  }
  Fatal(1, " More than %d advances directly linked to \"%s\"", MAX_DEPENDANTS, prereq->name);
}

void LinkPrerequisites() {
  for (Advance* advance = &FirstAdvance; advance->name[0] != '\0'; advance = advance->next) {
    advance->prereq1 = FindAdvance(advance->prereqCode1);
    AddDependant(advance->prereq1, advance);
    advance->prereq2 = FindAdvance(advance->prereqCode2);
    AddDependant(advance->prereq2, advance);
  }
  RootAdvance.next = &FirstAdvance;
}
