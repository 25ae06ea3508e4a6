// The documents' texts as the editor sends them, whole at each change, and
// their diagnostics published at once.
#include "lsp/Documents.h"
#include "lsp/Handlers.h"

void DidOpen(Server* server, const Json& params) {
  const Json& item = params.at("textDocument");
  std::string uri = item.at("uri").get<std::string>();
  Document& document = server->documents[uri];
  if (server->loaded == &document) server->loaded = nullptr;
  document.uri = uri;
  document.version = item.value("version", (int64_t)0);
  SetText(*server, &document, item.at("text").get<std::string>());
  CheckDocument(server, &document);
}

void DidChange(Server* server, const Json& params) {
  Document* document = FindDocument(server, params);
  const Json& changes = params.at("contentChanges");
  // Full sync: the last change holds the whole text.
  if (!changes.is_array() || changes.empty() || changes.back().contains("range")) {
    throw RequestError{ERROR_INVALID_PARAMS, "didChange needs the whole text"};
  }
  document->version = params.at("textDocument").value("version", document->version);
  SetText(*server, document, changes.back().at("text").get<std::string>());
  CheckDocument(server, document);
}

void DidClose(Server* server, const Json& params) {
  Document* document = FindDocument(server, params);
  std::string uri = document->uri;
  if (server->loaded == document) server->loaded = nullptr;
  server->documents.erase(uri);
  ClearDiagnostics(server, uri);
}
