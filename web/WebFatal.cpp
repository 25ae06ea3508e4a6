// The web page's end of the fatal boundary: a refusal unwinds back to the
// entry point that JavaScript called (web/WebPage.cpp), which says it.
#include "web/WebFatal.h"

#include "rules/Fatal.h"

[[noreturn]] void FatalStop(int exitCode) { throw WebRefusal{exitCode}; }
