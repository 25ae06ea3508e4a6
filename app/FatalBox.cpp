// The viewer's end of every fatal failure: the message in TextBuffer in a
// box without an owner window, then the end of the process.
#include <windows.h>

#include "rules/Fatal.h"

void FatalStop(int exitCode) {
  MessageBoxA(nullptr, TextBuffer, "Fatal Error", MB_OK);
  ExitProcess((UINT)exitCode);
}
