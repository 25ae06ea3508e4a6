// The one way a load or platform failure ends the program.
#pragma once
#include <stdint.h>

#include "rules/TextBuffer.h"

// The rules file's line that the fatal message is about, counted from 1;
// 0 when no one line is at fault. Set just before Fatal by the code that
// knows the line, back to 0 when the reader is reset.
extern int32_t FatalLine;

// Formats the message into TextBuffer, cut to fit, and ends the program
// through FatalStop.
[[noreturn]] void Fatal(int exitCode, const char* format, ...);

// Shows or prints TextBuffer and ends the program with the exit code.
// Every program supplies its own: the viewer shows the "Fatal Error" box,
// the checker writes to standard error, tests and the fuzzer throw.
[[noreturn]] void FatalStop(int exitCode);
