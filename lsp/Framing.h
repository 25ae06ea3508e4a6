// The language server's messages on a stream: JSON-RPC bodies framed by
// headers, as the Language Server Protocol sends them.
#pragma once
#include <stddef.h>
#include <stdio.h>

#include <string>

// The largest body taken (64 MiB): a rules file is read up to 16 MiB, and
// its text escaped in JSON fits. A larger one is passed over unread.
enum { MESSAGE_LIMIT = 64 * 1024 * 1024 };
// The longest header line, and the most header lines of one message.
enum { HEADER_LINE_LIMIT = 1024, HEADER_COUNT_LIMIT = 16 };

enum FrameResult {
  FRAME_MESSAGE,  // a body was read
  FRAME_BAD,      // the headers or the body are wrong; problem says how
  FRAME_END       // the stream ended
};

// Reads the next message: header lines ("Name: value", each ended by CR LF
// or LF) up to an empty line, then the Content-Length bytes of the body.
// A header block without a Content-Length, with one that is no number or
// larger than MESSAGE_LIMIT, a line too long or too many lines is
// FRAME_BAD, its body (where its length is known) passed over, so that
// the next message is read from its start; nothing is read into memory
// beyond the limits.
FrameResult ReadMessage(FILE* in, std::string* body, std::string* problem);

// Writes one body with its Content-Length header and flushes; false when
// the stream cannot take it.
bool WriteMessage(FILE* out, const std::string& body);
