// The checker's wording of a refusal: the viewer's message, with the file
// and line where the run asks for them, as a value.
#include <string>

#include "check/CheckFatal.h"
#include "console/ConsoleText.h"
#include "rules/Fatal.h"
#include "warnings/Diagnostics.h"

namespace {

const FatalWording NoWording = {"", false, false, true};
const FatalWording* Wording = &NoWording;

}  // namespace

void UseFatalWording(const FatalWording* wording) { Wording = wording; }

// In the text report, a message about one line of the file comes in the
// form editors read: FILE:LINE: error: MESSAGE. With --diff, which loads
// two files, every refusal names its file so.
std::string WordedFatal() {
  const FatalWording& w = *Wording;
  // A refused cycle: the loop itself after the viewer's message.
  std::string message =
      w.opening ? ShownArgument(TextBuffer) : ShownText(RefusalDiagnostic().message.c_str());
  if ((!w.json || w.namingFile) && FatalLine > 0) {
    return ShownArgument(w.path) + ":" + std::to_string((long)FatalLine) + ": error: " + message;
  }
  if (w.namingFile) return ShownArgument(w.path) + ": error: " + message;
  return message;
}
