// The checker's end of the fatal boundary: the viewer's message on standard
// error, worded as the run asks.
#include "check/CheckFatal.h"

#include <stdio.h>
#include <stdlib.h>

#include <exception>
#include <new>
#include <string>

#include "check/ExitCodes.h"
#include "console/ConsoleText.h"
#include "rules/Fatal.h"
#include "save/SaveFile.h"
#include "warnings/Diagnostics.h"

namespace {

const FatalWording NoWording = {"", false, false, true};
const FatalWording* Wording = &NoWording;

}  // namespace

void UseFatalWording(const FatalWording* wording) { Wording = wording; }

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
// text to standard error. In the text report, a message about one line of
// the file comes in the form editors read: FILE:LINE: error: MESSAGE. With
// --diff, which loads two files, every refusal names its file so.
void PrintFatalMessage() {
  const FatalWording& w = *Wording;
  fflush(stdout);
  // A refused cycle: the loop itself after the viewer's message.
  std::string message =
      w.opening ? ShownArgument(TextBuffer) : ShownText(RefusalDiagnostic().message.c_str());
  if ((!w.json || w.namingFile) && FatalLine > 0) {
    fprintf(stderr, "%s:%ld: error: ", ShownArgument(w.path).c_str(), (long)FatalLine);
  } else if (w.namingFile) {
    fprintf(stderr, "%s: error: ", ShownArgument(w.path).c_str());
  }
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
