// The warnings' scan record, and the checks of a record's fields as its raw line holds them.
// They serve the per-record checks of Warnings.cpp, which call them field by field.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "rules/FieldNames.h"
#include "warnings/Suggest.h"
#include "warnings/Warnings.h"

// A field of a record is its place in its line (rules/FieldNames.h).
enum { FIELD_MAX = UNIT_FIELDS, NO_FIELD = -1 };

// A field's bytes in its line: from after the delimiter before it (or the
// line's start) to the delimiter after it (or the line's end); start -1
// for a field the line lacks (a loaded file never does, but the scan must
// not rely on it).
struct FieldSpan {
  int32_t start;
  int32_t end;
};

// The spans of the fields of an advance line, or a unit line (unit true):
// every one of the record's fields, in their order.
void RecordFields(const char* line, bool unit, FieldSpan* fields);
// The field's text as the reader stores it (leading white space skipped),
// and the same without blanks at its end: start and end in the line.
FieldSpan StoredSpan(const char* line, FieldSpan field);
FieldSpan TrimmedSpan(const char* line, FieldSpan field);

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
  const char* text;                                      // the record's line
  FieldSpan fields[FIELD_MAX];
  // The mending the next warning offers, if any (OfferFix).
  int32_t fixColumn;
  int32_t fixWidth;
  std::string fix;
};

// Counts one warning and hands it to the scan's sink, at the scan's record
// and the field given (NO_FIELD: the whole line), with the mending offered
// for it.
void WarnText(Scan* scan, DiagnosticKind kind, int field, const std::string& text,
              std::vector<int32_t> loop = {});
// The same, its text formatted as printf does.
void Warn(Scan* scan, DiagnosticKind kind, int field, const char* format, ...);
// The next warning mends the bytes of the record's line from column on,
// width of them, with the text.
void OfferFix(Scan* scan, int32_t column, int32_t width, const std::string& text);
// The start of a field of the scan's record, or nullptr for none.
const char* FieldStart(const Scan* scan, int field);

const char* SkipSpace(const char* p);
// The raw text of the text field at start, as CopyField sees it: leading
// white space skipped, up to the delimiter (or the end of the line).
void RawField(const char* start, char delimiter, char* dest, size_t size);

// A name longer than the reader keeps; line is the record's raw line.
void CheckNameCut(Scan* scan, const char* kind, const char* line, const char* stored);
void CheckNameBlanks(Scan* scan, const char* kind, const char* name);
// what: the code's field, after the record's kind and name.
void CheckCodeBlanks(Scan* scan, const char* kind, const char* name, const char* what, int field,
                     const char* code);
// A line that begins with blanks and then ";": the reader drops only a
// line whose first character is ";".
void CheckIndentedComment(Scan* scan, const char* line, const char* record, const char* name);

// A carriage return inside the scan's line (CarriageReturnLines,
// warnings/Encoding.h): on a record's line, kind and name tell it;
// with kind null, a line that is none (a comment, a header).
void CheckCarriageReturn(Scan* scan, const char* kind, const char* name);

// A number field: empty, not a plain decimal integer, or outside 32 bits,
// and what the game reads instead.
void CheckNumber(Scan* scan, const char* kind, const char* name, const char* what, int field,
                 char delimiter);
// The flags, a base-2 number: the digits 0 and 1 only, at most 31 of them
// after leading zeros.
void CheckFlags(Scan* scan, const char* name, int32_t flags);
// A number field the record stores in a byte.
void CheckByteField(Scan* scan, const char* kind, const char* name, const char* what, int field);
// A prerequisite or obsolete-by code that names no advance, with the
// advance it was likely meant to be (offered as the mending).
void CheckUnknownCode(Scan* scan, DiagnosticKind kind, const char* record, const char* name,
                      const char* what, int field, const char* code, const char* outcome);
