// The checker's end of the fatal boundary: the viewer's message on standard
// error, worded as the run asks (check/CheckWording.cpp).
#include "check/CheckFatal.h"

#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "rules/Fatal.h"

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
  PrintFatalMessage();
  exit(exitCode);
}
