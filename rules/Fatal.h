// The one way a load or platform failure ends the program.
#pragma once

enum { TEXT_BUFFER_SIZE = 256 };

// The shared buffer in which every message and every chart text is built
// just before it is shown or drawn.
extern char TextBuffer[TEXT_BUFFER_SIZE];

// Formats the message into TextBuffer, cut to fit, and ends the program
// through FatalStop.
[[noreturn]] void Fatal(int exitCode, const char* format, ...);

// Shows or prints TextBuffer and ends the program with the exit code.
// Every program supplies its own: the viewer shows the "Fatal Error" box,
// the checker writes to standard error, tests and the fuzzer throw.
[[noreturn]] void FatalStop(int exitCode);
