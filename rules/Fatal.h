// The one way a load or platform failure ends the program.
#pragma once
#include <stdint.h>

#include "rules/TextBuffer.h"

// The rules file's line that the fatal message is about, counted from 1;
// 0 when no one line is at fault. Set just before Fatal by the code that
// knows the line, back to 0 when the reader is reset.
extern int32_t FatalLine;

// What a fatal message is about: each refusal of the rules file has its
// own, which the checker's diagnostics name (warnings/Kinds.cpp), and the
// viewer's platform failures share the last.
enum Refusal {
  REFUSED_NOT_FOUND,
  REFUSED_FILE_TOO_LONG,
  REFUSED_NO_SECTION,
  REFUSED_SECTION_UNENDED,
  REFUSED_MISSING_DELIMITER,
  REFUSED_MISSING_NAME,
  REFUSED_CODE_TOO_LONG,
  REFUSED_TOO_MANY_UNITS,
  REFUSED_TOO_MANY_DEPENDANTS,
  REFUSED_CYCLE,
  REFUSED_TOO_MANY_LEVELS,
  REFUSED_MEMORY,
  REFUSED_CHART_TOO_LARGE,
  REFUSED_FONT,
  REFUSED_PLATFORM,
  REFUSAL_COUNT
};

// The refusal of the last fatal message.
extern Refusal FatalRefusal;

// Formats the message into TextBuffer, cut to fit, notes what it is about
// in FatalRefusal and ends the program through FatalStop, or returns to
// RunCatchingFatal when one runs.
[[noreturn]] void Fatal(int exitCode, Refusal refusal, const char* format, ...);

// Runs the action; a fatal message during it comes back here instead of
// ending the program: false, with its exit code, TextBuffer, FatalLine and
// FatalRefusal telling what it was. For a program that goes on after a
// refused load (the language server, the SARIF log). Not nested. Memory
// that runs out (REFUSED_MEMORY) is thrown on as std::bad_alloc.
bool RunCatchingFatal(void (*action)(void* context), void* context, int* exitCode);

// Shows or prints TextBuffer and ends the program with the exit code.
// Every program supplies its own: the viewer shows the "Fatal Error" box,
// the checker writes to standard error, tests and the fuzzer throw.
[[noreturn]] void FatalStop(int exitCode);
