// The warnings: what the viewer passes over silently in a file it loads.
// Codes that name nothing, codes it can never find, values outside its name
// tables, numbers that are no plain numbers, blanks kept in names and
// codes, the texts the reader cuts, indented comments, units of one name,
// a file saved as UTF-8 and loops of prerequisites. Fields are found by
// scanning the raw section lines again, which stay in memory after the load
// (warnings/Fields.cpp); this file holds the checks of whole records.
#include "warnings/Warnings.h"

#include <string.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "chart/ChartText.h"
#include "chart/UnitText.h"
#include "graph/Link.h"
#include "rules/Advance.h"
#include "rules/Reader.h"
#include "rules/UnitType.h"
#include "warnings/Encoding.h"
#include "warnings/Fields.h"
#include "warnings/Loops.h"

namespace {

void CheckLoop(Scan* scan, const std::vector<const Advance*>& loop) {
  std::vector<int32_t> indexes;
  const Advance* cut = nullptr;
  for (const Advance* a : loop) {
    indexes.push_back(a->index);
    if (cut == nullptr && (a->prereq1 == nullptr || a->prereq2 == nullptr)) cut = a;
  }
  std::string text = std::string("Advance \"") + loop[0]->name +
                     "\" depends on itself through its prerequisites: " + LoopText(loop);
  // Every loop of a file that loads has such an advance: without one the
  // levels would climb without end, and the load is refused.
  if (cut != nullptr) {
    text += std::string("; it loads only because \"") + cut->name +
            "\" stands on level 0, a prerequisite code of it naming no advance";
  }
  WarnText(scan, text, std::move(indexes));
}

void CheckAdvance(Scan* scan, const Advance* advance, const char* line) {
  const char* name = advance->name;
  CheckIndentedComment(scan, line, "advance", name);
  CheckNameCut(scan, "Advance", line, name);
  CheckNameBlanks(scan, "Advance", name);

  const char* aiValueField = SkipFields(line, 1, ',');
  CheckNumber(scan, "Advance", name, "aiValue", aiValueField, ',');
  CheckNumber(scan, "Advance", name, "modifier", SkipFields(aiValueField, 1, ','), ',');

  // Fields 6 and 7 are numbers; field 7 ends at the ";" before the code.
  const char* epochField = SkipFields(line, 5, ',');
  const char* categoryField = SkipFields(epochField, 1, ',');
  const char* codeField = SkipFields(categoryField, 1, ';');
  CheckNumber(scan, "Advance", name, "epoch", epochField, ',');
  CheckNumber(scan, "Advance", name, "category", categoryField, ';');
  if (codeField != nullptr) {
    const char* raw = SkipSpace(codeField);
    if (strlen(raw) > CODE_SIZE - 1) {
      Warn(scan, "Advance \"%s\": code \"%s\" is longer than %d characters; it is cut to \"%s\"",
           name, raw, CODE_SIZE - 1, advance->code);
    }
  }
  CheckCodeBlanks(scan, "Advance", name, "code", advance->code);

  if (strcmp(advance->code, "nil") == 0) {
    Warn(scan,
         "Advance \"%s\": code \"nil\" always names \"%s\"; this advance never gets dependants",
         name, RootAdvance.name);
  } else {
    if (advance->code[0] == 0) Warn(scan, "Advance \"%s\" has an empty code", name);
    const Advance* first = FindAdvance(advance->code);
    if (first != nullptr && first != advance) {
      Warn(scan,
           "Advance \"%s\": code \"%s\" is already the code of \"%s\"; this advance never gets "
           "dependants",
           name, advance->code, first->name);
    }
  }

  CheckByteField(scan, "Advance", name, "epoch", epochField);
  if (advance->epoch >= EPOCH_COUNT) {
    Warn(scan, "Advance \"%s\": epoch %u is outside the epoch table (0 to %d)", name,
         (unsigned)advance->epoch, EPOCH_COUNT - 1);
  }
  CheckByteField(scan, "Advance", name, "category", categoryField);
  if (advance->category >= CATEGORY_COUNT) {
    Warn(scan, "Advance \"%s\": category %u is outside the category table (0 to %d)", name,
         (unsigned)advance->category, CATEGORY_COUNT - 1);
  }

  const char* codes[2] = {advance->prereqCode1, advance->prereqCode2};
  const Advance* links[2] = {advance->prereq1, advance->prereq2};
  for (int i = 0; i < 2; ++i) {
    CheckCodeBlanks(scan, "Advance", name, "prerequisite code", codes[i]);
    if (links[i] == nullptr) {
      CheckUnknownCode(scan, "Advance", name, "prerequisite code", codes[i],
                       "it stands on level 0");
    }
  }
}

void CheckUnit(Scan* scan, const UnitType* unit, const char* line) {
  const char* name = unit->name;
  CheckIndentedComment(scan, line, "unit", name);
  CheckNameCut(scan, "Unit", line, name);
  CheckNameBlanks(scan, "Unit", name);

  const char* obsoleteField = SkipFields(line, 1, ',');
  bool obsoleteCut = false;
  if (obsoleteField != nullptr) {
    char raw[LINE_SIZE];
    RawField(obsoleteField, ',', raw, sizeof raw);
    obsoleteCut = strlen(raw) > CODE_SIZE - 1;
    if (obsoleteCut) {
      Warn(scan,
           "Unit \"%s\": obsolete-by code \"%s\" is longer than %d characters; it is cut to \"%s\"",
           name, raw, CODE_SIZE - 1, unit->obsoleteCode);
    }
  }
  CheckCodeBlanks(scan, "Unit", name, "obsolete-by code", unit->obsoleteCode);
  if (!obsoleteCut && FindAdvance(unit->obsoleteCode) == nullptr) {
    CheckUnknownCode(scan, "Unit", name, "obsolete-by code", unit->obsoleteCode,
                     "the unit never becomes obsolete");
  }

  // Fields 3 to 12 are numbers, in this order.
  static const char* const kNumbers[] = {"domain",     "move",      "range", "attack", "defense",
                                         "hit points", "firepower", "cost",  "hold",   "role"};
  const char* field = obsoleteField;
  for (const char* number : kNumbers) {
    field = SkipFields(field, 1, ',');
    CheckNumber(scan, "Unit", name, number, field, ',');
  }

  if (unit->domain < 0 || unit->domain >= DOMAIN_COUNT) {
    Warn(scan, "Unit \"%s\": domain %ld is outside the role table (0 to %d)", name,
         (long)unit->domain, DOMAIN_COUNT - 1);
  }
  CheckByteField(scan, "Unit", name, "role", SkipFields(line, 11, ','));
  if (unit->role >= ROLE_COUNT) {
    Warn(scan, "Unit \"%s\": role %u is outside the role table (0 to %d)", name,
         (unsigned)unit->role, ROLE_COUNT - 1);
  }

  CheckCodeBlanks(scan, "Unit", name, "prerequisite code", unit->prereqCode);
  if (unit->prereq == nullptr) {
    CheckUnknownCode(scan, "Unit", name, "prerequisite code", unit->prereqCode,
                     "it appears nowhere in the chart");
  }
  CheckFlags(scan, name, SkipFields(line, 13, ','), unit->flags);

  std::string key = name;
  for (char& c : key) c = (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
  auto seen = scan->unitNames.emplace(key, NamedUnit{name, scan->line});
  if (!seen.second) {
    const NamedUnit& first = seen.first->second;
    if (first.name == name) {
      Warn(scan,
           "Unit \"%s\": the unit on line %ld has the same name; the two cannot be told apart by "
           "name",
           name, (long)first.line);
    } else {
      Warn(scan,
           "Unit \"%s\": the unit \"%s\" on line %ld has the same name, case aside; the two "
           "cannot be told apart by name",
           name, first.name.c_str(), (long)first.line);
    }
  }
}

// The first advance or unit name with a letter outside ASCII, as read.
std::string NameOutsideAscii() {
  for (const TextLine* list : {&AdvanceLines, &UnitLines}) {
    for (const TextLine* line = list; line != nullptr && line->text[0] != 0; line = line->next) {
      char raw[LINE_SIZE];
      RawField(line->text, ',', raw, sizeof raw);
      for (const char* p = raw; *p != 0; ++p) {
        if ((unsigned char)*p >= 0x80) return raw;
      }
    }
  }
  return std::string();
}

}  // namespace

int ForEachWarning(DiagnosticSink sink, void* context) {
  Scan scan = {sink, context, 0, 0, -1, {}, {}};

  if (FileIsUtf8()) {
    scan.line = Utf8Line();
    WarnText(&scan, Utf8Message(NameOutsideAscii()));
  }

  // Each loop is told at the advance it starts from.
  std::unordered_map<int32_t, std::vector<const Advance*>> loops;
  for (std::vector<const Advance*>& loop : PassedLoops()) {
    if (!loop.empty()) loops.emplace(loop[0]->index, std::move(loop));
  }

  // One record per line, in the same order (the load refuses an advance
  // line without a name, so no record ends the list early).
  const TextLine* line = &AdvanceLines;
  const Advance* advance = &FirstAdvance;
  for (; line != nullptr && line->text[0] != 0 && advance != nullptr;
       line = line->next, advance = advance->next) {
    scan.line = line->lineNumber;
    scan.advance = advance->index;
    CheckAdvance(&scan, advance, line->text);
    auto loop = loops.find(advance->index);
    if (loop != loops.end()) CheckLoop(&scan, loop->second);
  }

  line = &UnitLines;
  const UnitType* unit = &FirstUnitType;
  for (; line != nullptr && line->text[0] != 0 && unit != nullptr;
       line = line->next, unit = unit->next) {
    scan.line = line->lineNumber;
    scan.advance = unit->prereq != nullptr ? unit->prereq->index : -1;
    CheckUnit(&scan, unit, line->text);
  }
  return scan.count;
}

std::vector<Diagnostic> CollectWarnings() {
  std::vector<Diagnostic> list;
  ForEachWarning(
      [](void* context, const Diagnostic* diagnostic) {
        static_cast<std::vector<Diagnostic>*>(context)->push_back(*diagnostic);
      },
      &list);
  return list;
}
