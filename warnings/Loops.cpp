// Loops of prerequisites: the one a refused load names, spelled out, and
// those the level assignment lets pass because they run through an advance
// that stands on level 0 (one of its prerequisite codes names nothing).
#include "warnings/Loops.h"

#include <stddef.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "graph/Levels.h"
#include "rules/Advance.h"

namespace {

// A loop longer than this is shown by its first advances and a count.
enum { LOOP_SHOWN = 16 };

bool HasBothLinks(const Advance* advance) {
  return advance->prereq1 != nullptr && advance->prereq2 != nullptr;
}

// The shortest loop from start back to start through the prerequisite
// links, stepping only through advances that pass (start must pass): the
// advances in order, each needing the next, the last needing start.
template <typename Pass>
std::vector<const Advance*> ShortestLoop(const Advance* start, Pass pass) {
  std::unordered_map<const Advance*, const Advance*> cameFrom;
  std::vector<const Advance*> queue = {start};
  for (size_t next = 0; next < queue.size(); ++next) {
    const Advance* advance = queue[next];
    const Advance* links[2] = {advance->prereq1, advance->prereq2};
    for (const Advance* prereq : links) {
      if (prereq == nullptr || prereq == &RootAdvance) continue;
      if (prereq == start) {
        std::vector<const Advance*> loop;
        for (const Advance* a = advance; a != start; a = cameFrom[a]) loop.push_back(a);
        loop.push_back(start);
        return std::vector<const Advance*>(loop.rbegin(), loop.rend());
      }
      if (!pass(prereq) || cameFrom.count(prereq) != 0) continue;
      cameFrom[prereq] = advance;
      queue.push_back(prereq);
    }
  }
  return {};
}

// The advances in groups that reach each other through their prerequisites
// (Tarjan's strongly connected components, without recursion: a file may
// hold a chain of any length). group[i] of the advance with index i; -1
// for an advance on no loop.
std::vector<int> LoopGroups(const std::vector<const Advance*>& byIndex, int* groups) {
  size_t count = byIndex.size();
  std::vector<int> order(count, -1), low(count, 0), group(count, -1);
  std::vector<int> open;  // visited, not yet in a group
  std::vector<bool> isOpen(count, false);
  struct Frame {
    int index;
    int link;
  };
  std::vector<Frame> frames;
  int visited = 0;
  *groups = 0;
  auto linkOf = [&](int index, int link) -> int {
    const Advance* a = byIndex[index];
    const Advance* prereq = link == 0 ? a->prereq1 : a->prereq2;
    return prereq == nullptr || prereq == &RootAdvance ? -1 : prereq->index;
  };
  for (size_t first = 1; first < count; ++first) {
    if (order[first] >= 0) continue;
    frames.push_back({(int)first, 0});
    order[first] = low[first] = visited++;
    open.push_back((int)first);
    isOpen[first] = true;
    while (!frames.empty()) {
      Frame& frame = frames.back();
      int v = frame.index;
      if (frame.link < 2) {
        int w = linkOf(v, frame.link++);
        if (w < 0) continue;
        if (order[w] < 0) {
          order[w] = low[w] = visited++;
          open.push_back(w);
          isOpen[w] = true;
          frames.push_back({w, 0});
        } else if (isOpen[w] && order[w] < low[v]) {
          low[v] = order[w];
        }
        continue;
      }
      frames.pop_back();
      if (!frames.empty() && low[v] < low[frames.back().index]) {
        low[frames.back().index] = low[v];
      }
      if (low[v] != order[v]) continue;
      std::vector<int> members;
      int w;
      do {
        w = open.back();
        open.pop_back();
        isOpen[w] = false;
        members.push_back(w);
      } while (w != v);
      bool selfLoop = linkOf(v, 0) == v || linkOf(v, 1) == v;
      if (members.size() < 2 && !selfLoop) continue;
      for (int m : members) group[m] = *groups;
      ++*groups;
    }
  }
  return group;
}

}  // namespace

std::vector<const Advance*> RefusedLoop() {
  if (RefusedCycle == nullptr) return {};
  return ShortestLoop(RefusedCycle, HasBothLinks);
}

std::vector<std::vector<const Advance*>> PassedLoops() {
  // A loop in a file that loads runs through an advance on level 0 for a
  // missing link: without one there is none to look for.
  std::vector<const Advance*> byIndex = {&RootAdvance};
  bool missingLink = false;
  for (const Advance* a = &FirstAdvance; a->name[0] != 0; a = a->next) {
    byIndex.push_back(a);
    missingLink = missingLink || !HasBothLinks(a);
  }
  if (!missingLink) return {};
  int groups = 0;
  std::vector<int> group = LoopGroups(byIndex, &groups);
  std::vector<std::vector<const Advance*>> loops;
  if (groups == 0) return loops;
  // Each group's loop starts at its first advance in file order.
  std::vector<bool> shown(groups, false);
  for (size_t i = 1; i < byIndex.size(); ++i) {
    int g = group[i];
    if (g < 0 || shown[g]) continue;
    shown[g] = true;
    loops.push_back(
        ShortestLoop(byIndex[i], [&](const Advance* a) { return group[a->index] == g; }));
  }
  return loops;
}

std::string LoopText(const std::vector<const Advance*>& loop) {
  std::string text;
  auto add = [&](const Advance* a) {
    text += a->name;
    text += " [";
    text += a->code;
    text += "] -> ";
  };
  size_t shown = loop.size() > (size_t)LOOP_SHOWN + 2 ? (size_t)LOOP_SHOWN : loop.size();
  for (size_t i = 0; i < shown; ++i) add(loop[i]);
  if (shown < loop.size()) text += "... (" + std::to_string(loop.size() - shown) + " more) -> ";
  if (!loop.empty()) {
    text += loop[0]->name;
    text += " [";
    text += loop[0]->code;
    text += "]";
  }
  return text;
}
