// The handlers of the methods the language server answers, one each: a
// request's returns its result (or throws a RequestError), a
// notification's returns nothing.
#pragma once
#include "lsp/Server.h"

// The lifecycle (lsp/Lifecycle.cpp).
Json Initialize(Server* server, const Json& params);
void Initialized(Server* server, const Json& params);
Json Shutdown(Server* server, const Json& params);
void Exit(Server* server, const Json& params);

// The documents' texts (lsp/Sync.cpp).
void DidOpen(Server* server, const Json& params);
void DidChange(Server* server, const Json& params);
void DidClose(Server* server, const Json& params);

// What a code names and where it is used (lsp/Navigate.cpp).
Json Hover(Server* server, const Json& params);
Json Definition(Server* server, const Json& params);
Json References(Server* server, const Json& params);

// A code renamed everywhere (lsp/Rename.cpp).
Json PrepareRename(Server* server, const Json& params);
Json Rename(Server* server, const Json& params);

// The outline and the codes offered (lsp/Outline.cpp).
Json DocumentSymbols(Server* server, const Json& params);
Json Completion(Server* server, const Json& params);

// The warnings' mendings (lsp/CodeActions.cpp).
Json CodeActions(Server* server, const Json& params);
