// The language server's fuzz target: any bytes as its input stream, framed,
// parsed and dispatched as lorvane-check --lsp takes them. Every answer must
// be a framed JSON-RPC 2.0 message, and nothing may crash or hang.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <nlohmann/json.hpp>
#include <string>

#include "load/LoadRules.h"
#include "lsp/Framing.h"
#include "lsp/Server.h"
#include "rules/Fatal.h"

namespace {

void Require(bool ok, const char* what) {
  if (ok) return;
  fprintf(stderr, "lsp fuzz: %s\n", what);
  abort();
}

}  // namespace

// A fatal message outside a caught load is a fault here.
void FatalStop(int) { Require(false, "a fatal message escaped the server"); }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // fmemopen refuses an empty buffer on some C libraries.
  FILE* in = size > 0 ? fmemopen(const_cast<uint8_t*>(data), size, "rb") : nullptr;
  if (in == nullptr) return 0;
  char* written = nullptr;
  size_t writtenSize = 0;
  FILE* out = open_memstream(&written, &writtenSize);
  RunLanguageServer(in, out);
  fclose(in);
  fclose(out);
  // What the server wrote reads back as messages of JSON-RPC 2.0.
  FILE* answers = writtenSize > 0 ? fmemopen(written, writtenSize, "rb") : nullptr;
  std::string body, problem;
  while (answers != nullptr && ReadMessage(answers, &body, &problem) != FRAME_END) {
    Require(problem.empty(), "the server wrote a broken frame");
    nlohmann::json message = nlohmann::json::parse(body, nullptr, false);
    Require(message.is_object() && message["jsonrpc"] == "2.0", "the server wrote no JSON-RPC");
  }
  if (answers != nullptr) fclose(answers);
  free(written);
  ResetRules();
  return 0;
}
