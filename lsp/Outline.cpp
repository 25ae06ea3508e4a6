// The outline of the file (its advances and units, by section) and the
// codes offered in a code's field.
#include <stdio.h>

#include <string>

#include "graph/Link.h"
#include "lsp/Documents.h"
#include "lsp/Handlers.h"
#include "rules/Advance.h"
#include "rules/Reader.h"
#include "rules/UnitType.h"

namespace {

// The protocol's symbol and completion kinds.
enum { SYMBOL_NAMESPACE = 3, SYMBOL_CLASS = 5, SYMBOL_OBJECT = 19, COMPLETION_REFERENCE = 18 };

Json Symbol(const Server& server, const Document& document, const LineRecord& record, int32_t line,
            const std::string& name, const std::string& detail, int kind) {
  FieldSpan span = TrimmedSpan(record.line->text, record.fields[0]);
  return {{"name", name.empty() ? std::string("(no name)") : name},
          {"detail", detail},
          {"kind", kind},
          {"range", LineRange(server, document, line)},
          {"selectionRange", RangeOf(server, document, line, span.start, span.end)}};
}

// A section's symbol around its records' symbols, from the first to the last.
void AddSection(const char* name, Json children, Json* list) {
  if (children.empty()) return;
  Json range = {{"start", children.front()["range"]["start"]},
                {"end", children.back()["range"]["end"]}};
  list->push_back({{"name", name},
                   {"kind", SYMBOL_NAMESPACE},
                   {"range", range},
                   {"selectionRange", children.front()["range"]},
                   {"children", std::move(children)}});
}

}  // namespace

Json DocumentSymbols(Server* server, const Json& params) {
  Document* document = FindDocument(server, params);
  Json list = Json::array();
  if (!LoadDocument(server, *document)) return list;
  Json advances = Json::array(), units = Json::array();
  for (const TextLine* line = &AdvanceLines; line->text[0] != 0; line = line->next) {
    const LineRecord* r = RecordOn(*server, line->lineNumber - 1);
    if (r == nullptr || r->line != line || r->advance == nullptr) continue;
    const Advance* a = r->advance;
    advances.push_back(Symbol(*server, *document, *r, line->lineNumber - 1, Shown(a->name),
                              Shown(a->code) + ", level " + std::to_string(a->level),
                              SYMBOL_CLASS));
  }
  for (const TextLine* line = &UnitLines; line->text[0] != 0; line = line->next) {
    const LineRecord* r = RecordOn(*server, line->lineNumber - 1);
    if (r == nullptr || r->line != line || r->unit == nullptr) continue;
    const UnitType* u = r->unit;
    std::string detail = Shown(u->prereqCode);
    if (u->prereq != nullptr) detail += " (" + Shown(u->prereq->name) + ")";
    units.push_back(Symbol(*server, *document, *r, line->lineNumber - 1, Shown(u->name), detail,
                           SYMBOL_OBJECT));
  }
  AddSection("@CIVILIZE", std::move(advances), &list);
  AddSection("@UNITS", std::move(units), &list);
  return list;
}

Json Completion(Server* server, const Json& params) {
  Document* document = FindDocument(server, params);
  const Json& position = params.at("position");
  int32_t line = PositionLine(*document, position);
  int32_t column = RecordColumn(*server, *document, position);
  Json items = Json::array();
  if (!LoadDocument(server, *document)) return items;
  const LineRecord* record = RecordOn(*server, line);
  int field = record != nullptr ? FieldAt(*record, column) : NO_FIELD;
  // Codes go where a code names an advance, not in an advance's own code.
  if (field == NO_FIELD || !IsCodeField(*record, field) ||
      (record->advance != nullptr && field == ADVANCE_CODE)) {
    return items;
  }
  // The field's text is replaced whole by the code chosen.
  FieldSpan span = TrimmedSpan(record->line->text, record->fields[field]);
  Json range = RangeOf(*server, *document, line, span.start, span.end);
  int order = 0;
  for (const Advance* a = &RootAdvance; a->name[0] != 0; a = a->next, ++order) {
    if (a != &RootAdvance && FindAdvance(a->code) != a) continue;
    std::string code = Shown(a->code);
    char sort[16];
    snprintf(sort, sizeof sort, "%08d", order);
    items.push_back({{"label", code},
                     {"kind", COMPLETION_REFERENCE},
                     {"detail", Shown(a->name)},
                     {"sortText", sort},
                     {"filterText", code},
                     {"textEdit", {{"range", range}, {"newText", code}}}});
  }
  return {{"isIncomplete", false}, {"items", std::move(items)}};
}
