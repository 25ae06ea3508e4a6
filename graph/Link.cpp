// Prerequisite codes into links, and every advance's dependants.
#include "graph/Link.h"

#include <stdlib.h>
#include <string.h>

#include "rules/Alloc.h"
#include "rules/Fatal.h"

namespace {

// The advance codes, sorted once, so that a lookup costs a binary search
// rather than a walk of the list: a rules file may hold many thousands of
// advances, and every prerequisite and unit code is looked up.
struct CodeEntry {
  uint32_t key;    // the code's bytes, zero-padded, first byte highest
  uint32_t order;  // position in the list: the first of equal codes wins
  Advance* advance;
};

CodeEntry* CodeIndex = nullptr;
uint32_t CodeIndexSize = 0;

// Codes hold at most CODE_SIZE - 1 characters; a longer text has no key.
bool CodeKey(const char* code, uint32_t* key) {
  uint32_t value = 0;
  int length = 0;
  for (; code[length] != '\0'; length++) {
    if (length == CODE_SIZE - 1) return false;
    value |= (uint32_t)(unsigned char)code[length] << (8 * (3 - length));
  }
  *key = value;
  return true;
}

int CompareEntries(const void* left, const void* right) {
  const CodeEntry* a = static_cast<const CodeEntry*>(left);
  const CodeEntry* b = static_cast<const CodeEntry*>(right);
  if (a->key != b->key) return a->key < b->key ? -1 : 1;
  return a->order < b->order ? -1 : (a->order > b->order ? 1 : 0);
}

void BuildCodeIndex() {
  uint32_t count = 0;
  for (Advance* advance = &FirstAdvance; advance->name[0] != '\0'; advance = advance->next) {
    count++;
  }
  CodeIndex = static_cast<CodeEntry*>(AllocRecord(count * sizeof(CodeEntry)));
  uint32_t order = 0;
  for (Advance* advance = &FirstAdvance; advance->name[0] != '\0'; advance = advance->next) {
    CodeEntry& entry = CodeIndex[order];
    entry.order = order++;
    entry.advance = advance;
    if (!CodeKey(advance->code, &entry.key)) entry.key = 0;  // cannot happen: codes fit
  }
  qsort(CodeIndex, count, sizeof(CodeEntry), CompareEntries);
  CodeIndexSize = count;
}

}  // namespace

Advance* FindAdvance(const char* code) {
  // "nil" always means the root, even when an advance carries it.
  if (strcmp(code, "nil") == 0) return &RootAdvance;
  uint32_t key;
  if (!CodeKey(code, &key)) return nullptr;
  if (CodeIndex == nullptr) BuildCodeIndex();
  // The first entry whose key is not below the code's: the first advance
  // in list order that carries it.
  uint32_t low = 0, high = CodeIndexSize;
  while (low < high) {
    uint32_t middle = low + (high - low) / 2;
    if (CodeIndex[middle].key < key) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  if (low < CodeIndexSize && CodeIndex[low].key == key) return CodeIndex[low].advance;
  return nullptr;
}

void ResetCodeIndex() {
  CodeIndex = nullptr;
  CodeIndexSize = 0;
}

void AddDependant(Advance* prereq, Advance* dependant) {
  if (prereq == nullptr) return;
  AddResult result = AddOnce(prereq->children, dependant);
  if (result == ADDED) prereq->childCount++;
  if (result != LIST_FULL) return;
  Fatal(1, REFUSED_TOO_MANY_DEPENDANTS, " More than %d advances directly linked to \"%s\"",
        MAX_DEPENDANTS, prereq->name);
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
