// Whether a rules file was saved as UTF-8: the reader hands every line it
// reads to a watch that follows the bytes as UTF-8 would have them. The
// game reads Windows-1252, where each such letter shows as two to four.
// The watch also keeps the lines where the reader dropped a carriage
// return inside the line.
#include "warnings/Encoding.h"

#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

#include "chart/Utf8Text.h"
#include "rules/Advance.h"
#include "rules/Reader.h"

namespace {

struct EncodingWatch {
  bool byteOrderMark;
  bool invalid;       // a byte that UTF-8 does not allow where it stands
  int32_t sequences;  // complete multi-byte sequences
  int32_t firstLine;  // the line of the first of them
  int pending;        // continuation bytes still expected
  unsigned char low;  // the range the next continuation byte must lie in
  unsigned char high;
  int32_t pendingLine;
};

EncodingWatch Watch;
std::vector<int32_t> CarriageLines;

// The continuation bytes a lead byte announces, and the range of the first
// of them (which keeps out overlong forms, surrogates and values past
// U+10FFFF); 0 for a byte that cannot lead.
int Announced(unsigned char lead, unsigned char* low, unsigned char* high) {
  *low = 0x80;
  *high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) return 1;
  if (lead >= 0xE0 && lead <= 0xEF) {
    if (lead == 0xE0) *low = 0xA0;
    if (lead == 0xED) *high = 0x9F;
    return 2;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    if (lead == 0xF0) *low = 0x90;
    if (lead == 0xF4) *high = 0x8F;
    return 3;
  }
  return 0;
}

void WatchLine(void*, const char* bytes, int length, int32_t lineNumber, bool carriageInside) {
  // A line longer than a read comes in pieces, each with its number.
  if (carriageInside && (CarriageLines.empty() || CarriageLines.back() != lineNumber)) {
    CarriageLines.push_back(lineNumber);
  }
  EncodingWatch& w = Watch;
  int start = 0;
  if (lineNumber == 1 && w.sequences == 0 && !w.invalid && length >= 3 &&
      memcmp(bytes, "\xEF\xBB\xBF", 3) == 0) {
    w.byteOrderMark = true;
    start = 3;
  }
  for (int i = start; i < length; ++i) {
    unsigned char byte = (unsigned char)bytes[i];
    if (w.pending > 0) {
      if (byte < w.low || byte > w.high) {
        w.invalid = true;
        w.pending = 0;
      } else {
        w.low = 0x80;
        w.high = 0xBF;
        if (--w.pending == 0 && w.sequences++ == 0) w.firstLine = w.pendingLine;
        continue;
      }
    }
    if (byte < 0x80) continue;
    w.pending = Announced(byte, &w.low, &w.high);
    w.pendingLine = lineNumber;
    if (w.pending == 0) w.invalid = true;
  }
}

// Whether the text is UTF-8 throughout.
bool ValidUtf8(const std::string& text) {
  for (size_t i = 0; i < text.size();) {
    unsigned char low, high;
    unsigned char lead = (unsigned char)text[i++];
    if (lead < 0x80) continue;
    size_t more = (size_t)Announced(lead, &low, &high);
    if (more == 0 || i + more > text.size()) return false;
    for (size_t end = i + more; i < end; ++i) {
      unsigned char byte = (unsigned char)text[i];
      if (byte < low || byte > high) return false;
      low = 0x80;
      high = 0xBF;
    }
  }
  return true;
}

// UTF-8 text as the Windows-1252 bytes that show it, "?" for a character
// the code page lacks: what the modder meant, in the warnings' own bytes.
std::string AsMeant(const std::string& utf8) {
  std::string bytes;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char lead = (unsigned char)utf8[i];
    unsigned char low, high;
    size_t length = lead < 0x80 ? 0 : (size_t)Announced(lead, &low, &high) + 1;
    if (lead < 0x80 || length == 1 || i + length > utf8.size()) {
      bytes += lead < 0x80 ? (char)lead : '?';
      ++i;
      continue;
    }
    std::string character = utf8.substr(i, length);
    i += length;
    char shown = '?';
    for (int b = 0x80; b <= 0xFF; ++b) {
      char out[UTF8_CHAR_MAX];
      int size = Cp1252ToUtf8((unsigned char)b, out);
      if (character == std::string(out, (size_t)size)) shown = (char)b;
    }
    bytes += shown;
  }
  return bytes;
}

// The number of characters in valid UTF-8 text.
size_t Utf8Length(const std::string& text) {
  size_t count = 0;
  for (unsigned char c : text) count += (c & 0xC0) != 0x80;
  return count;
}

bool HasHighByte(const std::string& text) {
  for (unsigned char c : text) {
    if (c >= 0x80) return true;
  }
  return false;
}

}  // namespace

void WatchEncoding() {
  Watch = EncodingWatch{false, false, 0, 0, 0, 0x80, 0xBF, 0};
  CarriageLines.clear();
  LineHookContext = nullptr;
  LineHook = WatchLine;
}

const std::vector<int32_t>& CarriageReturnLines() { return CarriageLines; }

bool FileIsUtf8() {
  return Watch.byteOrderMark || (Watch.sequences > 0 && !Watch.invalid && Watch.pending == 0);
}

int32_t Utf8Line() { return Watch.byteOrderMark ? 1 : Watch.firstLine; }

std::string Utf8Message(const std::string& exampleName) {
  std::string text = Watch.byteOrderMark
                         ? "The file is UTF-8 (it begins with a byte order mark)"
                         : "The file is UTF-8 (its letters outside ASCII are UTF-8 sequences)";
  text += "; the game reads Windows-1252, so ";
  // A file with a byte order mark may still hold Windows-1252 names.
  if (exampleName.empty() || !ValidUtf8(exampleName)) {
    return text + "each UTF-8 letter outside ASCII shows as two to four characters";
  }
  return text + "\"" + AsMeant(exampleName) + "\" shows as \"" + exampleName + "\"";
}

std::string Utf8CutMessage(const char* kind, const std::string& raw, const char* stored) {
  if (!FileIsUtf8() || !HasHighByte(raw) || !ValidUtf8(raw) || Utf8Length(raw) > NAME_SIZE - 1) {
    return std::string();
  }
  return std::string(kind) + " name \"" + AsMeant(raw) + "\" has " +
         std::to_string(Utf8Length(raw)) + " letters in UTF-8 but " + std::to_string(raw.size()) +
         " as the game reads them (Windows-1252), more than " + std::to_string((NAME_SIZE - 1)) +
         "; it is cut to \"" + stored + "\"";
}
