// The lifecycle: initialize with what the server offers and how the editor
// counts characters, shutdown, exit.
#include <string>

#include "lsp/Handlers.h"

#ifndef LORVANE_VERSION
#define LORVANE_VERSION "0"
#endif

Json Initialize(Server* server, const Json& params) {
  if (server->initialized) throw RequestError{ERROR_INVALID_REQUEST, "initialize came already"};
  if (!params.is_object()) throw RequestError{ERROR_INVALID_PARAMS, "initialize needs its params"};
  // The first encoding the editor offers that the server counts in; UTF-16
  // when it offers none.
  server->encoding = POSITIONS_UTF16;
  const char* chosen = "utf-16";
  Json general = params.value("capabilities", Json::object()).value("general", Json::object());
  for (const Json& offered : general.value("positionEncodings", Json::array())) {
    if (offered == "utf-8") server->encoding = POSITIONS_UTF8, chosen = "utf-8";
    if (offered == "utf-32") server->encoding = POSITIONS_UTF32, chosen = "utf-32";
    if (offered == "utf-8" || offered == "utf-16" || offered == "utf-32") break;
  }
  Json formats = params.value("capabilities", Json::object())
                     .value("textDocument", Json::object())
                     .value("hover", Json::object())
                     .value("contentFormat", Json::array());
  server->markdown = !formats.empty() && formats[0] == "markdown";
  // The game reads bytes: the editor's text goes to it as UTF-8, as the
  // editor saves it, unless the modder keeps the file in Windows-1252.
  Json options = params.value("initializationOptions", Json::object());
  server->windows1252 = options.is_object() && options.value("encoding", "") == "windows-1252";
  server->initialized = true;
  Json capabilities = {
      {"positionEncoding", chosen},
      {"textDocumentSync", {{"openClose", true}, {"change", 1}}},
      {"hoverProvider", true},
      {"definitionProvider", true},
      {"referencesProvider", true},
      {"renameProvider", {{"prepareProvider", true}}},
      {"documentSymbolProvider", true},
      {"completionProvider", {{"triggerCharacters", {",", " "}}}},
      {"codeActionProvider", {{"codeActionKinds", {"quickfix"}}}},
  };
  return {{"capabilities", std::move(capabilities)},
          {"serverInfo", {{"name", "lorvane-check"}, {"version", LORVANE_VERSION}}}};
}

void Initialized(Server*, const Json&) {}

Json Shutdown(Server* server, const Json&) {
  server->shutDown = true;
  return nullptr;
}

void Exit(Server* server, const Json&) { server->exited = true; }
