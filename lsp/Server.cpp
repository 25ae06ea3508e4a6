// The language server's loop and dispatch: each message read, checked as
// JSON-RPC 2.0, handed to its method's handler from the table, answered.
#include "lsp/Server.h"

#include <exception>
#include <new>
#include <string>

#include "lsp/Framing.h"
#include "lsp/Handlers.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

namespace {

// One method: its handler (a request's or a notification's), and whether
// it is taken before initialize.
struct MethodRow {
  const char* name;
  Json (*request)(Server* server, const Json& params);
  void (*notification)(Server* server, const Json& params);
  bool beforeInitialize;
};

const MethodRow Methods[] = {
    {"initialize", Initialize, nullptr, true},
    {"initialized", nullptr, Initialized, false},
    {"shutdown", Shutdown, nullptr, false},
    {"exit", nullptr, Exit, true},
    {"textDocument/didOpen", nullptr, DidOpen, false},
    {"textDocument/didChange", nullptr, DidChange, false},
    {"textDocument/didClose", nullptr, DidClose, false},
    {"textDocument/hover", Hover, nullptr, false},
    {"textDocument/definition", Definition, nullptr, false},
    {"textDocument/references", References, nullptr, false},
    {"textDocument/prepareRename", PrepareRename, nullptr, false},
    {"textDocument/rename", Rename, nullptr, false},
    {"textDocument/documentSymbol", DocumentSymbols, nullptr, false},
    {"textDocument/completion", Completion, nullptr, false},
    {"textDocument/codeAction", CodeActions, nullptr, false},
};

void Send(Server* server, const Json& message) {
  // Rules-file text is UTF-8 already; anything else is never sent broken.
  WriteMessage(server->out, message.dump(-1, ' ', false, Json::error_handler_t::replace));
}

void Reply(Server* server, const Json& id, Json result) {
  Send(server, {{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}});
}

void ReplyError(Server* server, const Json& id, int code, const std::string& message) {
  Send(server, {{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}});
}

const MethodRow* FindMethod(const std::string& name) {
  for (const MethodRow& row : Methods) {
    if (name == row.name) return &row;
  }
  return nullptr;
}

// Runs a handler; a wrong parameter or a failure becomes the request's
// error (a notification's is told in the editor's log).
void Dispatch(Server* server, const MethodRow& row, const Json& params, const Json* id) {
  int code = 0;
  std::string problem;
  try {
    if (row.request != nullptr) {
      Json result = row.request(server, params);
      return Reply(server, *id, std::move(result));
    }
    row.notification(server, params);
    return;
  } catch (const RequestError& error) {
    code = error.code;
    problem = error.message;
  } catch (const Json::exception& error) {
    code = ERROR_INVALID_PARAMS;
    problem = std::string("wrong parameters: ") + error.what();
  } catch (const std::bad_alloc&) {
    throw;  // memory that runs out ends the server, as any run of the checker
  } catch (const std::exception& error) {
    code = ERROR_INTERNAL;
    problem = std::string("cannot answer: ") + error.what();
  }
  if (id != nullptr) return ReplyError(server, *id, code, problem);
  Notify(server, "window/logMessage",
         {{"type", 1}, {"message", std::string(row.name) + ": " + problem}});
}

}  // namespace

void Notify(Server* server, const char* method, Json params) {
  Send(server, {{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}});
}

void HandleBadFrame(Server* server, const std::string& problem) {
  ReplyError(server, nullptr, ERROR_PARSE, "cannot read the message: " + problem);
}

void HandleMessage(Server* server, const std::string& body) {
  Json message = Json::parse(body, nullptr, false);
  if (message.is_discarded()) {
    return ReplyError(server, nullptr, ERROR_PARSE, "the message is not JSON");
  }
  // An id the request gives is answered, whatever else is wrong.
  const Json* id = nullptr;
  if (message.is_object() && message.contains("id")) {
    const Json& given = message["id"];
    if (given.is_string() || given.is_number_integer()) id = &given;
  }
  Json none = nullptr;
  if (!message.is_object() || message.value("jsonrpc", Json()) != "2.0" ||
      !message.contains("method") || !message["method"].is_string() ||
      (message.contains("id") && id == nullptr)) {
    // A response from the editor (to no request of ours) is passed over.
    if (message.is_object() && !message.contains("method") &&
        (message.contains("result") || message.contains("error"))) {
      return;
    }
    return ReplyError(server, id != nullptr ? *id : none, ERROR_INVALID_REQUEST,
                      "not a JSON-RPC 2.0 request or notification");
  }
  std::string name = message["method"].get<std::string>();
  const Json& params = message.contains("params") ? message["params"] : none;
  const MethodRow* row = FindMethod(name);
  bool request = id != nullptr;
  if (row == nullptr || (request ? row->request == nullptr : row->notification == nullptr)) {
    // Notifications the server does not know are passed over, as the
    // protocol asks.
    if (request) ReplyError(server, *id, ERROR_METHOD_NOT_FOUND, "no method " + name);
    return;
  }
  if (!server->initialized && !row->beforeInitialize) {
    if (request) ReplyError(server, *id, ERROR_NOT_INITIALIZED, "initialize comes first");
    return;
  }
  if (server->shutDown && request) {
    return ReplyError(server, *id, ERROR_INVALID_REQUEST, "the server is shut down");
  }
  Dispatch(server, *row, params, id);
}

int RunLanguageServer(FILE* in, FILE* out) {
#if defined(_WIN32)
  // Content-Length counts bytes: no line end may be translated.
  _setmode(_fileno(in), _O_BINARY);
  _setmode(_fileno(out), _O_BINARY);
#endif
  Server server = {};
  server.out = out;
  std::string body, problem;
  while (!server.exited) {
    FrameResult frame = ReadMessage(in, &body, &problem);
    if (frame == FRAME_END) break;
    if (frame == FRAME_BAD) {
      HandleBadFrame(&server, problem);
      continue;
    }
    HandleMessage(&server, body);
  }
  return server.shutDown ? 0 : 1;
}
