// The field checks of the warnings: a record's fields read again from its raw line.
// The cleaned record no longer shows what the reader cut, kept or read otherwise.
#include "warnings/Fields.h"

#include <stdarg.h>
#include <stddef.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "rules/Advance.h"
#include "rules/Reader.h"
#include "warnings/Encoding.h"

namespace {

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

void WarnText(Scan* scan, const std::string& text, std::vector<int32_t> loop) {
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

const char* SkipFields(const char* p, int count, char delimiter) {
  for (int i = 0; i < count && p != nullptr; ++i) {
    p = strchr(p, delimiter);
    if (p != nullptr) ++p;
  }
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
    if (!utf8.empty()) return WarnText(scan, utf8);
    Warn(scan, "%s name \"%s\" is longer than %d characters; it is cut to \"%s\"", kind, raw,
         NAME_SIZE - 1, stored);
  }
}

void CheckNameBlanks(Scan* scan, const char* kind, const char* name) {
  const char* where = BlankEnds(name);
  if (where == nullptr) return;
  Warn(scan, "%s name \"%s\" %s with a blank, which the game keeps as part of the name", kind, name,
       where);
}

void CheckCodeBlanks(Scan* scan, const char* kind, const char* name, const char* what,
                     const char* code) {
  const char* where = BlankEnds(code);
  if (where == nullptr) return;
  Warn(scan, "%s \"%s\": %s \"%s\" %s with a blank, which the game keeps as part of the code", kind,
       name, what, code, where);
}

void CheckIndentedComment(Scan* scan, const char* line, const char* record, const char* name) {
  const char* p = SkipSpace(line);
  if (p == line || *p != ';') return;
  Warn(scan,
       "A line that begins with blanks before \";\" is no comment: the game reads it as the %s "
       "\"%s\"",
       record, name);
}

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

void CheckUnknownCode(Scan* scan, const char* kind, const char* name, const char* what,
                      const char* code, const char* outcome) {
  Warn(scan, "%s \"%s\": %s \"%s\" names no advance; %s%s", kind, name, what, code, outcome,
       scan->suggester.Hint(code).c_str());
}
