// The messages' framing: headers read line by line within their limits,
// the body read to its length, a body over the limit skipped in blocks.
#include "lsp/Framing.h"

#include <stdlib.h>
#include <string.h>

#include <string>

namespace {

// One header line without its line end, at most HEADER_LINE_LIMIT bytes;
// the rest of a longer line is read and dropped. False at the end of the
// stream before any byte.
bool ReadHeaderLine(FILE* in, std::string* line, bool* tooLong) {
  line->clear();
  *tooLong = false;
  int c;
  bool any = false;
  while ((c = getc(in)) != EOF) {
    any = true;
    if (c == '\n') break;
    if (line->size() < HEADER_LINE_LIMIT) {
      line->push_back((char)c);
    } else {
      *tooLong = true;
    }
  }
  if (!line->empty() && line->back() == '\r') line->pop_back();
  // What a body shorter than its Content-Length leaves before the next
  // message's header is dropped, so that the next message is read whole.
  size_t header = line->find("Content-Length:");
  if (header != std::string::npos && header > 0) line->erase(0, header);
  return any;
}

bool SameLetters(const std::string& a, const char* b) {
  if (a.size() != strlen(b)) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i] >= 'A' && a[i] <= 'Z' ? (char)(a[i] - 'A' + 'a') : a[i];
    char y = b[i] >= 'A' && b[i] <= 'Z' ? (char)(b[i] - 'A' + 'a') : b[i];
    if (x != y) return false;
  }
  return true;
}

// A decimal length: digits only, at most one more than the limit's.
bool ReadLength(const std::string& text, size_t* length) {
  size_t start = text.find_first_not_of(" \t");
  size_t end = text.find_last_not_of(" \t");
  if (start == std::string::npos) return false;
  std::string digits = text.substr(start, end - start + 1);
  if (digits.empty() || digits.size() > 12 ||
      digits.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  *length = (size_t)strtoull(digits.c_str(), nullptr, 10);
  return true;
}

// Reads and drops count bytes; false when the stream ends first.
bool Skip(FILE* in, size_t count) {
  char block[4096];
  while (count > 0) {
    size_t want = count < sizeof block ? count : sizeof block;
    size_t got = fread(block, 1, want, in);
    if (got == 0) return false;
    count -= got;
  }
  return true;
}

}  // namespace

FrameResult ReadMessage(FILE* in, std::string* body, std::string* problem) {
  std::string line;
  bool tooLong = false;
  bool haveLength = false;
  size_t length = 0;
  int lines = 0;
  problem->clear();
  // Blank lines between messages are passed over.
  do {
    if (!ReadHeaderLine(in, &line, &tooLong)) return FRAME_END;
  } while (line.empty() && !tooLong);
  for (;;) {
    if (tooLong) {
      *problem = "a header line is longer than " + std::to_string(HEADER_LINE_LIMIT) + " bytes";
    } else if (++lines > HEADER_COUNT_LIMIT) {
      *problem = "more than " + std::to_string(HEADER_COUNT_LIMIT) + " header lines";
    } else {
      size_t colon = line.find(':');
      if (colon == std::string::npos) {
        *problem = "a header line without \":\"";
      } else if (SameLetters(line.substr(0, colon), "Content-Length")) {
        if (haveLength || !ReadLength(line.substr(colon + 1), &length)) {
          *problem =
              haveLength ? "two Content-Length headers" : "a Content-Length that is no length";
        }
        haveLength = true;
      }
    }
    // Once wrong, the block is read to its end, within the limits, and dropped.
    if (!problem->empty()) {
      while (!line.empty() || tooLong) {
        if (!ReadHeaderLine(in, &line, &tooLong)) return FRAME_BAD;
        if (++lines > 4 * HEADER_COUNT_LIMIT) return FRAME_BAD;
      }
      return FRAME_BAD;
    }
    if (!ReadHeaderLine(in, &line, &tooLong)) {
      *problem = "the stream ends within the headers";
      return FRAME_BAD;
    }
    if (line.empty() && !tooLong) break;
  }
  if (!haveLength) {
    *problem = "a message without a Content-Length header";
    return FRAME_BAD;
  }
  if (length > MESSAGE_LIMIT) {
    *problem = "a message of " + std::to_string(length) + " bytes, more than the " +
               std::to_string(MESSAGE_LIMIT) + " taken";
    Skip(in, length);
    return FRAME_BAD;
  }
  body->resize(length);
  size_t got = length > 0 ? fread(&(*body)[0], 1, length, in) : 0;
  if (got != length) {
    body->resize(got);
    *problem = "the stream ends within a message's body";
    return FRAME_BAD;
  }
  return FRAME_MESSAGE;
}

bool WriteMessage(FILE* out, const std::string& body) {
  std::string header = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  return fwrite(header.data(), 1, header.size(), out) == header.size() &&
         fwrite(body.data(), 1, body.size(), out) == body.size() && fflush(out) == 0;
}
