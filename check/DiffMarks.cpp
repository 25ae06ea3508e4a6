// The marks of a comparison on the newer file's chart: classes on the
// advances' groups, and how they look.
#include <string>
#include <vector>

#include "check/Diff.h"

namespace {

enum { ADDED = 1, CHANGED = 2, MOVED = 4 };

}  // namespace

ChartMarks DiffMarks(const RulesCopy& after, const RulesDiff& diff) {
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
  // A tint for what is new or changed, a thick outline for a new level.
  marks.style =
      ".chart .added > rect { fill: #d9f2d0 }\n"
      ".chart .changed > rect { fill: #fdf0b8 }\n"
      ".chart .moved > rect { stroke: #d05a00; stroke-width: 3px }\n";
  return marks;
}
