// The fatal-error boundary shared by every program built on the core.
#include "rules/Fatal.h"

#include <stdarg.h>
#include <stdio.h>

#include <new>

int32_t FatalLine;
Refusal FatalRefusal;

namespace {

// What RunCatchingFatal catches: it unwinds only through the load's own
// code, never across a platform boundary.
struct CaughtFatal {
  int exitCode;
};

bool Catching = false;

}  // namespace

void Fatal(int exitCode, Refusal refusal, const char* format, ...) {
  va_list args;
  va_start(args, format);
  // vsnprintf never writes past the buffer and always ends the text.
  vsnprintf(TextBuffer, sizeof TextBuffer, format, args);
  va_end(args);
  FatalRefusal = refusal;
  if (Catching) {
    // Memory that runs out is no refusal of the file: a run that catches
    // refusals meets it as the C++ library's own failure.
    if (refusal == REFUSED_MEMORY) throw std::bad_alloc();
    throw CaughtFatal{exitCode};
  }
  FatalStop(exitCode);
}

bool RunCatchingFatal(void (*action)(void* context), void* context, int* exitCode) {
  Catching = true;
  try {
    action(context);
  } catch (const CaughtFatal& fatal) {
    Catching = false;
    *exitCode = fatal.exitCode;
    return false;
  } catch (...) {
    Catching = false;
    throw;
  }
  Catching = false;
  return true;
}
