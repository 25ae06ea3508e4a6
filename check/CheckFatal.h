// How the checker words a refusal of the rules file (its FatalStop), and
// the worded text for a program that shows it elsewhere (web/).
#pragma once
#include <string>

// The caller owns it and changes it as the run goes on; FatalStop reads it
// when the load or the chart refuses.
struct FatalWording {
  const char* path;  // the rules file the message names
  bool json;         // --json: the plain message, no FILE:LINE
  bool namingFile;   // --diff: every refusal names its file, FILE:LINE or FILE
  bool opening;      // the message names the path given, not the file's text
};

// The wording FatalStop uses from now on.
void UseFatalWording(const FatalWording* wording);

// The refusal in TextBuffer as the wording in force has it, without a line
// feed: "FILE:LINE: error: MESSAGE", "FILE: error: MESSAGE" or "MESSAGE",
// a refused cycle followed by its loop. Read before the rules are reset.
std::string WordedFatal();

// The refusal's message on standard error, as FatalStop writes it before
// it ends the program: for a refusal caught (RunCatchingFatal).
void PrintFatalMessage();
