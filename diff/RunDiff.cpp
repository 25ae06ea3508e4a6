// lorvane-check --diff: the two copies compared, then the report printed or
// the newer file's chart marks made.
#include "diff/RunDiff.h"

#include <stdio.h>

#include <string>

#include "diff/DiffCompare.h"
#include "diff/DiffJson.h"
#include "diff/DiffMarks.h"
#include "diff/DiffText.h"

bool RunDiff(const RulesCopy& before, const RulesCopy& after, bool json,
             const DiffContext& context, ChartMarks* marks) {
  RulesDiff diff;
  CompareRules(before, after, &diff);
  if (marks != nullptr) {
    *marks = DiffMarks(before, after, diff);
    return true;
  }
  std::string text =
      json ? DiffJson(before, after, diff, context) : DiffText(before, after, diff, context);
  return !text.empty() && fwrite(text.data(), 1, text.size(), stdout) == text.size();
}
