// The open documents: their texts, positions in them, their rules loaded
// and checked, and the records under a position.
#pragma once
#include <stdint.h>

#include <string>
#include <vector>

#include "lsp/Server.h"

// The document the params' textDocument names; a RequestError when the
// editor has not opened it.
Document* FindDocument(Server* server, const Json& params);

// Takes the editor's new text of the document.
void SetText(const Server& server, Document* document, const std::string& text);

// Loads and checks the document and publishes its diagnostics: every
// warning, or the one refusal. Its rules stay loaded.
void CheckDocument(Server* server, Document* document);
// Clears the diagnostics of a document closed.
void ClearDiagnostics(Server* server, const std::string& uri);

// Loads the document's rules, if they are not loaded; false when the load
// refuses them, with the refusal where asked.
bool LoadDocument(Server* server, const Document& document, Diagnostic* refusal = nullptr);

// The number of lines, and one line's text without its line end.
int32_t LineCount(const Document& document);
std::string LineText(const Document& document, int32_t line);

// The line of a position (from 0) and its byte in the record's text as the
// reader keeps it, or -1 beyond it; a RequestError for a position outside
// the document (a character beyond its line is its end, as the protocol
// has it).
int32_t PositionLine(const Document& document, const Json& position);
int32_t RecordColumn(const Server& server, const Document& document, const Json& position);
// The position of the byte column in the record's text of the line.
Json PositionAt(const Server& server, const Document& document, int32_t line, int32_t column);
// A range of the record's bytes on the line, or of the whole line.
Json RangeOf(const Server& server, const Document& document, int32_t line, int32_t start,
             int32_t end);
Json LineRange(const Server& server, const Document& document, int32_t line);

// The record on a line of the loaded document, or nullptr.
const LineRecord* RecordOn(const Server& server, int32_t line);
// The field of the record at the byte column, or NO_FIELD.
int FieldAt(const LineRecord& record, int32_t column);
// Whether the field holds a code: a prerequisite, a unit's advance or
// obsolete-by code, or an advance's own.
bool IsCodeField(const LineRecord& record, int field);
// The code a field holds as the game stores it, with its span.
std::string FieldCode(const LineRecord& record, int field, FieldSpan* span);

// Rules-file text as UTF-8, as every output shows it.
std::string Shown(const char* text);

// A field of the loaded document that holds a code (IsCodeField).
struct CodeUse {
  int32_t line;
  const LineRecord* record;
  int field;
  FieldSpan span;
};
// Every field that holds the code, by line then field; an advance's own
// code among them when withOwn.
std::vector<CodeUse> CodeUses(const Server& server, const std::string& code, bool withOwn);

// The advance a position points at: the one a code field names (with the
// field, as CodeUse), or, on an advance's line elsewhere, that advance.
// nullptr where there is none; use.record nullptr off a record.
const Advance* AdvanceAt(Server* server, const Document& document, const Json& position,
                         CodeUse* use);
