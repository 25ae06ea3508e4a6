// The warnings' scan record, and the checks of a record's fields as its raw line holds them.
// They serve the per-record checks of Warnings.cpp, which call them field by field.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "warnings/Suggest.h"
#include "warnings/Warnings.h"

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

// Counts one warning and hands it to the scan's sink, at the scan's record.
void WarnText(Scan* scan, const std::string& text, std::vector<int32_t> loop = {});
// The same, its text formatted as printf does.
void Warn(Scan* scan, const char* format, ...);

const char* SkipSpace(const char* p);
// The start of the field after count delimiters, or nullptr when the line has
// fewer (a loaded file never has, but the scan must not rely on it).
const char* SkipFields(const char* p, int count, char delimiter);
// The raw text of the text field at start, as CopyField sees it: leading
// white space skipped, up to the delimiter (or the end of the line).
void RawField(const char* start, char delimiter, char* dest, size_t size);

// A name longer than the reader keeps; line is the record's raw line.
void CheckNameCut(Scan* scan, const char* kind, const char* line, const char* stored);
void CheckNameBlanks(Scan* scan, const char* kind, const char* name);
// what: the code's field, after the record's kind and name.
void CheckCodeBlanks(Scan* scan, const char* kind, const char* name, const char* what,
                     const char* code);
// A line that begins with blanks and then ";": the reader drops only a
// line whose first character is ";".
void CheckIndentedComment(Scan* scan, const char* line, const char* record, const char* name);

// A number field: empty, not a plain decimal integer, or outside 32 bits,
// and what the game reads instead.
void CheckNumber(Scan* scan, const char* kind, const char* name, const char* field,
                 const char* start, char delimiter);
// The flags, a base-2 number: the digits 0 and 1 only, at most 31 of them
// after leading zeros.
void CheckFlags(Scan* scan, const char* name, const char* start, int32_t flags);
// A number field the record stores in a byte.
void CheckByteField(Scan* scan, const char* kind, const char* name, const char* field,
                    const char* start);
// A prerequisite or obsolete-by code that names no advance, with the
// advance it was likely meant to be.
void CheckUnknownCode(Scan* scan, const char* kind, const char* name, const char* what,
                      const char* code, const char* outcome);
