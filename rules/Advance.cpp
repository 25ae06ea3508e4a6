// The advance list, read from the lines of the advance section.
#include "rules/Advance.h"

#include <string.h>

#include "rules/Alloc.h"
#include "rules/Reader.h"

namespace {

constexpr Advance kNewRoot = {
    "Primary Root", 0, 0,  "nil", "nil", 0, 0, "nil", nullptr, nullptr, {}, 0,
    nullptr,        0, {}, 0,     0,     0, 0};

}  // namespace

Advance RootAdvance = kNewRoot;
Advance FirstAdvance;

void ResetAdvances() {
  RootAdvance = kNewRoot;
  memset(&FirstAdvance, 0, sizeof FirstAdvance);
}

namespace {

// Name, aiValue, modifier, prerequisite codes, epoch, category ; code.
void ParseAdvanceLine(const char* line, int32_t lineNumber, Advance* advance) {
  BeginLine("advance", line, lineNumber);
  advance->lineNumber = lineNumber;
  const char* p = line;
  p = CopyField(advance->name, NAME_SIZE, p, ',', FIELD_CUT);
  // An empty name ends the advance list: every advance after it would be
  // left out of the chart without a word.
  if (advance->name[0] == '\0') RefuseLine(REFUSED_MISSING_NAME, "Missing name");
  p = ReadIntField(&advance->aiValue, p, ',');
  p = ReadIntField(&advance->modifier, p, ',');
  // A cut code could match another advance's code: refused instead.
  p = CopyField(advance->prereqCode1, CODE_SIZE, p, ',', FIELD_EXACT);
  p = CopyField(advance->prereqCode2, CODE_SIZE, p, ',', FIELD_EXACT);
  int32_t number;
  p = ReadIntField(&number, p, ',');
  advance->epoch = (uint8_t)(number & 0xFF);
  p = ReadIntField(&number, p, ';');
  advance->category = (uint8_t)(number & 0xFF);
  // The own code is the next three characters, whatever follows them.
  while (IsRulesSpace(*p)) p++;
  for (int i = 0; i < CODE_SIZE - 1 && p[i] != '\0'; i++) {
    advance->code[i] = p[i];
  }
}

}  // namespace

void ParseAdvances() {
  Advance* advance = &FirstAdvance;
  int32_t index = 0;
  for (const TextLine* line = &AdvanceLines; line->text[0] != '\0'; line = line->next) {
    ParseAdvanceLine(line->text, line->lineNumber, advance);
    advance->index = ++index;
    advance->next = static_cast<Advance*>(AllocRecord(sizeof(Advance)));
    advance = advance->next;
  }
}
