// The fatal-error boundary shared by every program built on the core.
#include "rules/Fatal.h"

#include <stdarg.h>
#include <stdio.h>

int32_t FatalLine;

void Fatal(int exitCode, const char* format, ...) {
  va_list args;
  va_start(args, format);
  // vsnprintf never writes past the buffer and always ends the text.
  vsnprintf(TextBuffer, sizeof TextBuffer, format, args);
  va_end(args);
  FatalStop(exitCode);
}
