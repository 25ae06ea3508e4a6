// The benchmark's fatal end: a file that does not load makes every figure
// meaningless, so it prints the message and stops at once.
#include <stdio.h>
#include <stdlib.h>

#include "rules/Fatal.h"

void FatalStop(int exitCode) {
  fprintf(stderr, "Fatal Error (exit code %d): %s\n", exitCode, TextBuffer);
  abort();
}
