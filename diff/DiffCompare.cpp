// The comparison of two rules files: which advances and unit types are the
// same, and every change between them in report order.
#include "diff/DiffCompare.h"

#include <assert.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "diff/DiffRoutes.h"

namespace {

std::string FoldCase(const std::string& text) {
  std::string folded = text;
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
  }
  return folded;
}

// Pairs the items left unmatched by their names, ASCII case aside: the
// first unmatched item of the older list with a name to the first of the
// newer list with the same name.
template <typename Item>
void MatchByName(const std::vector<Item>& before, const std::vector<Item>& after,
                 std::vector<int>* newOf, std::vector<int>* oldOf) {
  std::unordered_map<std::string, std::vector<int>> waiting;
  for (size_t i = 0; i < before.size(); ++i) {
    if ((*newOf)[i] < 0) waiting[FoldCase(before[i].name)].push_back((int)i);
  }
  std::unordered_map<std::string, size_t> taken;
  for (size_t i = 0; i < after.size(); ++i) {
    if ((*oldOf)[i] >= 0) continue;
    std::string key = FoldCase(after[i].name);
    auto found = waiting.find(key);
    if (found == waiting.end()) continue;
    size_t& next = taken[key];
    if (next == found->second.size()) continue;
    int old = found->second[next++];
    (*oldOf)[i] = old;
    (*newOf)[old] = (int)i;
  }
}

// What a link leads to, comparable across the two files: a new index, a
// code that names nothing, or an advance of the older file that is gone.
struct LinkEnd {
  int index;  // new index; -1 a code naming nothing; below -1 a removed advance
  std::string code;
  bool operator==(const LinkEnd& other) const {
    return index == other.index && (index != -1 || code == other.code);
  }
};

class Comparison {
 public:
  Comparison(const RulesCopy& before, const RulesCopy& after, RulesDiff* diff)
      : before_(before), after_(after), diff_(diff) {}

  void Run() {
    diff_->changes.clear();
    memset(diff_->count, 0, sizeof diff_->count);
    memset(diff_->first, 0, sizeof diff_->first);
    MatchAdvances();
    ListAdvances();
    ListPrerequisites();
    ListLevels();
    ListRoutes();
    MatchUnits();
    ListUnits();
  }

 private:
  const RulesCopy& before_;
  const RulesCopy& after_;
  RulesDiff* diff_;
  std::vector<int> newOf_;      // by old advance index
  std::vector<int> oldOf_;      // by new advance index
  std::vector<char> relinked_;  // by new index: its prerequisites changed
  std::vector<int> newUnitOf_;
  std::vector<int> oldUnitOf_;

  // The steps of Run add their kinds in the table's order, each kind's
  // changes one group.
  void Add(ChangeKind kind, int oldIndex, int newIndex, int field = 0, int64_t from = 0,
           int64_t to = 0, int cause = CAUSE_OWN) {
    assert(diff_->changes.empty() || diff_->changes.back().kind <= kind);
    if (diff_->count[kind]++ == 0) diff_->first[kind] = (int)diff_->changes.size();
    diff_->changes.push_back(Change{kind, oldIndex, newIndex, field, from, to, cause});
  }

  // Codes first, as a prerequisite finds an advance: the first advance
  // with the code ("nil" always names the root); then names.
  void MatchAdvances() {
    const std::vector<DiffAdvance>& olds = before_.advances;
    const std::vector<DiffAdvance>& news = after_.advances;
    newOf_.assign(olds.size(), -1);
    oldOf_.assign(news.size(), -1);
    newOf_[0] = 0;
    oldOf_[0] = 0;
    std::unordered_map<std::string, int> oldByCode;
    for (size_t i = 1; i < olds.size(); ++i) {
      if (olds[i].code != "nil") oldByCode.emplace(olds[i].code, (int)i);
    }
    std::unordered_map<std::string, int> newByCode;
    for (size_t i = 1; i < news.size(); ++i) {
      if (news[i].code == "nil" || !newByCode.emplace(news[i].code, (int)i).second) continue;
      auto found = oldByCode.find(news[i].code);
      if (found == oldByCode.end()) continue;
      oldOf_[i] = found->second;
      newOf_[found->second] = (int)i;
    }
    MatchByName(olds, news, &newOf_, &oldOf_);
  }

  // What has no match: the newer file's items, then the older file's, from
  // first on (1 for advances, which leave the root out).
  void ListUnmatched(ChangeKind added, ChangeKind removed, size_t first,
                     const std::vector<int>& oldOf, const std::vector<int>& newOf) {
    for (size_t i = first; i < oldOf.size(); ++i) {
      if (oldOf[i] < 0) Add(added, -1, (int)i);
    }
    for (size_t i = first; i < newOf.size(); ++i) {
      if (newOf[i] < 0) Add(removed, (int)i, -1);
    }
  }

  void ListAdvances() {
    const std::vector<DiffAdvance>& olds = before_.advances;
    const std::vector<DiffAdvance>& news = after_.advances;
    ListUnmatched(ADVANCE_ADDED, ADVANCE_REMOVED, 1, oldOf_, newOf_);
    for (size_t i = 1; i < news.size(); ++i) {
      int o = oldOf_[i];
      if (o >= 0 && olds[o].name != news[i].name) Add(ADVANCE_RENAMED, o, (int)i);
    }
    for (size_t i = 1; i < news.size(); ++i) {
      int o = oldOf_[i];
      if (o >= 0 && olds[o].code != news[i].code) Add(ADVANCE_RECODED, o, (int)i);
    }
    for (size_t i = 1; i < news.size(); ++i) {
      int o = oldOf_[i];
      if (o < 0) continue;
      const DiffAdvance& a = olds[o];
      const DiffAdvance& b = news[i];
      if (a.aiValue != b.aiValue)
        Add(ADVANCE_CHANGED, o, (int)i, ADVANCE_AI_VALUE, a.aiValue, b.aiValue);
      if (a.modifier != b.modifier)
        Add(ADVANCE_CHANGED, o, (int)i, ADVANCE_MODIFIER, a.modifier, b.modifier);
      if (a.epoch != b.epoch) Add(ADVANCE_CHANGED, o, (int)i, ADVANCE_EPOCH, a.epoch, b.epoch);
      if (a.category != b.category)
        Add(ADVANCE_CHANGED, o, (int)i, ADVANCE_CATEGORY, a.category, b.category);
    }
  }

  LinkEnd OldEnd(int index, const std::string& code) const {
    if (index < 0) return LinkEnd{-1, code};
    return LinkEnd{newOf_[index] >= 0 ? newOf_[index] : -2 - index, std::string()};
  }

  static LinkEnd NewEnd(int index, const std::string& code) {
    return index < 0 ? LinkEnd{-1, code} : LinkEnd{index, std::string()};
  }

  // The two prerequisites compared as a pair, their order aside: the
  // order changes neither the level nor the route.
  void ListPrerequisites() {
    relinked_.assign(after_.advances.size(), 0);
    for (size_t i = 1; i < after_.advances.size(); ++i) {
      int o = oldOf_[i];
      if (o < 0) continue;
      const DiffAdvance& a = before_.advances[o];
      const DiffAdvance& b = after_.advances[i];
      LinkEnd x0 = OldEnd(a.prereq[0], a.prereqCode[0]);
      LinkEnd x1 = OldEnd(a.prereq[1], a.prereqCode[1]);
      LinkEnd y0 = NewEnd(b.prereq[0], b.prereqCode[0]);
      LinkEnd y1 = NewEnd(b.prereq[1], b.prereqCode[1]);
      if ((x0 == y0 && x1 == y1) || (x0 == y1 && x1 == y0)) continue;
      relinked_[i] = 1;
      // Which links differ: the one left over when the other is kept.
      int from = 3;
      int to = 3;
      if (x0 == y0) {
        from = to = 2;
      } else if (x0 == y1) {
        from = 2;
        to = 1;
      } else if (x1 == y0) {
        from = 1;
        to = 2;
      } else if (x1 == y1) {
        from = to = 1;
      }
      Add(PREREQUISITES_CHANGED, o, (int)i, 0, from, to);
    }
  }

  bool Moved(int index) const {
    int o = oldOf_[index];
    return o >= 0 && before_.advances[o].level != after_.advances[index].level;
  }

  // An advance whose own links are the same moved because a prerequisite
  // moved: up that prerequisite (the first that moved) to the advance whose
  // links changed. Each step goes a level up, so the walk is short.
  int Cause(int index) const {
    if (relinked_[index]) return CAUSE_OWN;
    for (size_t steps = 0; steps < after_.advances.size(); ++steps) {
      const DiffAdvance& a = after_.advances[index];
      int next = -1;
      for (int p : a.prereq) {
        if (p > 0 && Moved(p)) {
          next = p;
          break;
        }
      }
      if (next < 0) break;
      if (relinked_[next]) return next;
      index = next;
    }
    return CAUSE_UNKNOWN;
  }

  void ListLevels() {
    for (size_t i = 1; i < after_.advances.size(); ++i) {
      if (!Moved((int)i)) continue;
      int o = oldOf_[i];
      Add(LEVEL_MOVED, o, (int)i, 0, before_.advances[o].level, after_.advances[i].level,
          Cause((int)i));
    }
  }

  // Every advance below one whose links changed, in either file, as new
  // indexes of advances in both: the only routes that can have changed.
  std::vector<int> Downstream() const {
    std::vector<char> reached(after_.advances.size(), 0);
    std::vector<int> starts;
    for (size_t i = 1; i < relinked_.size(); ++i) {
      if (relinked_[i]) starts.push_back((int)i);
    }
    MarkBelow(
        after_.advances, starts, [](int i) { return i; }, &reached);
    for (int& s : starts) s = oldOf_[s];
    MarkBelow(
        before_.advances, starts, [this](int i) { return newOf_[i]; }, &reached);
    std::vector<int> targets;
    for (size_t i = 1; i < reached.size(); ++i) {
      if (reached[i] && oldOf_[i] >= 0) targets.push_back((int)i);
    }
    return targets;
  }

  // Marks, through toNew, every advance of the list reached from the
  // starts through the dependants' links, the starts included.
  template <typename ToNew>
  static void MarkBelow(const std::vector<DiffAdvance>& advances, const std::vector<int>& starts,
                        ToNew toNew, std::vector<char>* reached) {
    // The dependants of each advance, in one array.
    std::vector<int> first(advances.size() + 1, 0);
    for (const DiffAdvance& a : advances) {
      for (int p : a.prereq) {
        if (p >= 0) ++first[p + 1];
      }
    }
    for (size_t i = 1; i < first.size(); ++i) first[i] += first[i - 1];
    std::vector<int> dependants(first.back());
    std::vector<int> fill(first.begin(), first.end() - 1);
    for (size_t i = 0; i < advances.size(); ++i) {
      for (int p : advances[i].prereq) {
        if (p >= 0) dependants[fill[p]++] = (int)i;
      }
    }
    std::vector<char> seen(advances.size(), 0);
    std::vector<int> todo;
    for (int s : starts) {
      if (!seen[s]) {
        seen[s] = 1;
        todo.push_back(s);
      }
    }
    while (!todo.empty()) {
      int a = todo.back();
      todo.pop_back();
      int n = toNew(a);
      if (n >= 0) (*reached)[n] = 1;
      for (int k = first[a]; k < first[a + 1]; ++k) {
        int d = dependants[k];
        if (!seen[d]) {
          seen[d] = 1;
          todo.push_back(d);
        }
      }
    }
  }

  void ListRoutes() {
    std::vector<int> targets = Downstream();
    std::vector<int> oldTargets;
    oldTargets.reserve(targets.size());
    for (int t : targets) oldTargets.push_back(oldOf_[t]);
    std::vector<int64_t> counts = CountRoutes(after_.advances, targets);
    std::vector<int64_t> oldCounts = CountRoutes(before_.advances, oldTargets);
    for (size_t k = 0; k < targets.size(); ++k) {
      if (counts[k] != oldCounts[k]) {
        Add(ROUTE_CHANGED, oldTargets[k], targets[k], 0, oldCounts[k], counts[k]);
      }
    }
  }

  void MatchUnits() {
    newUnitOf_.assign(before_.units.size(), -1);
    oldUnitOf_.assign(after_.units.size(), -1);
    MatchByName(before_.units, after_.units, &newUnitOf_, &oldUnitOf_);
  }

  void ListUnits() {
    const std::vector<DiffUnit>& olds = before_.units;
    const std::vector<DiffUnit>& news = after_.units;
    ListUnmatched(UNIT_ADDED, UNIT_REMOVED, 0, oldUnitOf_, newUnitOf_);
    for (size_t i = 0; i < news.size(); ++i) {
      int o = oldUnitOf_[i];
      if (o >= 0 && !(OldEnd(olds[o].prereq, olds[o].prereqCode) ==
                      NewEnd(news[i].prereq, news[i].prereqCode))) {
        Add(UNIT_MOVED, o, (int)i);
      }
    }
    for (size_t i = 0; i < news.size(); ++i) {
      int o = oldUnitOf_[i];
      if (o < 0) continue;
      const DiffUnit& a = olds[o];
      const DiffUnit& b = news[i];
      if (a.name != b.name) Add(UNIT_CHANGED, o, (int)i, UNIT_NAME);
      if (a.obsoleteCode != b.obsoleteCode) Add(UNIT_CHANGED, o, (int)i, UNIT_OBSOLETE);
      for (int f = 0; f < UNIT_FIELDS; ++f) {
        if (UnitFields[f].number && UnitFields[f].compared && a.figures[f] != b.figures[f]) {
          Add(UNIT_CHANGED, o, (int)i, f, a.figures[f], b.figures[f]);
        }
      }
    }
  }
};

}  // namespace

void CompareRules(const RulesCopy& before, const RulesCopy& after, RulesDiff* diff) {
  Comparison(before, after, diff).Run();
}

const Change* RelinkOf(const RulesDiff& diff, int newIndex) {
  // The kind's group is in new index order.
  auto begin = diff.changes.begin() + diff.first[PREREQUISITES_CHANGED];
  auto end = begin + diff.count[PREREQUISITES_CHANGED];
  auto found = std::lower_bound(begin, end, newIndex,
                                [](const Change& c, int index) { return c.newIndex < index; });
  return found != end && found->newIndex == newIndex ? &*found : nullptr;
}
