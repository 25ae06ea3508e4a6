// The comparison's parts in-process: route lengths against a plain walk, and the text line
// that places each change.
#include <gtest/gtest.h>
#include <string.h>

#include <random>
#include <vector>

#include "diff/DiffRoutes.h"
#include "diff/DiffText.h"

namespace {

// Advances by their two links (-1 a code naming nothing); index 0 the root.
std::vector<DiffAdvance> Graph(const std::vector<std::pair<int, int>>& links) {
  std::vector<DiffAdvance> advances(links.size() + 1);
  advances[0].prereq[0] = advances[0].prereq[1] = -1;
  for (size_t i = 0; i < links.size(); ++i) {
    advances[i + 1].prereq[0] = links[i].first;
    advances[i + 1].prereq[1] = links[i].second;
  }
  return advances;
}

// As --route walks: everything reached, the root and the target left out.
int64_t Walk(const std::vector<DiffAdvance>& advances, int target) {
  std::vector<char> needed(advances.size(), 0);
  std::vector<int> todo(1, target);
  int64_t count = 0;
  while (!todo.empty()) {
    int a = todo.back();
    todo.pop_back();
    for (int p : advances[a].prereq) {
      if (p > 0 && p != target && !needed[p]) {
        needed[p] = 1;
        ++count;
        todo.push_back(p);
      }
    }
  }
  return count;
}

std::vector<int> Every(const std::vector<DiffAdvance>& advances) {
  std::vector<int> all;
  for (size_t i = 0; i < advances.size(); ++i) all.push_back((int)i);
  return all;
}

struct RouteCase {
  const char* name;
  std::vector<std::pair<int, int>> links;
  std::vector<int64_t> lengths;  // of every advance, the root first
};

class DiffRoutes : public testing::TestWithParam<RouteCase> {};

TEST_P(DiffRoutes, CountsEveryAdvanceOnce) {
  std::vector<DiffAdvance> advances = Graph(GetParam().links);
  EXPECT_EQ(CountRoutes(advances, Every(advances)), GetParam().lengths);
}

// Links to an advance that stands on level 0 for a missing link may close
// a circle; the members of such a circle need each other, not themselves.
INSTANTIATE_TEST_SUITE_P(
    Shapes, DiffRoutes,
    testing::Values(
        RouteCase{"RootOnly", {}, {0}}, RouteCase{"Chain", {{0, 0}, {1, 0}, {2, 1}}, {0, 0, 1, 2}},
        RouteCase{"Diamond", {{0, 0}, {1, 0}, {1, 0}, {2, 3}}, {0, 0, 1, 1, 3}},
        RouteCase{"MissingLink", {{0, 0}, {1, -1}, {2, -1}}, {0, 0, 1, 2}},
        RouteCase{"SelfLink", {{1, -1}, {1, 0}}, {0, 0, 1}},
        RouteCase{"Circle", {{0, 0}, {3, -1}, {2, 1}, {3, 0}}, {0, 0, 2, 2, 3}},
        RouteCase{"TwoCircles", {{2, -1}, {1, 0}, {2, 4}, {3, -1}, {4, 1}}, {0, 1, 1, 3, 3, 4}}),
    [](const testing::TestParamInfo<RouteCase>& info) { return std::string(info.param.name); });

TEST(DiffRoutes, OnlyTheTargetsAndInTheirOrder) {
  std::vector<DiffAdvance> advances = Graph({{0, 0}, {1, 0}, {2, 1}, {3, 2}});
  EXPECT_EQ(CountRoutes(advances, {4, 0, 2, 4}), (std::vector<int64_t>{3, 0, 1, 3}));
  EXPECT_EQ(CountRoutes(advances, {}), std::vector<int64_t>());
}

// Random graphs of several blocks of bits, circles included, layered as
// rules files are (links mostly up to earlier advances) or not at all.
TEST(DiffRoutes, RandomGraphsAgreeWithTheWalk) {
  std::mt19937 random(16);
  for (int round = 0; round < 9; ++round) {
    int count = 1 + (int)(random() % 2500);
    bool anyDirection = round % 3 == 0;
    std::vector<std::pair<int, int>> links;
    for (int i = 1; i <= count; ++i) {
      auto pick = [&]() {
        int r = (int)(random() % 20);
        if (r == 0) return -1;
        if (r == 1) return 0;
        return anyDirection ? 1 + (int)(random() % count) : (int)(random() % i);
      };
      links.emplace_back(pick(), pick());
    }
    std::vector<DiffAdvance> advances = Graph(links);
    std::vector<int64_t> lengths = CountRoutes(advances, Every(advances));
    ASSERT_EQ(lengths.size(), advances.size());
    for (size_t t = 0; t < advances.size(); ++t) {
      ASSERT_EQ(lengths[t], Walk(advances, (int)t)) << "round " << round << ", advance " << t;
    }
  }
}

}  // namespace

// The page's list of changes: each line with the advance whose box shows
// it, none for what is gone or hangs under no advance.
TEST(DiffChangeLines, EachLineNamesTheBoxThatShowsIt) {
  RulesCopy before;
  before.advances.resize(3);
  before.advances[0] = {"Primary Root", "nil", {"nil", "nil"}, {-1, -1}, 0, 0, 0, 0, 0, 0};
  before.advances[1] = {"Stone Tools", "Sto", {"nil", "nil"}, {0, 0}, 1, 0, 0, 0, 1, 2};
  before.advances[2] = {"Old Craft", "Old", {"Sto", "nil"}, {1, 0}, 1, 0, 0, 0, 2, 3};
  RulesCopy after = before;
  after.advances[2] = {"New Craft", "New", {"Sto", "nil"}, {1, 0}, 1, 0, 0, 0, 2, 3};
  DiffUnit unit = {"Militia", "nil", "Old", 2, {}, 6};
  before.units = {unit, unit};
  strcpy(before.units[1].name, "Scouts");
  strcpy(unit.prereqCode, "Sto");
  unit.prereq = 1;
  after.units = {unit, unit};
  after.units[1] = {"Ghost", "nil", "Zzz", -1, {}, 7};
  RulesDiff diff;
  CompareRules(before, after, &diff);
  std::vector<std::pair<std::string, int>> got;
  for (size_t k = 0; k < diff.changes.size(); ++k) {
    ChartNote line = ChangeLine(before, after, diff, k);
    got.emplace_back(line.text, line.index);
  }
  EXPECT_EQ(got, (std::vector<std::pair<std::string, int>>{
                     {"New Craft [New], level 2", 2},
                     {"Old Craft [Old], level 2", -1},
                     {"Ghost, under \"Zzz\" (names no advance)", -1},
                     {"Scouts, under Old Craft [Old]", -1},
                     {"Militia: Old Craft [Old] -> Stone Tools [Sto]", 1}}));
}
