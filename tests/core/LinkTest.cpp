// Prerequisite codes into links and dependant lists.
#include <string>
#include <vector>

#include "TestSupport.h"
#include "graph/Link.h"

namespace {

class LinkTest : public RulesTest {
 protected:
  void LoadAdvances(const std::string& lines) { Load(RulesText(lines, "")); }
};

std::vector<std::string> ChildNames(const Advance& advance) {
  std::vector<std::string> names;
  for (int i = 0; i < MAX_DEPENDANTS && advance.children[i] != nullptr; i++) {
    names.push_back(advance.children[i]->name);
  }
  EXPECT_EQ(advance.childCount, (int)names.size()) << advance.name;
  return names;
}

using Names = std::vector<std::string>;

TEST_F(LinkTest, NilNamesTheRootOnBothSidesListedOnce) {
  LoadAdvances("Alpha, 1, 1, nil, nil, 0, 0; Alp\n");
  EXPECT_EQ(FirstAdvance.prereq1, &RootAdvance);
  EXPECT_EQ(FirstAdvance.prereq2, &RootAdvance);
  EXPECT_EQ(ChildNames(RootAdvance), Names{"Alpha"});
  EXPECT_EQ(RootAdvance.next, &FirstAdvance);
}

TEST_F(LinkTest, SamePrerequisiteTwiceIsListedOnce) {
  LoadAdvances(
      "P, 1, 1, nil, nil, 0, 0; P\n"
      "Q, 1, 1, P, P, 0, 0; Q\n");
  Advance* q = FirstAdvance.next;
  EXPECT_EQ(q->prereq1, &FirstAdvance);
  EXPECT_EQ(q->prereq2, &FirstAdvance);
  EXPECT_EQ(ChildNames(FirstAdvance), Names{"Q"});
}

TEST_F(LinkTest, DuplicateCodeFindsTheFirstAdvance) {
  LoadAdvances(
      "First, 1, 1, nil, nil, 0, 0; Dup\n"
      "Second, 1, 1, nil, nil, 0, 0; Dup\n"
      "User, 1, 1, Dup, nil, 0, 0; Usr\n");
  EXPECT_EQ(FindAdvance("Dup"), &FirstAdvance);
  EXPECT_EQ(AdvanceNamed("User")->prereq1, &FirstAdvance);
  EXPECT_EQ(ChildNames(FirstAdvance), Names{"User"});
  EXPECT_EQ(ChildNames(*AdvanceNamed("Second")), Names{});
}

// Many advances, their codes in no sorted order, some repeated and some
// with bytes of 128 and more: each code still finds the first advance that
// carries it, and a code one character too long finds nothing.
TEST_F(LinkTest, ManyCodesFindTheirFirstAdvance) {
  const char alphabet[] = "\xE9zZaA09bBq";
  std::string lines;
  std::vector<std::string> codes;
  for (int i = 0; i < 3000; i++) {
    // Every tenth advance repeats the code of an earlier one.
    int n = i % 10 == 9 ? (i / 2 * 7919) % 1000 : (i * 7919) % 1000;
    std::string code = {alphabet[n / 100], alphabet[n / 10 % 10], alphabet[n % 10]};
    codes.push_back(code);
    lines += "N" + std::to_string(i) + ", 0, 0, ~~1, ~~2, 0, 0; " + code + "\n";
  }
  Load(RulesText(lines, ""));
  for (int i = 0; i < 3000; i++) {
    Advance* first = &FirstAdvance;
    for (int j = 0; codes[j] != codes[i]; j++) first = first->next;
    ASSERT_EQ(FindAdvance(codes[i].c_str()), first) << i;
    ASSERT_EQ(FindAdvance((codes[i] + "x").c_str()), nullptr) << i;
    ASSERT_EQ(FindAdvance(codes[i].substr(0, 2).c_str()), nullptr) << i;
  }
  EXPECT_EQ(FindAdvance("~~1"), nullptr);
}

TEST_F(LinkTest, OwnCodeNilIsNeverFound) {
  LoadAdvances(
      "Impostor, 1, 1, nil, nil, 0, 0; nil\n"
      "User, 1, 1, nil, nil, 0, 0; Usr\n");
  EXPECT_EQ(FindAdvance("nil"), &RootAdvance);
  EXPECT_EQ(AdvanceNamed("User")->prereq1, &RootAdvance);
  EXPECT_EQ(ChildNames(*AdvanceNamed("Impostor")), Names{});
  EXPECT_EQ(ChildNames(RootAdvance), (Names{"Impostor", "User"}));
}

TEST_F(LinkTest, LookupIsExactAndCaseSensitive) {
  LoadAdvances("Alpha, 1, 1, nil, nil, 0, 0; Ab\n");
  EXPECT_EQ(FindAdvance("Ab"), &FirstAdvance);
  EXPECT_EQ(FindAdvance("ab"), nullptr);
  EXPECT_EQ(FindAdvance("Ab "), nullptr);
  EXPECT_EQ(FindAdvance("A"), nullptr);
  EXPECT_EQ(FindAdvance("Nil"), nullptr);
  EXPECT_EQ(FindAdvance(""), nullptr);
}

TEST_F(LinkTest, UnknownCodeLeavesTheLinkNone) {
  LoadAdvances(
      "P, 1, 1, nil, nil, 0, 0; P\n"
      "Orphan, 1, 1, Zzz, P, 0, 0; Orp\n");
  Advance* orphan = FirstAdvance.next;
  EXPECT_EQ(orphan->prereq1, nullptr);
  EXPECT_EQ(orphan->prereq2, &FirstAdvance);
  EXPECT_EQ(ChildNames(FirstAdvance), Names{"Orphan"});
  EXPECT_EQ(ChildNames(RootAdvance), Names{"P"});
}

TEST_F(LinkTest, EmptySectionOnlySetsTheRootsNext) {
  LoadAdvances("");
  EXPECT_EQ(RootAdvance.next, &FirstAdvance);
  EXPECT_EQ(RootAdvance.childCount, 0);
  EXPECT_EQ(FindAdvance("nil"), &RootAdvance);
  EXPECT_EQ(FindAdvance("Abc"), nullptr);
  EXPECT_EQ(FindAdvance(""), nullptr);
}

TEST_F(LinkTest, DependantsFollowTheListOrderOnEitherSide) {
  LoadAdvances(
      "A, 1, 1, nil, P, 0, 0; A\n"
      "B, 1, 1, P, nil, 0, 0; B\n"
      "P, 1, 1, nil, nil, 0, 0; P\n");
  EXPECT_EQ(ChildNames(RootAdvance), (Names{"A", "B", "P"}));
  EXPECT_EQ(ChildNames(*AdvanceNamed("P")), (Names{"A", "B"}));
}

std::string RootChildren(int count) {
  std::string lines;
  for (int i = 0; i < count; i++) {
    lines += "Child" + std::to_string(i) + ", 1, 1, nil, nil, 0, 0; c" + std::to_string(i) + "\n";
  }
  return lines;
}

TEST_F(LinkTest, HundredDependantsAreAccepted) {
  LoadAdvances(RootChildren(100));
  EXPECT_EQ(RootAdvance.childCount, 100);
  EXPECT_STREQ(RootAdvance.children[99]->name, "Child99");
  // Adding one of them again is no error and changes nothing.
  AddDependant(&RootAdvance, RootAdvance.children[57]);
  EXPECT_EQ(RootAdvance.childCount, 100);
  AddDependant(nullptr, &FirstAdvance);  // no prerequisite: no crash and no fatal error
}

TEST_F(LinkTest, HundredAndFirstDependantIsFatal) {
  EXPECT_FATAL(Load(RulesText(RootChildren(101), "")), 1,
               " More than 100 advances directly linked to \"Primary Root\"");
}

TEST_F(LinkTest, FullAdvanceIsNamedInTheMessage) {
  std::string lines = "Hub, 1, 1, nil, nil, 0, 0; Hub\n";
  for (int i = 0; i < 101; i++) {
    lines += "Spoke" + std::to_string(i) + ", 1, 1, Hub, Hub, 0, 0; s" + std::to_string(i) + "\n";
  }
  EXPECT_FATAL(Load(RulesText(lines, "")), 1, " More than 100 advances directly linked to \"Hub\"");
}

}  // namespace
