// The web page's end of the fatal boundary, which no refusal reaches:
// every entry point (web/WebPage.cpp) runs under RunCatchingFatal, which
// brings a refusal back to it.
#include <stdlib.h>

#include "rules/Fatal.h"

[[noreturn]] void FatalStop(int) { abort(); }
