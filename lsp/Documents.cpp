// The open documents: the editor's text turned into the bytes the game
// reads, loaded and checked as the checker does, positions counted as the
// editor counts them.
#include "lsp/Documents.h"

#include <string.h>

#include <algorithm>
#include <string>

#include "chart/Utf8Text.h"
#include "graph/Link.h"
#include "load/LoadRules.h"
#include "rules/Advance.h"
#include "rules/Fatal.h"
#include "rules/Reader.h"
#include "rules/UnitType.h"
#include "warnings/Encoding.h"
#include "warnings/Warnings.h"
#include "warnings/Diagnostics.h"

namespace {

// The length of the UTF-8 sequence that starts with the byte (1 for a
// byte that starts none, so that a walk always moves on).
size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

// The character that a UTF-8 sequence encodes.
uint32_t CodePoint(const std::string& text, size_t at, size_t length) {
  uint32_t c = (unsigned char)text[at] & (length == 1 ? 0x7F : 0xFF >> (length + 1));
  for (size_t i = 1; i < length && at + i < text.size(); ++i) {
    c = c << 6 | ((unsigned char)text[at + i] & 0x3F);
  }
  return c;
}

// The Windows-1252 byte of a character, or '?' for one the code page lacks.
char Cp1252Byte(uint32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return (char)c;
  for (int b = 0x80; b < 0xA0; ++b) {
    char out[UTF8_CHAR_MAX];
    int size = Cp1252ToUtf8((unsigned char)b, out);
    std::string utf8(out, (size_t)size);
    if (CodePoint(utf8, 0, utf8.size()) == c && utf8 != "\xEF\xBF\xBD") return (char)b;
  }
  return '?';
}

// How many position units a character takes.
int32_t Units(const Server& server, size_t length) {
  if (server.encoding == POSITIONS_UTF8) return (int32_t)length;
  if (server.encoding == POSITIONS_UTF32) return 1;
  return length == 4 ? 2 : 1;
}

// Walks the line's characters: for each, the bytes the game reads of it
// (its carriage returns dropped, as the reader drops them) and the units
// the editor counts; stops when step returns true.
template <typename Step>
void WalkLine(const Server& server, const std::string& line, Step step) {
  int32_t column = 0, units = 0;
  for (size_t at = 0; at < line.size();) {
    size_t length = SequenceLength((unsigned char)line[at]);
    if (at + length > line.size()) length = line.size() - at;
    int32_t bytes = line[at] == '\r' ? 0 : server.windows1252 ? 1 : (int32_t)length;
    if (step(column, units)) return;
    column += bytes;
    units += Units(server, length);
    at += length;
  }
  step(column, units);
}

void Publish(Server* server, const std::string& uri, const Document* document) {
  Json list = Json::array();
  if (document != nullptr) {
    for (const Published& p : document->diagnostics) list.push_back(p.diagnostic);
  }
  Json params = {{"uri", uri}, {"diagnostics", std::move(list)}};
  if (document != nullptr) params["version"] = document->version;
  Notify(server, "textDocument/publishDiagnostics", std::move(params));
}

struct LoadRun {
  const std::string* bytes;
};

void LoadBytes(void* context) {
  const std::string& bytes = *static_cast<LoadRun*>(context)->bytes;
  WatchEncoding();
  LoadRulesText(bytes.data(), bytes.size());
}

void IndexRecords(Server* server) {
  server->records.clear();
  const TextLine* line = &AdvanceLines;
  for (const Advance* a = &FirstAdvance; line->text[0] != 0 && a->name[0] != 0;
       line = line->next, a = a->next) {
    LineRecord record = {line, a, nullptr, {}};
    RecordFields(line->text, false, record.fields);
    server->records.emplace(line->lineNumber - 1, record);
  }
  line = &UnitLines;
  for (const UnitType* u = &FirstUnitType; line->text[0] != 0 && u->name[0] != 0;
       line = line->next, u = u->next) {
    LineRecord record = {line, nullptr, u, {}};
    RecordFields(line->text, true, record.fields);
    server->records.emplace(line->lineNumber - 1, record);
  }
}

// The diagnostic of a refused load: one error at its line.
Published RefusalPublished(const Server& server, const Document& document,
                           const Diagnostic& refusal) {
  int32_t line = refusal.line > 0 ? refusal.line - 1 : 0;
  if (line >= LineCount(document)) line = LineCount(document) - 1;
  Json diagnostic = {{"range", LineRange(server, document, line)},
                     {"severity", 1},
                     {"code", DiagnosticKinds[refusal.kind].name},
                     {"source", "lorvane-check"},
                     {"message", DiagnosticJson(refusal)["message"]}};
  return {std::move(diagnostic), false, Json(), std::string()};
}

}  // namespace

std::string Shown(const char* text) {
  std::string utf8;
  AppendUtf8(&utf8, text);
  return utf8;
}

Document* FindDocument(Server* server, const Json& params) {
  std::string uri = params.at("textDocument").at("uri").get<std::string>();
  auto found = server->documents.find(uri);
  if (found == server->documents.end()) {
    throw RequestError{ERROR_INVALID_PARAMS, "the document " + uri + " is not open"};
  }
  return &found->second;
}

void SetText(const Server& server, Document* document, const std::string& text) {
  document->text = text;
  document->lineStarts.assign(1, 0);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') document->lineStarts.push_back(i + 1);
  }
  if (!server.windows1252) {
    document->bytes = text;
    return;
  }
  document->bytes.clear();
  for (size_t at = 0; at < text.size();) {
    size_t length = SequenceLength((unsigned char)text[at]);
    document->bytes += Cp1252Byte(CodePoint(text, at, length));
    at += length;
  }
}

bool LoadDocument(Server* server, const Document& document, Diagnostic* refusal) {
  if (server->loaded == &document) return !document.refused;
  ResetRules();
  server->loaded = &document;
  server->records.clear();
  LoadRun run = {&document.bytes};
  int exitCode = 0;
  if (!RunCatchingFatal(LoadBytes, &run, &exitCode)) {
    if (refusal != nullptr) *refusal = RefusalDiagnostic();
    // What a refused load leaves is no rules file.
    ResetRules();
    return false;
  }
  IndexRecords(server);
  return true;
}

void CheckDocument(Server* server, Document* document) {
  server->loaded = nullptr;
  document->diagnostics.clear();
  Diagnostic refusal;
  document->refused = !LoadDocument(server, *document, &refusal);
  if (document->refused) {
    document->diagnostics.push_back(RefusalPublished(*server, *document, refusal));
    return Publish(server, document->uri, document);
  }
  for (const Diagnostic& warning : CollectWarnings()) {
    int32_t line = warning.line > 0 ? warning.line - 1 : 0;
    Json range = warning.column >= 0 ? RangeOf(*server, *document, line, warning.column,
                                               warning.column + warning.width)
                                     : LineRange(*server, *document, line);
    Json diagnostic = {{"range", std::move(range)},
                       {"severity", 2},
                       {"code", DiagnosticKinds[warning.kind].name},
                       {"source", "lorvane-check"},
                       {"message", DiagnosticJson(warning)["message"]}};
    Published published = {std::move(diagnostic), warning.fixColumn >= 0, Json(), warning.fix};
    if (published.mended) {
      published.range = RangeOf(*server, *document, line, warning.fixColumn,
                                warning.fixColumn + warning.fixWidth);
      // The mending's text is the file's bytes: shown as the editor holds them.
      if (server->windows1252) published.text = Shown(warning.fix.c_str());
    }
    document->diagnostics.push_back(std::move(published));
  }
  Publish(server, document->uri, document);
}

void ClearDiagnostics(Server* server, const std::string& uri) { Publish(server, uri, nullptr); }

int32_t LineCount(const Document& document) { return (int32_t)document.lineStarts.size(); }

std::string LineText(const Document& document, int32_t line) {
  if (line < 0 || line >= LineCount(document)) return std::string();
  size_t start = document.lineStarts[(size_t)line];
  size_t end = (size_t)line + 1 < document.lineStarts.size()
                   ? document.lineStarts[(size_t)line + 1] - 1
                   : document.text.size();
  return document.text.substr(start, end - start);
}

int32_t PositionLine(const Document& document, const Json& position) {
  const Json& line = position.at("line");
  const Json& character = position.at("character");
  if (!line.is_number_integer() || !character.is_number_integer() || line.get<int64_t>() < 0 ||
      character.get<int64_t>() < 0) {
    throw RequestError{ERROR_INVALID_PARAMS, "a position's line and character are numbers from 0"};
  }
  if (line.get<int64_t>() >= LineCount(document)) {
    throw RequestError{ERROR_INVALID_PARAMS, "line " + std::to_string(line.get<int64_t>()) +
                                                 " is outside the document, which has " +
                                                 std::to_string(LineCount(document)) + " lines"};
  }
  return line.get<int32_t>();
}

int32_t RecordColumn(const Server& server, const Document& document, const Json& position) {
  int32_t line = PositionLine(document, position);
  int64_t character = position.at("character").get<int64_t>();
  int32_t column = -1;
  WalkLine(server, LineText(document, line), [&](int32_t bytes, int32_t units) {
    column = bytes;
    return units >= character;
  });
  return column;
}

Json PositionAt(const Server& server, const Document& document, int32_t line, int32_t column) {
  int32_t at = 0;
  WalkLine(server, LineText(document, line), [&](int32_t bytes, int32_t units) {
    at = units;
    return bytes >= column;
  });
  return {{"line", line}, {"character", at}};
}

Json RangeOf(const Server& server, const Document& document, int32_t line, int32_t start,
             int32_t end) {
  return {{"start", PositionAt(server, document, line, start)},
          {"end", PositionAt(server, document, line, end)}};
}

Json LineRange(const Server& server, const Document& document, int32_t line) {
  return RangeOf(server, document, line, 0, INT32_MAX);
}

const LineRecord* RecordOn(const Server& server, int32_t line) {
  auto found = server.records.find(line);
  return found == server.records.end() ? nullptr : &found->second;
}

int FieldAt(const LineRecord& record, int32_t column) {
  int count = record.unit != nullptr ? (int)UNIT_FIELDS : (int)ADVANCE_FIELDS;
  for (int i = 0; i < count; ++i) {
    const FieldSpan& f = record.fields[i];
    // A field reaches to its delimiter, which the position before it touches.
    if (f.start >= 0 && column >= f.start && column <= f.end) return i;
  }
  return NO_FIELD;
}

bool IsCodeField(const LineRecord& record, int field) {
  if (record.unit != nullptr) return field == UNIT_OBSOLETE || field == UNIT_PREREQ;
  return field == ADVANCE_PREREQ1 || field == ADVANCE_PREREQ2 || field == ADVANCE_CODE;
}

std::string FieldCode(const LineRecord& record, int field, FieldSpan* span) {
  const char* text = record.line->text;
  *span = StoredSpan(text, record.fields[field]);
  const char* code;
  if (record.unit != nullptr) {
    code = field == UNIT_OBSOLETE ? record.unit->obsoleteCode : record.unit->prereqCode;
  } else {
    code = field == ADVANCE_PREREQ1   ? record.advance->prereqCode1
           : field == ADVANCE_PREREQ2 ? record.advance->prereqCode2
                                      : record.advance->code;
  }
  // An advance's own code is the three characters after the blanks; a
  // unit's obsolete-by code may be cut to them.
  int32_t length = (int32_t)strlen(code);
  if (span->start >= 0 && span->end - span->start > length) span->end = span->start + length;
  return code;
}

std::vector<CodeUse> CodeUses(const Server& server, const std::string& code, bool withOwn) {
  std::vector<CodeUse> uses;
  for (const auto& entry : server.records) {
    const LineRecord& record = entry.second;
    int count = record.unit != nullptr ? (int)UNIT_FIELDS : (int)ADVANCE_FIELDS;
    for (int field = 0; field < count; ++field) {
      if (!IsCodeField(record, field) ||
          (!withOwn && record.advance != nullptr && field == ADVANCE_CODE)) {
        continue;
      }
      FieldSpan span;
      if (FieldCode(record, field, &span) == code && span.start >= 0) {
        uses.push_back({entry.first, &record, field, span});
      }
    }
  }
  std::sort(uses.begin(), uses.end(), [](const CodeUse& a, const CodeUse& b) {
    return a.line != b.line ? a.line < b.line : a.field < b.field;
  });
  return uses;
}

const Advance* AdvanceAt(Server* server, const Document& document, const Json& position,
                         CodeUse* use) {
  int32_t line = PositionLine(document, position);
  int32_t column = RecordColumn(*server, document, position);
  *use = {line, nullptr, NO_FIELD, {-1, -1}};
  if (!LoadDocument(server, document)) return nullptr;
  const LineRecord* record = RecordOn(*server, line);
  if (record == nullptr) return nullptr;
  use->record = record;
  int field = FieldAt(*record, column);
  if (field != NO_FIELD && IsCodeField(*record, field)) {
    use->field = field;
    std::string code = FieldCode(*record, field, &use->span);
    if (record->advance != nullptr && field == ADVANCE_CODE) return record->advance;
    return FindAdvance(code.c_str());
  }
  return record->advance;
}
