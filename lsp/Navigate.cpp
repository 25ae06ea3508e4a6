// What a code names and where it is used: hover, definition, references.
#include <string.h>

#include <string>
#include <vector>

#include "chart/ChartText.h"
#include "check/CheckRoute.h"
#include "lsp/Documents.h"
#include "lsp/Handlers.h"
#include "rules/Advance.h"
#include "rules/Lists.h"
#include "rules/Reader.h"
#include "rules/UnitType.h"

namespace {

// Rules-file text for the hover: Markdown's marks taken as they are.
std::string Text(const Server& server, const char* bytes) {
  std::string shown = Shown(bytes);
  if (!server.markdown) return shown;
  std::string escaped;
  for (char c : shown) {
    if (strchr("\\`*_{}[]<>()#+-.!|~", c) != nullptr && c != 0) escaped += '\\';
    escaped += c;
  }
  return escaped;
}

std::string NameList(const Server& server, const std::vector<const Advance*>& list) {
  std::string text;
  for (const Advance* a : list) {
    text += (text.empty() ? "" : ", ") + Text(server, a->name);
  }
  return text.empty() ? "none" : text;
}

// The advance's card: what the chart's box and its routes tell.
std::string Card(const Server& server, const Advance* a) {
  bool md = server.markdown;
  std::string bold = md ? "**" : "";
  std::string text = bold + Text(server, a->name) + bold + " [" + Text(server, a->code) + "]";
  if (a == &RootAdvance) return text + (md ? "  \n" : "\n") + "the root, which \"nil\" names";
  std::string feed = md ? "  \n" : "\n";
  text += feed + "epoch " + std::to_string(a->epoch) + " (" + Text(server, EpochName(a->epoch)) +
          "), category " + std::to_string(a->category) + " (" +
          Text(server, CategoryName(a->category)) + "), level " + std::to_string(a->level);
  std::vector<const Advance*> needs;
  std::string loose;
  const char* codes[2] = {a->prereqCode1, a->prereqCode2};
  const Advance* links[2] = {a->prereq1, a->prereq2};
  for (int i = 0; i < 2; ++i) {
    if (links[i] == nullptr) {
      loose += (loose.empty() ? "" : ", ") + std::string("\"") + Text(server, codes[i]) + "\"";
    } else if (links[i] != &RootAdvance) {
      needs.push_back(links[i]);
    }
  }
  text += feed + "needs: " + (needs.empty() && loose.empty() ? "nothing" : NameList(server, needs));
  if (!loose.empty()) text += (needs.empty() ? " (" : " and (") + loose + " name no advance)";
  std::vector<const Advance*> opens;
  for (int i = 0; i < a->childCount && i < MAX_DEPENDANTS; ++i) opens.push_back(a->children[i]);
  text += feed + "opens: " + NameList(server, opens);
  std::string units;
  int count = AdvanceUnitCount(a);
  for (int k = 0; k < count; ++k) {
    units += (units.empty() ? "" : ", ") + Text(server, a->units[k]->name);
  }
  text += feed + "units: " + (units.empty() ? "none" : units);
  size_t route = RouteOf({a}).size() - 1;
  text += feed + "route: " + std::to_string(route) + " advance" + (route == 1 ? "" : "s") +
          " to research first";
  return text;
}

Json Location(const Server& server, const Document& document, const Advance* advance) {
  int32_t line = advance->lineNumber - 1;
  const LineRecord* record = RecordOn(server, line);
  Json range = record != nullptr ? RangeOf(server, document, line, record->fields[0].start,
                                           TrimmedSpan(record->line->text, record->fields[0]).end)
                                 : LineRange(server, document, line);
  return {{"uri", document.uri}, {"range", std::move(range)}};
}

}  // namespace

Json Hover(Server* server, const Json& params) {
  Document* document = FindDocument(server, params);
  CodeUse use;
  const Advance* advance = AdvanceAt(server, *document, params.at("position"), &use);
  // A unit's line tells of its advance only on its codes.
  if (advance == nullptr || (use.record->unit != nullptr && use.field == NO_FIELD)) return nullptr;
  Json hover = {
      {"contents",
       {{"kind", server->markdown ? "markdown" : "plaintext"}, {"value", Card(*server, advance)}}}};
  if (use.field != NO_FIELD) {
    hover["range"] = RangeOf(*server, *document, use.line, use.span.start, use.span.end);
  }
  return hover;
}

Json Definition(Server* server, const Json& params) {
  Document* document = FindDocument(server, params);
  CodeUse use;
  const Advance* advance = AdvanceAt(server, *document, params.at("position"), &use);
  if (advance == nullptr || use.field == NO_FIELD || advance == &RootAdvance) return nullptr;
  return Location(*server, *document, advance);
}

Json References(Server* server, const Json& params) {
  Document* document = FindDocument(server, params);
  CodeUse use;
  const Advance* advance = AdvanceAt(server, *document, params.at("position"), &use);
  if (advance == nullptr) return nullptr;
  // The code the position holds, or the code of the advance's line.
  std::string code = use.field != NO_FIELD ? FieldCode(*use.record, use.field, &use.span)
                                           : std::string(advance->code);
  bool withOwn = params.value("context", Json::object()).value("includeDeclaration", false);
  Json list = Json::array();
  for (const CodeUse& found : CodeUses(*server, code, withOwn)) {
    list.push_back(
        {{"uri", document->uri},
         {"range", RangeOf(*server, *document, found.line, found.span.start, found.span.end)}});
  }
  return list;
}
