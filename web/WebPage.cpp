// The web page's entry points, which its script (web/app.js) calls: a rules
// file's bytes loaded exactly as the checker loads them, and the page that
// lorvane-check --html (or --diff OLD NEW --html) writes for it.
//
// One file is loaded at a time and stays loaded until the next load; a
// comparison keeps a copy of the older file. Every call returns 0, or the
// checker's exit code with its message as the text. No exception leaves a
// call: a refusal and a lack of memory end here, and the rules are reset,
// so the next call starts afresh.
#include <stddef.h>

#include <new>
#include <string>

#include "check/CheckFatal.h"
#include "check/CheckOutputs.h"
#include "diff/DiffCopy.h"
#include "diff/RunDiff.h"
#include "load/LoadRules.h"
#include "rules/Fatal.h"
#include "rules/Reader.h"
#include "warnings/Encoding.h"

namespace {

// The page or the message of the last call, in UTF-8.
std::string Text;
// The loaded file's name, which the page and the messages show.
std::string Name;
FatalWording Wording = {"", false, false, false};
// The older file of a comparison, once kept.
RulesCopy Older;
bool HaveOlder = false;

// Runs the step; a refusal comes back through the load's own boundary
// (RunCatchingFatal), and the message is taken as the checker words it,
// then everything loaded is forgotten. Returns 0 or the exit code.
template <typename Step>
int Run(Step step) {
  int exitCode = 0;
  try {
    auto run = [](void* context) { (*static_cast<Step*>(context))(); };
    if (RunCatchingFatal(run, &step, &exitCode)) return 0;
    Text = WordedFatal();
  } catch (const std::bad_alloc&) {
    Text = "Not enough memory to load the rules file";
    exitCode = 1;
  } catch (...) {
    Text = "Lorvane failed inside (an unexpected C++ exception); the file was not loaded";
    exitCode = 1;
  }
  ResetRules();
  return exitCode;
}

}  // namespace

extern "C" {

// Forgets the loaded file, then loads size bytes named name (UTF-8) as
// the checker loads a file of that name. With naming, a refusal names the
// file as --diff words it.
int LorvaneLoad(const char* name, const unsigned char* bytes, size_t size, int naming) {
  ResetRules();
  Name = name;
  Wording = {Name.c_str(), false, naming != 0, false};
  UseFatalWording(&Wording);
  Text.clear();
  return Run([&] {
    WatchEncoding();
    LoadRulesText(reinterpret_cast<const char*>(bytes), size);
  });
}

// Keeps a copy of the loaded file as the older one of a comparison.
int LorvaneKeepOlder() {
  int code = Run([] {
    SetExportMetrics();
    CopyLoadedRules(Name.c_str(), &Older);
  });
  HaveOlder = code == 0;
  return code;
}

// The page of the loaded file as lorvane-check --html writes it, titled by
// the file's name; with compared and an older file kept, the page of
// --diff OLDER LOADED --html.
int LorvaneMakePage(int compared) {
  return Run([&] {
    ExportContext context = {PageTitle(Name.c_str(), nullptr), nullptr};
    ChartMarks marks;
    SetExportMetrics();
    if (compared != 0 && HaveOlder) {
      RulesCopy newer;
      CopyLoadedRules(Name.c_str(), &newer);
      RunDiff(Older, newer, false, DiffContext(), &marks);
      context.marks = &marks;
    }
    MakeCheckedPage(&Text, context);
  });
}

// Forgets the older file.
void LorvaneForgetOlder() {
  Older = RulesCopy();
  HaveOlder = false;
}

// The most bytes of a file that a load can read: one more than the reader
// takes before it refuses the file as too long. The rest of a larger file
// can change nothing, so the script hands over no more than these.
size_t LorvaneReadLimit() { return (size_t)RULES_READ_LIMIT + 1; }

const char* LorvaneText() { return Text.c_str(); }
size_t LorvaneTextSize() { return Text.size(); }

}  // extern "C"
