// The marks of a comparison on the newer file's chart: classes on the
// advances' groups (their look is chart/page/svg.css's), the legend, the
// page's list of changes.
#include <string>
#include <vector>

#include "check/Diff.h"

namespace {

enum { ADDED = 1, CHANGED = 2, MOVED = 4 };

}  // namespace

ChartMarks DiffMarks(const RulesCopy& before, const RulesCopy& after, const RulesDiff& diff) {
  std::vector<int> marked(after.advances.size(), 0);
  for (const Change& c : diff.changes) {
    // Routes are not marked: a moved prerequisite changes many of them.
    if (c.newIndex < 0 || c.kind >= ROUTE_CHANGED) continue;
    marked[c.newIndex] |= c.kind == ADVANCE_ADDED ? ADDED : c.kind == LEVEL_MOVED ? MOVED : CHANGED;
  }
  ChartMarks marks;
  marks.classes.resize(marked.size());
  for (size_t i = 0; i < marked.size(); ++i) {
    std::string& classes = marks.classes[i];
    if (marked[i] & ADDED) classes = "added";
    if (marked[i] & CHANGED) classes = "changed";
    if (marked[i] & MOVED) classes += classes.empty() ? "moved" : " moved";
  }
  marks.legend = {{"added", "added"},
                  {"changed", "changed: name, code, a field or the prerequisites"},
                  {"moved", "moved to another level"}};
  marks.notes = ChangeLines(before, after, diff);
  for (size_t k = 0; k < marks.notes.size(); ++k) {
    marks.notes[k].text =
        std::string(ChangeHeading(diff.changes[k].kind)) + ": " + marks.notes[k].text;
  }
  return marks;
}
