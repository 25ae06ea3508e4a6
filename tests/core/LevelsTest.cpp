// Levels by the longest prerequisite chain, the per-level statistics, and
// refusing cycles and chains too deep for the tables.
#include <set>
#include <string>

#include "TestSupport.h"
#include "graph/Levels.h"

namespace {

class LevelsTest : public RulesTest {
 protected:
  void LoadAdvances(const std::string& lines, const std::string& units = "") {
    Load(RulesText(lines, units));
  }
  int LevelOf(const char* name) {
    Advance* advance = AdvanceNamed(name);
    EXPECT_NE(advance, nullptr) << name;
    return advance == nullptr ? -1 : advance->level;
  }
};

// An advance line whose own code is its name (names of up to 3 characters)
// or the given code.
std::string Line(const std::string& name, const std::string& p1, const std::string& p2,
                 const std::string& code = "") {
  return name + ", 1, 1, " + p1 + ", " + p2 + ", 0, 0; " + (code.empty() ? name : code) + "\n";
}

// A distinct code of 3 characters for each index below 62^3.
std::string Code(int index) {
  static const char digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  return {digits[index / (62 * 62)], digits[index / 62 % 62], digits[index % 62]};
}

std::string Unit(const std::string& prereq) {
  return "Unit, nil, 0, 1, 0, 1, 1, 1, 1, 1, 0, 0, " + prereq + ", 0\n";
}

// A chain c0 (on the root) to c<length-1>, listed forwards or backwards.
std::string Chain(int length, bool reversed) {
  std::string lines;
  for (int i = 0; i < length; i++) {
    std::string line =
        Line("c" + std::to_string(i), i == 0 ? "nil" : "c" + std::to_string(i - 1), "nil");
    lines = reversed ? line + lines : lines + line;
  }
  return lines;
}

TEST_F(LevelsTest, LongestChainDecidesTheLevel) {
  for (bool reversed : {false, true}) {
    SCOPED_TRACE(reversed ? "reversed" : "in order");
    std::string a = Line("A", "nil", "nil"), b = Line("B", "A", "nil"), c = Line("C", "B", "A");
    LoadAdvances(reversed ? c + b + a : a + b + c);
    EXPECT_EQ(LevelOf("A"), 1);
    EXPECT_EQ(LevelOf("B"), 2);
    EXPECT_EQ(LevelOf("C"), 3);
    EXPECT_EQ(RootAdvance.level, 0);
    EXPECT_EQ(MaxLevel, 3);
    for (int level = 0; level <= 3; level++) EXPECT_EQ(LevelCount[level], 1) << level;
    EXPECT_EQ(LevelCount[4], 0);
    EXPECT_EQ(MaxLevelCount, 1);
    ResetRules();
  }
}

TEST_F(LevelsTest, SamePrerequisiteTwice) {
  LoadAdvances(Line("P", "nil", "nil") + Line("Q", "P", "P") + Line("R", "Q", "Q"));
  EXPECT_EQ(LevelOf("Q"), 2);
  EXPECT_EQ(LevelOf("R"), 3);
}

TEST_F(LevelsTest, MissingPrerequisiteStaysOnLevelZero) {
  LoadAdvances(Line("P", "nil", "nil") + Line("Q", "P", "P") + Line("Lst", "Q", "Zzz") +
               Line("Aft", "Lst", "nil") + Line("Dp", "Aft", "Q"));
  EXPECT_EQ(LevelOf("Lst"), 0);
  EXPECT_EQ(LevelOf("Aft"), 1);  // ranked from the lost advance's level 0
  EXPECT_EQ(LevelOf("Dp"), 3);
  EXPECT_EQ(LevelCount[0], 2);  // the root and the lost advance
  EXPECT_EQ(LevelCount[1], 2);
  EXPECT_EQ(MaxLevelCount, 2);
}

TEST_F(LevelsTest, EmptySectionLeavesTheRootAlone) {
  LoadAdvances("", Unit("nil") + Unit("nil") + Unit("Zzz"));
  EXPECT_EQ(MaxLevel, 0);
  EXPECT_EQ(LevelCount[0], 1);
  EXPECT_EQ(MaxLevelCount, 1);
  EXPECT_EQ(LevelMaxUnits[0], 2);
}

TEST_F(LevelsTest, LevelMaxUnitsTakesTheFullestAdvanceOfEachLevel) {
  std::string units;
  for (int i = 0; i < 4; i++) units += Unit("Y");
  for (int i = 0; i < 2; i++) units += Unit("Z");
  units += Unit("Top") + Unit("Top");
  LoadAdvances(Line("Top", "nil", "nil") + Line("X", "Top", "nil") + Line("Y", "Top", "Top") +
                   Line("Z", "Top", "nil") + Line("Bare", "nil", "nil"),
               units);
  EXPECT_EQ(LevelOf("X"), 2);
  EXPECT_EQ(LevelCount[2], 3);
  EXPECT_EQ(LevelMaxUnits[0], 0);  // neither the root nor anything on level 0
  EXPECT_EQ(LevelMaxUnits[1], 2);
  EXPECT_EQ(LevelMaxUnits[2], 4);
  EXPECT_EQ(MaxLevelCount, 3);
}

// k0 depends on k1, k1 on k2, ... and the last on k0.
std::string Cycle(int length) {
  std::string lines;
  for (int i = 0; i < length; i++) {
    std::string next = Code((i + 1) % length);
    lines += Line("k" + std::to_string(i), next, next, Code(i));
  }
  return lines;
}

TEST_F(LevelsTest, CyclesAreRefusedNamingAnAdvanceOnTheCycle) {
  for (int length : {1, 2, 50}) {
    SCOPED_TRACE(length);
    // Advances that only depend on the cycle must not be the one named.
    std::string lines = Line("Before", Code(0), "nil", "Bef") + Cycle(length) +
                        Line("After", Code(0), Code(0), "Aft");
    FatalError fatal = LoadFatal(RulesText(lines, ""));
    EXPECT_EQ(fatal.code, 1);
    std::set<std::string> expected;
    for (int i = 0; i < length; i++) {
      expected.insert("Advance \"k" + std::to_string(i) +
                      "\" depends on itself through its prerequisites");
    }
    EXPECT_EQ(expected.count(fatal.message), 1u) << fatal.message;
    ResetRules();
  }
}

TEST_F(LevelsTest, SelfReferenceThroughTheSecondPrerequisite) {
  EXPECT_FATAL(Load(RulesText(Line("Loop", "nil", "Lp", "Lp"), "")), 1,
               "Advance \"Loop\" depends on itself through its prerequisites");
}

TEST_F(LevelsTest, CycleBehindAMissingLinkIsHarmless) {
  // A missing code pins an advance to level 0, which breaks the loop.
  LoadAdvances(Line("k0", "k1", "Zzz") + Line("k1", "k0", "nil"));
  EXPECT_EQ(LevelOf("k0"), 0);
  EXPECT_EQ(LevelOf("k1"), 1);
}

TEST_F(LevelsTest, ChainToLevelNinetyNineIsAccepted) {
  for (bool reversed : {false, true}) {
    SCOPED_TRACE(reversed ? "reversed" : "in order");
    LoadAdvances(Chain(99, reversed));
    EXPECT_EQ(LevelOf("c98"), 99);
    EXPECT_EQ(MaxLevel, 99);
    for (int level = 0; level <= 99; level++) EXPECT_EQ(LevelCount[level], 1) << level;
    ResetRules();
  }
}

TEST_F(LevelsTest, ChainToLevelHundredIsRefused) {
  for (bool reversed : {false, true}) {
    SCOPED_TRACE(reversed ? "reversed" : "in order");
    EXPECT_FATAL(Load(RulesText(Chain(100, reversed), "")), 1,
                 "Advance \"c99\" lies more than 99 levels below \"Primary Root\"");
    ResetRules();
  }
}

TEST_F(LevelsTest, DeepChainBelowACycleNamesTheCycle) {
  // The chain reaches level 100 only because of the cycle above it.
  std::string lines = Line("Top", "Lp", "Lp") + Line("Loop", "Top", "nil", "Lp") +
                      Line("Low", "Lp", "Top") + Line("Bot", "Low", "Low");
  FatalError fatal = LoadFatal(RulesText(lines, ""));
  EXPECT_TRUE(fatal.message == "Advance \"Top\" depends on itself through its prerequisites" ||
              fatal.message == "Advance \"Loop\" depends on itself through its prerequisites")
      << fatal.message;
}

TEST_F(LevelsTest, LargeCyclesEndWithoutDeepRecursion) {
  FatalError fatal = LoadFatal(RulesText(Cycle(3000), ""));
  EXPECT_EQ(fatal.code, 1);
  EXPECT_NE(fatal.message.find("depends on itself"), std::string::npos) << fatal.message;
}

}  // namespace
