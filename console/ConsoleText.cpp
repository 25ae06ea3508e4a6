// Rules-file text and arguments made safe and readable for a terminal.
#include "console/ConsoleText.h"

#include <stdlib.h>

#include "chart/Utf8Text.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

#ifdef _WIN32
UINT ConsoleCodePage;

void RestoreConsole() { SetConsoleOutputCP(ConsoleCodePage); }
#endif

// True when the bytes are well-formed UTF-8 (no overlong forms, no
// surrogates, nothing past U+10FFFF).
bool IsUtf8(const unsigned char* s) {
  while (*s != 0) {
    int more = *s < 0x80                  ? 0
               : *s >= 0xC2 && *s <= 0xDF ? 1
               : *s >= 0xE0 && *s <= 0xEF ? 2
               : *s >= 0xF0 && *s <= 0xF4 ? 3
                                          : -1;
    if (more < 0) return false;
    unsigned lead = *s++;
    for (int k = 0; k < more; ++k, ++s) {
      bool low = k == 0 && ((lead == 0xE0 && *s < 0xA0) || (lead == 0xF0 && *s < 0x90));
      bool high = k == 0 && ((lead == 0xED && *s > 0x9F) || (lead == 0xF4 && *s > 0x8F));
      if ((*s & 0xC0) != 0x80 || low || high) return false;
    }
  }
  return true;
}

// The length of the character at p, well-formed UTF-8, when it is one
// that must not reach the output: a C1 control, or a bidirectional control
// (Unicode's Bidi_Control) unless they are kept; else 0.
int Unwanted(const unsigned char* p, bool keepBidi) {
  if (p[0] == 0xC2 && p[1] < 0xA0) return 2;  // U+0080 to U+009F
  if (keepBidi) return 0;
  if (p[0] == 0xD8 && p[1] == 0x9C) return 2;  // U+061C
  if (p[0] != 0xE2) return 0;
  bool marks = p[1] == 0x80 && (p[2] == 0x8E || p[2] == 0x8F);     // U+200E, U+200F
  bool embeddings = p[1] == 0x80 && p[2] >= 0xAA && p[2] <= 0xAE;  // U+202A..U+202E
  bool isolates = p[1] == 0x81 && p[2] >= 0xA6 && p[2] <= 0xA9;    // U+2066..U+2069
  return marks || embeddings || isolates ? 3 : 0;
}

// Text as every output shows it (ConsoleText.h).
std::string Cleaned(const std::string& text, bool keepBidi) {
  std::string shown;
  const unsigned char* p = (const unsigned char*)text.c_str();
  if (!IsUtf8(p)) {
    AppendUtf8(&shown, text.c_str());
    return shown;
  }
  while (*p != 0) {
    int unwanted = Unwanted(p, keepBidi);
    if (*p < 0x20 || *p == 0x7F || unwanted > 0) {
      shown += "\xEF\xBF\xBD";
      p += unwanted > 0 ? unwanted : 1;
    } else {
      shown += (char)*p++;
    }
  }
  return shown;
}

}  // namespace

void SetUpConsole() {
#ifdef _WIN32
  // The console's own code page cannot show every character of a name;
  // it is set back when the checker ends.
  DWORD mode;
  if (GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) ||
      GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode)) {
    ConsoleCodePage = GetConsoleOutputCP();
    if (ConsoleCodePage != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) atexit(RestoreConsole);
  }
#endif
}

std::string ShownText(const char* rulesText) {
  std::string shown;
  AppendUtf8(&shown, rulesText);
  return shown;
}

std::string ShownUtf8(const std::string& text) { return Cleaned(text, false); }

std::string ShownArgument(const char* argument) { return Cleaned(ArgumentUtf8(argument), false); }

std::string IsolatedArgument(const char* argument) { return Cleaned(ArgumentUtf8(argument), true); }

std::string ArgumentUtf8(const char* argument) {
#ifdef _WIN32
  int wide = MultiByteToWideChar(CP_ACP, 0, argument, -1, nullptr, 0);
  if (wide <= 0) return argument;
  std::wstring text((size_t)wide, L'\0');
  MultiByteToWideChar(CP_ACP, 0, argument, -1, &text[0], wide);
  int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return argument;
  std::string utf8((size_t)length, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &utf8[0], length, nullptr, nullptr);
  utf8.resize((size_t)length - 1);
  return utf8;
#else
  return argument;
#endif
}

void PutShown(const char* rulesText, FILE* stream) {
  std::string shown = ShownText(rulesText);
  fwrite(shown.data(), 1, shown.size(), stream);
}
