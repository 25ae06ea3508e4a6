// lorvane-check --diff: the two copies compared, then the report printed or
// the newer file's chart and page, marked, written.
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "chart/ChartSvg.h"
#include "check/ConsoleText.h"
#include "check/Diagnostics.h"
#include "check/Diff.h"
#include "check/Export.h"

int RunDiff(const RulesCopy& before, const RulesCopy& after, bool json,
            std::vector<OutputFile>* outputs) {
  RulesDiff diff;
  CompareRules(before, after, &diff);
  if (!outputs->empty()) {
    ChartMarks marks = DiffMarks(before, after, diff);
    for (OutputFile& file : *outputs) {
      if (strcmp(file.option, "--svg") == 0) {
        MakeSvgDocument(&file.text, &marks);
      } else {
        MakeCheckedPage(&file.text, &marks);
      }
    }
    return SaveFiles(*outputs) ? EXIT_LOADED : EXIT_REFUSED;
  }
  // NEW is the file loaded: its warnings, and both files named as the
  // terminal shows them.
  DiffContext context;
  context.oldName = ShownArgument(before.path.c_str());
  context.newName = ShownArgument(after.path.c_str());
  for (const Diagnostic& warning : CollectWarnings()) {
    context.warningLines.push_back(DiagnosticLine(context.newName, warning));
    context.warnings.push_back(DiagnosticJson(warning));
  }
  std::string text =
      json ? DiffJson(before, after, diff, context) : DiffText(before, after, diff, context);
  if (text.empty() || fwrite(text.data(), 1, text.size(), stdout) != text.size()) return EXIT_WRITE;
  return EXIT_LOADED;
}
