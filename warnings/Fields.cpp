// The field checks of the warnings: a record's fields read again from its raw line.
// The cleaned record no longer shows what the reader cut, kept or read otherwise.
#include "warnings/Fields.h"

#include <stdarg.h>
#include <stddef.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "rules/Advance.h"
#include "rules/Reader.h"
#include "warnings/Encoding.h"

namespace {

// A blank the game keeps at either end of a name or code: white space, or
// Windows-1252's no-break space.
bool IsKeptBlank(char c) { return IsRulesSpace(c) || (unsigned char)c == 0xA0; }

// Where a name or code has such a blank; null when it has none.
const char* BlankEnds(const char* text) {
  size_t length = strlen(text);
  if (length == 0) return nullptr;
  bool begins = IsKeptBlank(text[0]);
  bool ends = IsKeptBlank(text[length - 1]);
  if (begins && ends) return "begins and ends";
  return begins ? "begins" : (ends ? "ends" : nullptr);
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

}  // namespace

void RecordFields(const char* line, bool unit, FieldSpan* fields) {
  int count = unit ? (int)UNIT_FIELDS : (int)ADVANCE_FIELDS;
  const char* p = line;
  for (int i = 0; i < count; ++i) {
    if (p == nullptr) {
      fields[i] = {-1, -1};
      continue;
    }
    bool last = i == count - 1;
    char delimiter = !unit && i == ADVANCE_CATEGORY ? ';' : ',';
    const char* end = last ? nullptr : strchr(p, delimiter);
    if (end == nullptr) end = p + strlen(p);
    fields[i] = {(int32_t)(p - line), (int32_t)(end - line)};
    p = *end != 0 && !last ? end + 1 : nullptr;
  }
}

FieldSpan StoredSpan(const char* line, FieldSpan field) {
  if (field.start < 0) return field;
  int32_t start = (int32_t)(SkipSpace(line + field.start) - line);
  return {start < field.end ? start : field.end, field.end};
}

FieldSpan TrimmedSpan(const char* line, FieldSpan field) {
  FieldSpan span = StoredSpan(line, field);
  while (span.end > span.start && IsRulesSpace(line[span.end - 1])) --span.end;
  return span;
}

void OfferFix(Scan* scan, int32_t column, int32_t width, const std::string& text) {
  scan->fixColumn = column;
  scan->fixWidth = width;
  scan->fix = text;
}

const char* FieldStart(const Scan* scan, int field) {
  return scan->fields[field].start < 0 ? nullptr : scan->text + scan->fields[field].start;
}

void WarnText(Scan* scan, DiagnosticKind kind, int field, const std::string& text,
              std::vector<int32_t> loop) {
  ++scan->count;
  int32_t fixColumn = scan->fixColumn;
  scan->fixColumn = -1;
  if (scan->sink == nullptr) return;
  FieldSpan span = {-1, -1};
  if (field != NO_FIELD && scan->text != nullptr) {
    span = TrimmedSpan(scan->text, scan->fields[field]);
  }
  Diagnostic diagnostic = {
      scan->line, SEVERITY_WARNING,      text,      scan->advance,  std::move(loop), kind,
      span.start, span.end - span.start, fixColumn, scan->fixWidth, scan->fix};
  scan->sink(scan->context, &diagnostic);
}

void Warn(Scan* scan, DiagnosticKind kind, int field, const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list count;
  va_copy(count, args);
  int length = vsnprintf(nullptr, 0, format, count);
  va_end(count);
  std::string text(length > 0 ? (size_t)length : 0, '\0');
  vsnprintf(&text[0], text.size() + 1, format, args);
  va_end(args);
  WarnText(scan, kind, field, text);
}

const char* SkipSpace(const char* p) {
  while (*p != 0 && IsRulesSpace(*p)) ++p;
  return p;
}

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
    if (!utf8.empty()) return WarnText(scan, KIND_NAME_CUT, 0, utf8);
    Warn(scan, KIND_NAME_CUT, 0, "%s name \"%s\" is longer than %d characters; it is cut to \"%s\"",
         kind, raw, NAME_SIZE - 1, stored);
  }
}

// The field's stored text without its blanks at either end, offered as the
// mending of a blank's warning.
void OfferWithoutBlanks(Scan* scan, int field) {
  FieldSpan span = StoredSpan(scan->text, scan->fields[field]);
  if (span.start < 0) return;
  int32_t start = span.start, end = span.end;
  while (start < end && IsKeptBlank(scan->text[start])) ++start;
  while (end > start && IsKeptBlank(scan->text[end - 1])) --end;
  OfferFix(scan, span.start, span.end - span.start,
           std::string(scan->text + start, (size_t)(end - start)));
}

void CheckNameBlanks(Scan* scan, const char* kind, const char* name) {
  const char* where = BlankEnds(name);
  if (where == nullptr) return;
  // A name cut to fit is mended by hand.
  FieldSpan span = StoredSpan(scan->text, scan->fields[0]);
  if (span.end - span.start == (int32_t)strlen(name)) OfferWithoutBlanks(scan, 0);
  Warn(scan, KIND_NAME_BLANK, 0,
       "%s name \"%s\" %s with a blank, which the game keeps as part of the name", kind, name,
       where);
}

void CheckCodeBlanks(Scan* scan, const char* kind, const char* name, const char* what, int field,
                     const char* code) {
  const char* where = BlankEnds(code);
  if (where == nullptr) return;
  FieldSpan span = StoredSpan(scan->text, scan->fields[field]);
  if (span.end - span.start == (int32_t)strlen(code)) OfferWithoutBlanks(scan, field);
  Warn(scan, KIND_CODE_BLANK, field,
       "%s \"%s\": %s \"%s\" %s with a blank, which the game keeps as part of the code", kind, name,
       what, code, where);
}

void CheckIndentedComment(Scan* scan, const char* line, const char* record, const char* name) {
  const char* p = SkipSpace(line);
  if (p == line || *p != ';') return;
  // Without the blanks, the line is the comment it was meant to be.
  OfferFix(scan, 0, (int32_t)(p - line), "");
  Warn(scan, KIND_INDENTED_COMMENT, NO_FIELD,
       "A line that begins with blanks before \";\" is no comment: the game reads it as the %s "
       "\"%s\"",
       record, name);
}

void CheckCarriageReturn(Scan* scan, const char* kind, const char* name) {
  const std::vector<int32_t>& lines = CarriageReturnLines();
  if (!std::binary_search(lines.begin(), lines.end(), scan->line)) return;
  if (kind == nullptr) {
    WarnText(scan, KIND_CARRIAGE_RETURN, NO_FIELD,
             "A carriage return inside the line; the game drops it");
  } else {
    Warn(scan, KIND_CARRIAGE_RETURN, NO_FIELD,
         "%s \"%s\": a carriage return inside the line; the game drops it", kind, name);
  }
}

void CheckNumber(Scan* scan, const char* kind, const char* name, const char* what, int field,
                 char delimiter) {
  const char* start = FieldStart(scan, field);
  if (start == nullptr) return;
  std::string text = TrimmedField(start, delimiter);
  long read = (long)ReadDecimal(start);
  std::string magnitude;
  if (text.empty()) {
    Warn(scan, KIND_NUMBER_EMPTY, field, "%s \"%s\": %s is empty; the game reads it as 0", kind,
         name, what);
  } else if (!PlainNumber(text, "0123456789", &magnitude)) {
    Warn(scan, KIND_NUMBER_NOT_WHOLE, field,
         "%s \"%s\": %s \"%s\" is not a whole number; the game reads it as %ld", kind, name, what,
         text.c_str(), read);
  } else {
    const char* limit = text[0] == '-' ? "2147483648" : "2147483647";
    if (magnitude.size() > 10 || (magnitude.size() == 10 && magnitude > limit)) {
      Warn(scan, KIND_NUMBER_OUT_OF_RANGE, field,
           "%s \"%s\": %s %s is outside the 32-bit range; the game reads it as %ld", kind, name,
           what, text.c_str(), read);
    }
  }
}

void CheckFlags(Scan* scan, const char* name, int32_t flags) {
  const char* start = FieldStart(scan, UNIT_FLAGS);
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
    Warn(scan, KIND_FLAGS_EMPTY, UNIT_FLAGS,
         "Unit \"%s\": flags are empty; the game reads them as 0", name);
  } else if (!PlainNumber(text, "01", &magnitude)) {
    Warn(scan, KIND_FLAGS_NOT_BINARY, UNIT_FLAGS,
         "Unit \"%s\": flags \"%s\" hold digits other than 0 and 1; the game reads them as %s",
         name, text.c_str(), read.c_str());
  } else if (magnitude.size() > 31) {
    Warn(scan, KIND_FLAGS_OUT_OF_RANGE, UNIT_FLAGS,
         "Unit \"%s\": flags %s are outside the 32-bit range; the game reads them as %s", name,
         text.c_str(), read.c_str());
  }
}

void CheckByteField(Scan* scan, const char* kind, const char* name, const char* what, int field) {
  const char* start = FieldStart(scan, field);
  if (start == nullptr) return;
  int32_t raw = ReadDecimal(start);
  if (raw < 0 || raw > 255) {
    Warn(scan, KIND_NUMBER_NOT_BYTE, field,
         "%s \"%s\": %s %ld does not fit in a byte; it is stored as %u", kind, name, what,
         (long)raw, (unsigned)(uint8_t)raw);
  }
}

void CheckUnknownCode(Scan* scan, DiagnosticKind kind, const char* record, const char* name,
                      const char* what, int field, const char* code, const char* outcome) {
  // The code meant replaces the code stored, where the line holds it whole.
  const Advance* meant = scan->suggester.Find(code);
  FieldSpan span = StoredSpan(scan->text, scan->fields[field]);
  if (meant != nullptr && span.start >= 0 &&
      std::string(scan->text + span.start, (size_t)(span.end - span.start)) == code) {
    OfferFix(scan, span.start, span.end - span.start, meant->code);
  }
  Warn(scan, kind, field, "%s \"%s\": %s \"%s\" names no advance; %s%s", record, name, what, code,
       outcome, scan->suggester.Hint(code).c_str());
}
