// The warnings: what the viewer passes over silently in a file it loads.
// Codes that name nothing, codes it can never find, values outside its name
// tables, numbers that are no plain numbers, blanks kept in names and
// codes, the texts the reader cuts, indented comments, units of one name,
// a file saved as UTF-8 and loops of prerequisites. Fields are found by
// scanning the raw section lines again, which stay in memory after the load.
#include "check/CheckWarnings.h"

#include <stdarg.h>
#include <stddef.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "chart/ChartText.h"
#include "chart/UnitText.h"
#include "check/CheckEncoding.h"
#include "check/CheckLoops.h"
#include "check/CheckSuggest.h"
#include "graph/Link.h"
#include "rules/Advance.h"
#include "rules/Reader.h"
#include "rules/UnitType.h"

namespace {

// A unit's name as first seen, for the units that repeat it.
struct NamedUnit {
  std::string name;
  int32_t line;
};

// Where the warnings of one scan go, and what the record being scanned is.
struct Scan {
  DiagnosticSink sink;
  void* context;
  int count;
  int32_t line;
  int32_t advance;
  CodeSuggester suggester;
  std::unordered_map<std::string, NamedUnit> unitNames;  // by name, ASCII case aside
};

void WarnText(Scan* scan, const std::string& text, std::vector<int32_t> loop = {}) {
  ++scan->count;
  if (scan->sink == nullptr) return;
  Diagnostic diagnostic = {scan->line, SEVERITY_WARNING, text, scan->advance, std::move(loop)};
  scan->sink(scan->context, &diagnostic);
}

void Warn(Scan* scan, const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list count;
  va_copy(count, args);
  int length = vsnprintf(nullptr, 0, format, count);
  va_end(count);
  std::string text(length > 0 ? (size_t)length : 0, '\0');
  vsnprintf(&text[0], text.size() + 1, format, args);
  va_end(args);
  WarnText(scan, text);
}

const char* SkipSpace(const char* p) {
  while (*p != 0 && IsRulesSpace(*p)) ++p;
  return p;
}

// The start of the field after count delimiters, or nullptr when the line has
// fewer (a loaded file never has, but the scan must not rely on it).
const char* SkipFields(const char* p, int count, char delimiter) {
  for (int i = 0; i < count && p != nullptr; ++i) {
    p = strchr(p, delimiter);
    if (p != nullptr) ++p;
  }
  return p;
}

// The raw text of the text field at start, as CopyField sees it: leading
// white space skipped, up to the delimiter (or the end of the line).
void RawField(const char* start, char delimiter, char* dest, size_t size) {
  const char* p = SkipSpace(start);
  const char* end = strchr(p, delimiter);
  size_t length = end != nullptr ? (size_t)(end - p) : strlen(p);
  if (length >= size) length = size - 1;
  memcpy(dest, p, length);
  dest[length] = 0;
}

void CheckNameCut(Scan* scan, const char* kind, const char* line, const char* stored) {
  char raw[LINE_SIZE];
  RawField(line, ',', raw, sizeof raw);
  if (strlen(raw) > NAME_SIZE - 1) {
    std::string utf8 = Utf8CutMessage(kind, raw, stored);
    if (!utf8.empty()) return WarnText(scan, utf8);
    Warn(scan, "%s name \"%s\" is longer than %d characters; it is cut to \"%s\"", kind, raw,
         NAME_SIZE - 1, stored);
  }
}

// A blank at either end, as the game keeps it: white space, or the
// no-break space of Windows-1252. Null when there is none.
const char* BlankEnds(const char* text) {
  auto blank = [](char c) { return IsRulesSpace(c) || (unsigned char)c == 0xA0; };
  size_t length = strlen(text);
  if (length == 0) return nullptr;
  bool begins = blank(text[0]);
  bool ends = blank(text[length - 1]);
  if (begins && ends) return "begins and ends";
  return begins ? "begins" : (ends ? "ends" : nullptr);
}

void CheckNameBlanks(Scan* scan, const char* kind, const char* name) {
  const char* where = BlankEnds(name);
  if (where == nullptr) return;
  Warn(scan, "%s name \"%s\" %s with a blank, which the game keeps as part of the name", kind, name,
       where);
}

// what: the code's field, after the record's kind and name.
void CheckCodeBlanks(Scan* scan, const char* kind, const char* name, const char* what,
                     const char* code) {
  const char* where = BlankEnds(code);
  if (where == nullptr) return;
  Warn(scan, "%s \"%s\": %s \"%s\" %s with a blank, which the game keeps as part of the code", kind,
       name, what, code, where);
}

// A line that begins with blanks and then ";": the reader drops only a
// line whose first character is ";".
void CheckIndentedComment(Scan* scan, const char* line, const char* record, const char* name) {
  const char* p = SkipSpace(line);
  if (p == line || *p != ';') return;
  Warn(scan,
       "A line that begins with blanks before \";\" is no comment: the game reads it as the %s "
       "\"%s\"",
       record, name);
}

// The text of the field from start to the delimiter (0: to the end of
// the line), without blanks at either end.
std::string TrimmedField(const char* start, char delimiter) {
  const char* p = SkipSpace(start);
  const char* end = delimiter != 0 ? strchr(p, delimiter) : nullptr;
  if (end == nullptr) end = p + strlen(p);
  while (end > p && IsRulesSpace(end[-1])) --end;
  return std::string(p, (size_t)(end - p));
}

// The digits of a number, after an optional sign; false when anything
// else is there or no digit is.
bool PlainNumber(const std::string& text, const char* digits, std::string* magnitude) {
  size_t start = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
  if (start == text.size() || text.find_first_not_of(digits, start) != std::string::npos) {
    return false;
  }
  size_t first = text.find_first_not_of('0', start);
  *magnitude = first == std::string::npos ? "0" : text.substr(first);
  return true;
}

// A number field: empty, not a plain decimal integer, or outside 32 bits,
// and what the game reads instead.
void CheckNumber(Scan* scan, const char* kind, const char* name, const char* field,
                 const char* start, char delimiter) {
  if (start == nullptr) return;
  std::string text = TrimmedField(start, delimiter);
  long read = (long)ReadDecimal(start);
  std::string magnitude;
  if (text.empty()) {
    Warn(scan, "%s \"%s\": %s is empty; the game reads it as 0", kind, name, field);
  } else if (!PlainNumber(text, "0123456789", &magnitude)) {
    Warn(scan, "%s \"%s\": %s \"%s\" is not a whole number; the game reads it as %ld", kind, name,
         field, text.c_str(), read);
  } else {
    const char* limit = text[0] == '-' ? "2147483648" : "2147483647";
    if (magnitude.size() > 10 || (magnitude.size() == 10 && magnitude > limit)) {
      Warn(scan, "%s \"%s\": %s %s is outside the 32-bit range; the game reads it as %ld", kind,
           name, field, text.c_str(), read);
    }
  }
}

// The flags, a base-2 number: the digits 0 and 1 only, at most 31 of them
// after leading zeros.
void CheckFlags(Scan* scan, const char* name, const char* start, int32_t flags) {
  if (start == nullptr) return;
  std::string text = TrimmedField(start, 0);
  std::string magnitude;
  // What the game reads, in the file's own base.
  uint32_t value = flags < 0 ? 0u - (uint32_t)flags : (uint32_t)flags;
  std::string read = flags < 0 ? "-" : "";
  int bit = 31;
  while (bit > 0 && (value >> bit & 1u) == 0) --bit;
  for (; bit >= 0; --bit) read += (char)('0' + (value >> bit & 1u));
  if (text.empty()) {
    Warn(scan, "Unit \"%s\": flags are empty; the game reads them as 0", name);
  } else if (!PlainNumber(text, "01", &magnitude)) {
    Warn(scan,
         "Unit \"%s\": flags \"%s\" hold digits other than 0 and 1; the game reads them as %s",
         name, text.c_str(), read.c_str());
  } else if (magnitude.size() > 31) {
    Warn(scan, "Unit \"%s\": flags %s are outside the 32-bit range; the game reads them as %s",
         name, text.c_str(), read.c_str());
  }
}

void CheckByteField(Scan* scan, const char* kind, const char* name, const char* field,
                    const char* start) {
  if (start == nullptr) return;
  int32_t raw = ReadDecimal(start);
  if (raw < 0 || raw > 255) {
    Warn(scan, "%s \"%s\": %s %ld does not fit in a byte; it is stored as %u", kind, name, field,
         (long)raw, (unsigned)(uint8_t)raw);
  }
}

// A prerequisite or obsolete-by code that names no advance, with the
// advance it was likely meant to be.
void CheckUnknownCode(Scan* scan, const char* kind, const char* name, const char* what,
                      const char* code, const char* outcome) {
  Warn(scan, "%s \"%s\": %s \"%s\" names no advance; %s%s", kind, name, what, code, outcome,
       scan->suggester.Hint(code).c_str());
}

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
