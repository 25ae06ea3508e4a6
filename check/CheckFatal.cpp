// The checker's end of the fatal boundary: the viewer's message on standard
// error, worded as the run asks (check/CheckWording.cpp); out of memory.
#include "check/CheckFatal.h"

#include <stdio.h>
#include <stdlib.h>

#include <exception>
#include <new>
#include <string>

#include "check/ExitCodes.h"
#include "rules/Fatal.h"
#include "save/SaveFile.h"

int OutOfMemory() {
  // What was written so far goes out; nothing here asks for memory.
  AbandonSave();
  fflush(stdout);
  fputs("lorvane-check: out of memory\n", stderr);
  return EXIT_NO_MEMORY;
}

namespace {

[[noreturn]] void Terminate() {
  std::exception_ptr failure = std::current_exception();
  try {
    if (failure) std::rethrow_exception(failure);
  } catch (const std::bad_alloc&) {
    _Exit(OutOfMemory());
  } catch (...) {
  }
  abort();
}

}  // namespace

void EndTerminateAsOutOfMemory() { std::set_terminate(Terminate); }

// The viewer shows its fatal message in a box; the checker prints the same
// text to standard error.
void PrintFatalMessage() {
  fflush(stdout);
  std::string message = WordedFatal();
  fputs(message.c_str(), stderr);
  fputc('\n', stderr);
  fflush(stderr);
}

[[noreturn]] void FatalStop(int exitCode) {
  // An export made as it is written may be half made: its files go.
  AbandonSave();
  // The viewer's "Not enough memory" box is the checker's own message.
  if (FatalRefusal == REFUSED_MEMORY) exit(OutOfMemory());
  PrintFatalMessage();
  exit(exitCode);
}
