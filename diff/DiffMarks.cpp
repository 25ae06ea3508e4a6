// The marks of a comparison on the newer file's chart: classes on the
// advances' groups (their look is chart/svg.css's), the legend, the
// page's list of changes.
#include "diff/DiffMarks.h"

#include <string>
#include <vector>

#include "diff/DiffText.h"

ChartMarks DiffMarks(const RulesCopy& before, const RulesCopy& after, const RulesDiff& diff) {
  std::vector<int> marked(after.advances.size(), 0);
  for (const Change& c : diff.changes) {
    if (c.newIndex >= 0) marked[c.newIndex] |= ChangeKinds[c.kind].mark;
  }
  ChartMarks marks;
  marks.classes.resize(marked.size());
  for (size_t i = 0; i < marked.size(); ++i) {
    std::string& classes = marks.classes[i];
    if (marked[i] & MARK_ADDED) classes = "added";
    if (marked[i] & MARK_CHANGED) classes = "changed";
    if (marked[i] & MARK_MOVED) classes += classes.empty() ? "moved" : " moved";
  }
  marks.legend = {{"added", "added"},
                  {"changed", "changed: name, code, a field or the prerequisites"},
                  {"moved", "moved to another level"}};
  marks.noteCount = diff.changes.size();
  marks.note = [&before, &after, &diff](size_t k) {
    ChartNote note = ChangeLine(before, after, diff, k);
    note.text = std::string(ChangeKinds[diff.changes[k].kind].heading) + ": " + note.text;
    return note;
  };
  return marks;
}
