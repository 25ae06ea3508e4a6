// Text for terminals: rules-file bytes and command-line arguments as the
// checker shows them on standard output and standard error.
#pragma once
#include <stdio.h>

#include <string>

// Prepares the console: on Windows, standard output and error shown as
// UTF-8 while the checker runs (a redirected stream is left alone).
void SetUpConsole();

// Rules-file text as every output shows it: Windows-1252 read into UTF-8,
// control characters as U+FFFD (chart/Utf8Text.h).
std::string ShownText(const char* rulesText);

// A command-line argument (a path, a title) as given, its control
// characters (C0, DEL and, in UTF-8, C1) as U+FFFD, so that no argument
// can steer the terminal.
std::string ShownArgument(const char* argument);

// A command-line argument in UTF-8, to be compared with shown text. On
// Windows the program receives it in the ANSI code page.
std::string ArgumentUtf8(const char* argument);

// Writes the rules-file text, shown, to the stream.
void PutShown(const char* rulesText, FILE* stream);
