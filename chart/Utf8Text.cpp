// Rules-file bytes as UTF-8, and as escaped XML text.
#include "chart/Utf8Text.h"

#include <stdint.h>

namespace {

const uint16_t REPLACEMENT = 0xFFFD;

// 0x80 to 0x9F; the rest of the upper half is Latin-1.
const uint16_t Cp1252C1[32] = {
    0x20AC,      REPLACEMENT, 0x201A, 0x0192, 0x201E, 0x2026,      0x2020, 0x2021,
    0x02C6,      0x2030,      0x0160, 0x2039, 0x0152, REPLACEMENT, 0x017D, REPLACEMENT,
    REPLACEMENT, 0x2018,      0x2019, 0x201C, 0x201D, 0x2022,      0x2013, 0x2014,
    0x02DC,      0x2122,      0x0161, 0x203A, 0x0153, REPLACEMENT, 0x017E, 0x0178};

// Printable ASCII other than the five that XML escapes stands for itself.
bool Plain(unsigned char c) {
  return c >= 0x20 && c < 0x7F && c != '&' && c != '<' && c != '>' && c != '"' && c != '\'';
}

// The character reference of the five that XML escapes; null for the rest.
const char* Reference(unsigned char c) {
  switch (c) {
    case '&':
      return "&amp;";
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    case '"':
      return "&quot;";
    case '\'':
      return "&#39;";
    default:
      return nullptr;
  }
}

}  // namespace

int Cp1252ToUtf8(unsigned char byte, char out[UTF8_CHAR_MAX]) {
  unsigned code = byte;
  if (byte < 0x20 || byte == 0x7F) {
    code = REPLACEMENT;
  } else if (byte >= 0x80 && byte < 0xA0) {
    code = Cp1252C1[byte - 0x80];
  }
  if (code < 0x80) {
    out[0] = (char)code;
    return 1;
  }
  if (code < 0x800) {
    out[0] = (char)(0xC0 | (code >> 6));
    out[1] = (char)(0x80 | (code & 0x3F));
    return 2;
  }
  out[0] = (char)(0xE0 | (code >> 12));
  out[1] = (char)(0x80 | ((code >> 6) & 0x3F));
  out[2] = (char)(0x80 | (code & 0x3F));
  return 3;
}

void AppendUtf8(std::string* out, const char* text) {
  char utf8[UTF8_CHAR_MAX];
  for (const unsigned char* p = (const unsigned char*)text; *p != 0; ++p) {
    out->append(utf8, (size_t)Cp1252ToUtf8(*p, utf8));
  }
}

void AppendXmlText(std::string* out, const char* text) {
  const unsigned char* p = (const unsigned char*)text;
  for (;;) {
    const unsigned char* run = p;
    while (Plain(*p)) ++p;
    out->append((const char*)run, (size_t)(p - run));
    if (*p == 0) return;
    const char* reference = Reference(*p);
    if (reference != nullptr) {
      *out += reference;
    } else {
      char utf8[UTF8_CHAR_MAX];
      out->append(utf8, (size_t)Cp1252ToUtf8(*p, utf8));
    }
    ++p;
  }
}

void AppendXmlUtf8(std::string* out, const std::string& text) {
  for (char c : text) {
    const char* reference = Reference((unsigned char)c);
    if (reference != nullptr) {
      *out += reference;
    } else {
      *out += c;
    }
  }
}
