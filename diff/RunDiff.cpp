// lorvane-check --diff's report, printed to standard output as it is made.
#include "diff/RunDiff.h"

#include <stdio.h>

#include <string>

#include "chart/TextOut.h"
#include "diff/DiffJson.h"
#include "diff/DiffText.h"

bool RunDiff(const RulesCopy& before, const RulesCopy& after, const RulesDiff& diff, bool json,
             const DiffContext& context) {
  bool written = true;
  TextOut out;
  out.write = [&written](const std::string& piece) {
    if (written) written = fwrite(piece.data(), 1, piece.size(), stdout) == piece.size();
  };
  if (json) {
    DiffJson(before, after, diff, context, &out);
  } else {
    DiffText(before, after, diff, context, &out);
  }
  out.Finish();
  return written;
}
