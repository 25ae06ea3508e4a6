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

std::string ShownArgument(const char* argument) {
  std::string shown;
  for (const unsigned char* p = (const unsigned char*)argument; *p != 0; ++p) {
#ifdef _WIN32
    bool c1 = false;  // the ANSI code page's 0x80 to 0x9F are letters and signs
#else
    // U+0080 to U+009F, the C1 controls, in UTF-8.
    bool c1 = p[0] == 0xC2 && p[1] >= 0x80 && p[1] < 0xA0;
#endif
    if (*p < 0x20 || *p == 0x7F || c1) {
      shown += "\xEF\xBF\xBD";
      p += c1 ? 1 : 0;
    } else {
      shown += (char)*p;
    }
  }
  return shown;
}

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
