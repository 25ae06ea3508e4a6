// The checker's end of the fatal boundary: the viewer's message on standard
// error, worded as the run asks.
#include "check/CheckFatal.h"

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "console/ConsoleText.h"
#include "rules/Fatal.h"
#include "save/SaveFile.h"
#include "warnings/CheckLoops.h"

namespace {

const FatalWording NoWording = {"", false, false, true};
const FatalWording* Wording = &NoWording;

}  // namespace

void UseFatalWording(const FatalWording* wording) { Wording = wording; }

// The viewer shows its fatal message in a box; the checker prints the same
// text to standard error. In the text report, a message about one line of
// the file comes in the form editors read: FILE:LINE: error: MESSAGE. With
// --diff, which loads two files, every refusal names its file so.
[[noreturn]] void FatalStop(int exitCode) {
  // An export made as it is written may be half made: its files go.
  AbandonSave();
  const FatalWording& w = *Wording;
  fflush(stdout);
  std::string message = w.opening ? ShownArgument(TextBuffer) : ShownText(TextBuffer);
  // A refused cycle: the loop itself after the viewer's message.
  std::vector<const Advance*> loop = RefusedLoop();
  if (!loop.empty()) message += ": " + ShownText(LoopText(loop).c_str());
  if ((!w.json || w.namingFile) && FatalLine > 0) {
    fprintf(stderr, "%s:%ld: error: ", ShownArgument(w.path).c_str(), (long)FatalLine);
  } else if (w.namingFile) {
    fprintf(stderr, "%s: error: ", ShownArgument(w.path).c_str());
  }
  fputs(message.c_str(), stderr);
  fputc('\n', stderr);
  fflush(stderr);
  exit(exitCode);
}
