// A code renamed everywhere the file uses it, as one edit; refused, with
// the reason, where the new code could not work in the game.
#include <string.h>

#include <string>

#include "graph/Link.h"
#include "lsp/Documents.h"
#include "lsp/Handlers.h"
#include "rules/Advance.h"

namespace {

// The advance whose code the position renames, and where that code stands
// under the position; a RequestError where nothing can be renamed.
const Advance* RenamedAdvance(Server* server, const Document& document, const Json& position,
                              CodeUse* use) {
  const Advance* advance = AdvanceAt(server, document, position, use);
  if (document.refused) {
    throw RequestError{ERROR_REQUEST_FAILED, "the file is refused; mend it first"};
  }
  if (use->record == nullptr || (use->field == NO_FIELD && use->record->advance == nullptr)) {
    throw RequestError{ERROR_REQUEST_FAILED, "there is no code here to rename"};
  }
  if (use->field == NO_FIELD) {
    use->field = ADVANCE_CODE;
    FieldCode(*use->record, ADVANCE_CODE, &use->span);
  }
  if (advance == nullptr) {
    FieldSpan span;
    throw RequestError{ERROR_REQUEST_FAILED,
                       "the code \"" + Shown(FieldCode(*use->record, use->field, &span).c_str()) +
                           "\" names no advance"};
  }
  if (advance == &RootAdvance) {
    throw RequestError{ERROR_REQUEST_FAILED, "\"nil\" names the root, which cannot be renamed"};
  }
  return advance;
}

// Why the new code cannot be, or empty when it can.
std::string WhyNot(const Server& server, const std::string& shown, const std::string& bytes,
                   const Advance* advance) {
  if (bytes.empty()) return "a code cannot be empty";
  if (bytes == "nil") return "\"nil\" always names the root";
  if (bytes.find(',') != std::string::npos)
    return "a code cannot hold a comma, which ends its field";
  for (char c : bytes) {
    if ((unsigned char)c < 0x20 || c == 0x7F) return "a code cannot hold a control character";
  }
  if (bytes.size() > CODE_SIZE - 1) {
    return "\"" + shown + "\" is longer than the " + std::to_string(CODE_SIZE - 1) +
           " characters the game reads" +
           (server.windows1252 ? "" : " (as UTF-8, the file's bytes)");
  }
  if (bytes.front() == ' ' || bytes.back() == ' ' || bytes.front() == '\t' ||
      bytes.back() == '\t') {
    return "a code cannot begin or end with a blank, which the game keeps";
  }
  const Advance* holder = FindAdvance(bytes.c_str());
  if (holder != nullptr && holder != advance) {
    return "\"" + shown + "\" is already the code of \"" + Shown(holder->name) + "\"";
  }
  return std::string();
}

}  // namespace

Json PrepareRename(Server* server, const Json& params) {
  Document* document = FindDocument(server, params);
  CodeUse use;
  const Advance* advance = RenamedAdvance(server, *document, params.at("position"), &use);
  return {{"range", RangeOf(*server, *document, use.line, use.span.start, use.span.end)},
          {"placeholder", Shown(advance->code)}};
}

Json Rename(Server* server, const Json& params) {
  Document* document = FindDocument(server, params);
  CodeUse use;
  const Advance* advance = RenamedAdvance(server, *document, params.at("position"), &use);
  std::string shown = params.at("newName").get<std::string>();
  // The code as the file will hold it: the editor's text as the game reads it.
  Document probe;
  SetText(*server, &probe, shown);
  std::string problem = WhyNot(*server, shown, probe.bytes, advance);
  if (!problem.empty()) {
    throw RequestError{ERROR_REQUEST_FAILED, "cannot rename to \"" + shown + "\": " + problem};
  }
  // The uses name the first advance of the code; a later one's code is
  // its own line's alone.
  std::string code = advance->code;
  bool named = FindAdvance(code.c_str()) == advance;
  Json edits = Json::array();
  for (const CodeUse& found : CodeUses(*server, code, true)) {
    bool own = found.record->advance != nullptr && found.field == ADVANCE_CODE;
    if (own ? found.record->advance != advance : !named) continue;
    edits.push_back(
        {{"range", RangeOf(*server, *document, found.line, found.span.start, found.span.end)},
         {"newText", shown}});
  }
  return {{"changes", {{document->uri, std::move(edits)}}}};
}
