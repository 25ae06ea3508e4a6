// The warnings: what the viewer passes over silently in a file it loads.
// Codes that name nothing, codes it can never find, values outside its name
// tables, and the texts the reader cuts. Cuts are found by scanning the raw
// section lines again, which stay in memory after the load.
#include "check/CheckWarnings.h"

#include <stdarg.h>
#include <stddef.h>
#include <stdio.h>
#include <string.h>

#include "chart/ChartText.h"
#include "chart/UnitText.h"
#include "graph/Link.h"
#include "rules/Advance.h"
#include "rules/Reader.h"
#include "rules/UnitType.h"

namespace {

enum { WARNING_SIZE = 640 };

// Where the warnings of one scan go, and what the record being scanned is.
struct Scan {
  DiagnosticSink sink;
  void* context;
  int count;
  int32_t line;
  int32_t advance;
};

void Warn(Scan* scan, const char* format, ...) {
  char text[WARNING_SIZE];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  ++scan->count;
  if (scan->sink == nullptr) return;
  Diagnostic diagnostic = {scan->line, SEVERITY_WARNING, text, scan->advance};
  scan->sink(scan->context, &diagnostic);
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
    Warn(scan, "%s name \"%s\" is longer than %d characters; it is cut to \"%s\"", kind, raw,
         NAME_SIZE - 1, stored);
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

void CheckAdvance(Scan* scan, const Advance* advance, const char* line) {
  const char* name = advance->name;
  CheckNameCut(scan, "Advance", line, name);

  // Fields 6 and 7 are numbers; field 7 ends at the ";" before the code.
  const char* epochField = SkipFields(line, 5, ',');
  const char* categoryField = SkipFields(epochField, 1, ',');
  const char* codeField = SkipFields(categoryField, 1, ';');
  if (codeField != nullptr) {
    const char* raw = SkipSpace(codeField);
    if (strlen(raw) > CODE_SIZE - 1) {
      Warn(scan, "Advance \"%s\": code \"%s\" is longer than %d characters; it is cut to \"%s\"",
           name, raw, CODE_SIZE - 1, advance->code);
    }
  }

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
    if (links[i] == nullptr) {
      Warn(scan, "Advance \"%s\": prerequisite code \"%s\" names no advance; it stands on level 0",
           name, codes[i]);
    }
  }
}

void CheckUnit(Scan* scan, const UnitType* unit, const char* line) {
  const char* name = unit->name;
  CheckNameCut(scan, "Unit", line, name);

  const char* obsoleteField = SkipFields(line, 1, ',');
  if (obsoleteField != nullptr) {
    char raw[LINE_SIZE];
    RawField(obsoleteField, ',', raw, sizeof raw);
    if (strlen(raw) > CODE_SIZE - 1) {
      Warn(scan,
           "Unit \"%s\": obsolete-by code \"%s\" is longer than %d characters; it is cut to \"%s\"",
           name, raw, CODE_SIZE - 1, unit->obsoleteCode);
    }
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

  if (unit->prereq == nullptr) {
    Warn(scan,
         "Unit \"%s\": prerequisite code \"%s\" names no advance; it appears nowhere in the chart",
         name, unit->prereqCode);
  }
}

}  // namespace

int ForEachWarning(DiagnosticSink sink, void* context) {
  Scan scan = {sink, context, 0, 0, -1};

  // One record per line, in the same order (the load refuses an advance
  // line without a name, so no record ends the list early).
  const TextLine* line = &AdvanceLines;
  const Advance* advance = &FirstAdvance;
  for (; line != nullptr && line->text[0] != 0 && advance != nullptr;
       line = line->next, advance = advance->next) {
    scan.line = line->lineNumber;
    scan.advance = advance->index;
    CheckAdvance(&scan, advance, line->text);
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
