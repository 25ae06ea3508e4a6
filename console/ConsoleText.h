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

// A command-line argument (a path, a title) as every output shows it, on
// a terminal and in JSON: in UTF-8 as given when it reads as UTF-8 (on
// Windows, from the ANSI code page), else each byte read as Windows-1252,
// as the rules file's own texts; its control characters (C0, DEL, C1) and
// bidirectional controls (U+061C, U+200E, U+200F, U+202A to U+202E, U+2066
// to U+2069) as U+FFFD, so that no argument can steer the terminal or turn
// the line around it.
std::string ShownArgument(const char* argument);

// The same for text already in UTF-8 where it is well-formed (an argument
// read with ArgumentUtf8).
std::string ShownUtf8(const std::string& text);

// An argument for a document that isolates it from the text around it
// (the page's title): as ShownArgument, but its bidirectional controls
// kept, which act only inside the isolation.
std::string IsolatedArgument(const char* argument);

// A command-line argument in UTF-8, to be compared with shown text. On
// Windows the program receives it in the ANSI code page.
std::string ArgumentUtf8(const char* argument);

// Writes the rules-file text, shown, to the stream.
void PutShown(const char* rulesText, FILE* stream);
