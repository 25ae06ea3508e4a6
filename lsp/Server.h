// The language server: its state, the documents the editor has open, and
// what every handler of a method shares.
#pragma once
#include <stdint.h>
#include <stdio.h>

#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <unordered_map>
#include <vector>

#include "warnings/Fields.h"

typedef nlohmann::json Json;

struct Advance;
struct UnitType;
struct TextLine;

// How the editor counts a line's characters in positions.
enum PositionEncoding { POSITIONS_UTF16, POSITIONS_UTF8, POSITIONS_UTF32 };

// A diagnostic as published, with the edit that mends its line, if any.
struct Published {
  Json diagnostic;
  bool mended;
  Json range;
  std::string text;
};

// One document the editor has open: its text as the editor holds it (UTF-8),
// and the bytes the game would read from it.
struct Document {
  std::string uri;
  int64_t version;
  std::string text;
  std::vector<size_t> lineStarts;  // where each line begins in text
  std::string bytes;
  bool refused;
  std::vector<Published> diagnostics;
};

// A line of the loaded document that holds a record, with its fields.
struct LineRecord {
  const TextLine* line;
  const Advance* advance;  // one of the two
  const UnitType* unit;
  FieldSpan fields[FIELD_MAX];
};

struct Server {
  FILE* out;
  bool initialized;
  bool shutDown;
  bool exited;
  PositionEncoding encoding;
  bool windows1252;  // the editor's text saved as Windows-1252, not UTF-8
  bool markdown;     // hovers as Markdown
  std::map<std::string, Document> documents;
  // The document whose rules are loaded now, and its records by line.
  const Document* loaded;
  std::unordered_map<int32_t, LineRecord> records;
};

// A request that cannot be answered: its JSON-RPC error code and message,
// thrown by a handler and answered by the dispatch.
struct RequestError {
  int code;
  std::string message;
};

// JSON-RPC's and the protocol's error codes.
enum {
  ERROR_PARSE = -32700,
  ERROR_INVALID_REQUEST = -32600,
  ERROR_METHOD_NOT_FOUND = -32601,
  ERROR_INVALID_PARAMS = -32602,
  ERROR_INTERNAL = -32603,
  ERROR_NOT_INITIALIZED = -32002,
  ERROR_REQUEST_FAILED = -32803
};

// Sends a notification.
void Notify(Server* server, const char* method, Json params);

// Takes one message's body, as the stream framed it, and answers it.
void HandleMessage(Server* server, const std::string& body);
// Answers a message that could not be framed.
void HandleBadFrame(Server* server, const std::string& problem);

// Serves the editor on the two streams until it says exit or the input
// ends; returns the exit code: 0 after shutdown, else 1.
int RunLanguageServer(FILE* in, FILE* out);
