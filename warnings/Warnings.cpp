// The warnings: what the viewer passes over silently in a file it loads.
// Codes that name nothing, codes it can never find, values outside its name
// tables, numbers that are no plain numbers, blanks kept in names and
// codes, the texts the reader cuts, indented comments, units of one name,
// a file saved as UTF-8, carriage returns inside lines and loops of
// prerequisites. Fields are found by
// scanning the raw section lines again, which stay in memory after the load
// (warnings/Fields.cpp); this file holds the checks of whole records.
#include "warnings/Warnings.h"

#include <string.h>

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

#include "chart/ChartText.h"
#include "chart/UnitText.h"
#include "graph/Link.h"
#include "rules/Advance.h"
#include "rules/FieldNames.h"
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
  WarnText(scan, KIND_PREREQUISITE_LOOP, NO_FIELD, text, std::move(indexes));
}

void CheckAdvance(Scan* scan, const Advance* advance, const char* line) {
  const char* name = advance->name;
  CheckCarriageReturn(scan, "Advance", name);
  CheckIndentedComment(scan, line, "advance", name);
  CheckNameCut(scan, "Advance", line, name);
  CheckNameBlanks(scan, "Advance", name);

  CheckNumber(scan, "Advance", name, AdvanceFields[ADVANCE_AI_VALUE].text, ADVANCE_AI_VALUE, ',');
  CheckNumber(scan, "Advance", name, AdvanceFields[ADVANCE_MODIFIER].text, ADVANCE_MODIFIER, ',');
  // The category ends at the ";" before the code.
  CheckNumber(scan, "Advance", name, AdvanceFields[ADVANCE_EPOCH].text, ADVANCE_EPOCH, ',');
  CheckNumber(scan, "Advance", name, AdvanceFields[ADVANCE_CATEGORY].text, ADVANCE_CATEGORY, ';');
  const char* codeField = FieldStart(scan, ADVANCE_CODE);
  if (codeField != nullptr) {
    const char* raw = SkipSpace(codeField);
    if (strlen(raw) > CODE_SIZE - 1) {
      Warn(scan, KIND_CODE_CUT, ADVANCE_CODE,
           "Advance \"%s\": code \"%s\" is longer than %d characters; it is cut to \"%s\"", name,
           raw, CODE_SIZE - 1, advance->code);
    }
  }
  CheckCodeBlanks(scan, "Advance", name, AdvanceFields[ADVANCE_CODE].text, ADVANCE_CODE,
                  advance->code);

  if (strcmp(advance->code, "nil") == 0) {
    Warn(scan, KIND_CODE_NIL, ADVANCE_CODE,
         "Advance \"%s\": code \"nil\" always names \"%s\"; this advance never gets dependants",
         name, RootAdvance.name);
  } else {
    if (advance->code[0] == 0) {
      Warn(scan, KIND_CODE_EMPTY, ADVANCE_CODE, "Advance \"%s\" has an empty code", name);
    }
    const Advance* first = FindAdvance(advance->code);
    if (first != nullptr && first != advance) {
      Warn(scan, KIND_CODE_REPEATED, ADVANCE_CODE,
           "Advance \"%s\": code \"%s\" is already the code of \"%s\"; this advance never gets "
           "dependants",
           name, advance->code, first->name);
    }
  }

  CheckByteField(scan, "Advance", name, AdvanceFields[ADVANCE_EPOCH].text, ADVANCE_EPOCH);
  if (advance->epoch >= EPOCH_COUNT) {
    Warn(scan, KIND_EPOCH_OUTSIDE, ADVANCE_EPOCH,
         "Advance \"%s\": epoch %u is outside the epoch table (0 to %d)", name,
         (unsigned)advance->epoch, EPOCH_COUNT - 1);
  }
  CheckByteField(scan, "Advance", name, AdvanceFields[ADVANCE_CATEGORY].text, ADVANCE_CATEGORY);
  if (advance->category >= CATEGORY_COUNT) {
    Warn(scan, KIND_CATEGORY_OUTSIDE, ADVANCE_CATEGORY,
         "Advance \"%s\": category %u is outside the category table (0 to %d)", name,
         (unsigned)advance->category, CATEGORY_COUNT - 1);
  }

  const char* codes[2] = {advance->prereqCode1, advance->prereqCode2};
  const Advance* links[2] = {advance->prereq1, advance->prereq2};
  for (int i = 0; i < 2; ++i) {
    CheckCodeBlanks(scan, "Advance", name, AdvanceFields[ADVANCE_PREREQ1 + i].text,
                    ADVANCE_PREREQ1 + i, codes[i]);
    if (links[i] == nullptr) {
      CheckUnknownCode(scan, KIND_UNKNOWN_PREREQUISITE, "Advance", name,
                       AdvanceFields[ADVANCE_PREREQ1 + i].text, ADVANCE_PREREQ1 + i, codes[i],
                       "it stands on level 0");
    }
  }
}

void CheckUnit(Scan* scan, const UnitType* unit, const char* line) {
  const char* name = unit->name;
  CheckCarriageReturn(scan, "Unit", name);
  CheckIndentedComment(scan, line, "unit", name);
  CheckNameCut(scan, "Unit", line, name);
  CheckNameBlanks(scan, "Unit", name);

  const char* obsoleteField = FieldStart(scan, UNIT_OBSOLETE);
  bool obsoleteCut = false;
  if (obsoleteField != nullptr) {
    char raw[LINE_SIZE];
    RawField(obsoleteField, ',', raw, sizeof raw);
    obsoleteCut = strlen(raw) > CODE_SIZE - 1;
    if (obsoleteCut) {
      Warn(scan, KIND_OBSOLETE_CODE_CUT, UNIT_OBSOLETE,
           "Unit \"%s\": obsolete-by code \"%s\" is longer than %d characters; it is cut to \"%s\"",
           name, raw, CODE_SIZE - 1, unit->obsoleteCode);
    }
  }
  CheckCodeBlanks(scan, "Unit", name, UnitFields[UNIT_OBSOLETE].text, UNIT_OBSOLETE,
                  unit->obsoleteCode);
  if (!obsoleteCut && FindAdvance(unit->obsoleteCode) == nullptr) {
    CheckUnknownCode(scan, KIND_UNKNOWN_OBSOLETE, "Unit", name, UnitFields[UNIT_OBSOLETE].text,
                     UNIT_OBSOLETE, unit->obsoleteCode, "the unit never becomes obsolete");
  }

  // The number fields, in their order; the flags, a base-2 number, have a
  // check of their own.
  for (int field = UNIT_DOMAIN; field <= UNIT_ROLE; ++field) {
    CheckNumber(scan, "Unit", name, UnitFields[field].text, field, ',');
  }

  if (unit->domain < 0 || unit->domain >= DOMAIN_COUNT) {
    Warn(scan, KIND_DOMAIN_OUTSIDE, UNIT_DOMAIN,
         "Unit \"%s\": domain %ld is outside the role table (0 to %d)", name, (long)unit->domain,
         DOMAIN_COUNT - 1);
  }
  CheckByteField(scan, "Unit", name, UnitFields[UNIT_ROLE].text, UNIT_ROLE);
  if (unit->role >= ROLE_COUNT) {
    Warn(scan, KIND_ROLE_OUTSIDE, UNIT_ROLE,
         "Unit \"%s\": role %u is outside the role table (0 to %d)", name, (unsigned)unit->role,
         ROLE_COUNT - 1);
  }

  CheckCodeBlanks(scan, "Unit", name, UnitFields[UNIT_PREREQ].text, UNIT_PREREQ, unit->prereqCode);
  if (unit->prereq == nullptr) {
    CheckUnknownCode(scan, KIND_UNKNOWN_UNIT_ADVANCE, "Unit", name, UnitFields[UNIT_PREREQ].text,
                     UNIT_PREREQ, unit->prereqCode, "it appears nowhere in the chart");
  }
  CheckFlags(scan, name, unit->flags);

  std::string key = name;
  for (char& c : key) c = (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
  auto seen = scan->unitNames.emplace(key, NamedUnit{name, scan->line});
  if (!seen.second) {
    const NamedUnit& first = seen.first->second;
    if (first.name == name) {
      Warn(scan, KIND_UNIT_NAME_REPEATED, UNIT_NAME,
           "Unit \"%s\": the unit on line %ld has the same name; the two cannot be told apart by "
           "name",
           name, (long)first.line);
    } else {
      Warn(scan, KIND_UNIT_NAME_REPEATED, UNIT_NAME,
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
  Scan scan = {sink, context, 0, 0, -1, {}, {}, nullptr, {}, -1, 0, {}};

  if (FileIsUtf8()) {
    scan.line = Utf8Line();
    WarnText(&scan, KIND_UTF8_FILE, NO_FIELD, Utf8Message(NameOutsideAscii()));
  }

  // A carriage return on a line that holds no record (a comment, a
  // header, a line between the sections), in file order; a record's is
  // told with the record.
  std::vector<int32_t> records;
  for (const TextLine* list : {&AdvanceLines, &UnitLines}) {
    const TextLine* line = CarriageReturnLines().empty() ? nullptr : list;
    for (; line != nullptr && line->text[0] != 0; line = line->next) {
      records.push_back(line->lineNumber);
    }
  }
  for (int32_t carriage : CarriageReturnLines()) {
    if (std::binary_search(records.begin(), records.end(), carriage)) continue;
    scan.line = carriage;
    CheckCarriageReturn(&scan, nullptr, nullptr);
  }
  scan.line = 0;

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
    scan.text = line->text;
    RecordFields(line->text, false, scan.fields);
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
    scan.text = line->text;
    RecordFields(line->text, true, scan.fields);
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
