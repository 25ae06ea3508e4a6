// The warnings' mendings as quick fixes: the code a "did you mean" names,
// a name or code without its blank, an indented comment made a comment.
#include <string>

#include "lsp/Documents.h"
#include "lsp/Handlers.h"

namespace {

bool Before(const Json& a, const Json& b) {
  return a["line"] < b["line"] || (a["line"] == b["line"] && a["character"] < b["character"]);
}

bool Overlaps(const Json& a, const Json& b) {
  return !Before(a["end"], b["start"]) && !Before(b["end"], a["start"]);
}

}  // namespace

Json CodeActions(Server* server, const Json& params) {
  Document* document = FindDocument(server, params);
  const Json& range = params.at("range");
  PositionLine(*document, range.at("start"));
  PositionLine(*document, range.at("end"));
  Json actions = Json::array();
  // The document's own diagnostics, as last published for this text.
  for (const Published& p : document->diagnostics) {
    if (!p.mended || !Overlaps(p.diagnostic["range"], range)) continue;
    std::string title = p.diagnostic["code"] == "indented-comment"
                            ? std::string("Make the line a comment")
                            : "Change to \"" + p.text + "\"";
    actions.push_back(
        {{"title", title},
         {"kind", "quickfix"},
         {"diagnostics", {p.diagnostic}},
         {"isPreferred", true},
         {"edit", {{"changes", {{document->uri, {{{"range", p.range}, {"newText", p.text}}}}}}}}});
  }
  return actions;
}
