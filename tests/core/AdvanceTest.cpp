// Advance lines into advance records.
#include <string.h>

#include <string>

#include "TestSupport.h"

namespace {

class AdvanceTest : public RulesTest {
 protected:
  void LoadAdvances(const std::string& lines) { Load(RulesText(lines, "")); }
};

bool IsAllZero(const Advance& advance) {
  static const Advance zero = {};
  return memcmp(&advance, &zero, sizeof advance) == 0;
}

TEST_F(AdvanceTest, ReadsEveryField) {
  LoadAdvances("Alpha Study, 3, 1, nil, nil, 0, 3 ; ASt\n");
  EXPECT_STREQ(FirstAdvance.name, "Alpha Study");
  EXPECT_EQ(FirstAdvance.aiValue, 3);
  EXPECT_EQ(FirstAdvance.modifier, 1);
  EXPECT_STREQ(FirstAdvance.prereqCode1, "nil");
  EXPECT_STREQ(FirstAdvance.prereqCode2, "nil");
  EXPECT_EQ(FirstAdvance.epoch, 0);
  EXPECT_EQ(FirstAdvance.category, 3);
  EXPECT_STREQ(FirstAdvance.code, "ASt");
}

TEST_F(AdvanceTest, OwnCodeIsTheNextThreeCharacters) {
  struct Case {
    const char* tail;
    const char* code;
  } cases[] = {
      {"; ABCD", "ABC"},   {";X", "X"}, {";    Xy", "Xy"}, {"; A B", "A B"},
      {"; Ab\tc", "Ab\t"}, {";", ""},   {"; ;,x", ";,x"},  {";\tnil", "nil"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tail);
    LoadAdvances(std::string("Some, 1, 2, nil, nil, 0, 0") + c.tail + "\n");
    EXPECT_STREQ(FirstAdvance.code, c.code);
    ResetRules();
  }
}

TEST_F(AdvanceTest, EpochAndCategoryKeepTheirLowEightBits) {
  struct Case {
    const char* epoch;
    const char* category;
    uint8_t storedEpoch;
    uint8_t storedCategory;
  } cases[] = {
      {"256", "7", 0, 7},
      {"-1", "4", 255, 4},
      {"3", "-256", 3, 0},
      {"513", "300", 1, 44},
  };
  for (const auto& c : cases) {
    LoadAdvances(std::string("Some, 1, 2, nil, nil, ") + c.epoch + ", " + c.category + "; S\n");
    EXPECT_EQ(FirstAdvance.epoch, c.storedEpoch) << c.epoch;
    EXPECT_EQ(FirstAdvance.category, c.storedCategory) << c.category;
    ResetRules();
  }
}

TEST_F(AdvanceTest, NamesOfNineteenCharactersAreKeptLongerOnesCut) {
  LoadAdvances(
      "Nineteen Characters, 1, 2, nil, nil, 0, 0; N19\n"
      "Twenty-five Characters Xy, 1, 2, nil, nil, 0, 0; N25\n"
      "   Leading, 1, 2, nil, nil, 0, 0; Lea\n");
  Advance* first = &FirstAdvance;
  EXPECT_STREQ(first->name, "Nineteen Characters");
  EXPECT_STREQ(first->next->name, "Twenty-five Charact");
  EXPECT_STREQ(first->next->code, "N25");  // the rest of the line is still read
  EXPECT_STREQ(first->next->next->name, "Leading");
}

TEST_F(AdvanceTest, ThreeLinesGiveFourRecords) {
  LoadAdvances(
      "A, 1, 1, nil, nil, 0, 0; A\n"
      "B, 2, 2, A, nil, 1, 1; B\n"
      "C, 3, 3, B, A, 2, 2; C\n");
  const Advance* a = &FirstAdvance;
  const char* names[] = {"A", "B", "C"};
  for (const char* name : names) {
    ASSERT_NE(a, nullptr);
    EXPECT_STREQ(a->name, name);
    a = a->next;
  }
  ASSERT_NE(a, nullptr);
  EXPECT_TRUE(IsAllZero(*a));
}

TEST_F(AdvanceTest, EmptySectionLeavesFirstAdvanceEmpty) {
  LoadAdvances("");
  EXPECT_TRUE(IsAllZero(FirstAdvance));
}

TEST_F(AdvanceTest, DuplicateCodesAreBothStoredInFileOrder) {
  LoadAdvances(
      "First, 1, 1, nil, nil, 0, 0; Dup\n"
      "Second, 2, 2, nil, nil, 0, 0; Dup\n");
  EXPECT_STREQ(FirstAdvance.name, "First");
  EXPECT_STREQ(FirstAdvance.next->name, "Second");
  EXPECT_STREQ(FirstAdvance.next->code, "Dup");
}

TEST_F(AdvanceTest, BlankBeforeACommaBelongsToTheCode) {
  LoadAdvances(
      "Base, 1, 1, nil, nil, 0, 0; ab\n"
      "Next, 1, 1, ab , ab, 0, 0; nx\n");
  Advance* next = FirstAdvance.next;
  EXPECT_STREQ(next->prereqCode1, "ab ");
  EXPECT_STREQ(next->prereqCode2, "ab");
  EXPECT_EQ(next->prereq1, nullptr);
  EXPECT_EQ(next->prereq2, &FirstAdvance);
}

TEST_F(AdvanceTest, LongPrerequisiteCodesAreRefused) {
  struct Case {
    const char* line;
    const char* code;
  } cases[] = {
      {"Long, 1, 1, abcd, nil, 0, 0; L", "abcd"},
      {"Long, 1, 1, nil, abc , 0, 0; L", "abc "},
      {"Long, 1, 1, nil,   xy  z, 0, 0; L", "xy  z"},
  };
  for (const auto& c : cases) {
    EXPECT_FATAL(Load(RulesText(std::string(c.line) + "\n", "")), 1,
                 std::string("Code \"") + c.code +
                     "\" is longer than 3 characters in advance line \"" + c.line + "\"");
    ResetRules();
  }
}

TEST_F(AdvanceTest, MissingDelimitersAreRefused) {
  struct Case {
    const char* line;
    const char* delimiter;
  } cases[] = {
      {"Alpha", ","},
      {"Alpha, 3", ","},
      {"Alpha, 3, 1", ","},
      {"Alpha, 3, 1, nil", ","},
      {"Alpha, 3, 1, nil, nil", ","},
      {"Alpha, 3, 1, nil, nil, 0", ","},
      {"Alpha, 3, 1, nil, nil, 0, 3 ASt", ";"},
      {"Alpha, 3, 1, nil, nil, 0; 3, ASt", ";"},  // the epoch takes "0; 3"
  };
  for (const auto& c : cases) {
    EXPECT_FATAL(Load(RulesText(std::string(c.line) + "\n", "")), 1,
                 std::string("Missing \"") + c.delimiter + "\" in advance line \"" + c.line + "\"");
    ResetRules();
  }
}

TEST_F(AdvanceTest, RefusedLineInTheMiddleNamesThatLine) {
  EXPECT_FATAL(Load(RulesText("Good, 1, 1, nil, nil, 0, 0; G\nBad 1 1 nil nil 0 0; B\n"
                              "Good2, 1, 1, nil, nil, 0, 0; H\n",
                              "")),
               1, "Missing \",\" in advance line \"Bad 1 1 nil nil 0 0; B\"");
}

// An empty name would end the advance list there and leave every later
// advance out of the chart, so the line is refused, blank or not.
TEST_F(AdvanceTest, LineWithoutANameIsRefused) {
  for (const char* line : {", 1, 1, nil, nil, 0, 0; E", "  \t , 1, 1, nil, nil, 0, 0; E"}) {
    EXPECT_FATAL(Load(RulesText(std::string("Alpha, 1, 1, nil, nil, 0, 0; A\n") + line +
                                    "\nOmega, 1, 1, A, nil, 0, 0; O\n",
                                "")),
                 1, std::string("Missing name in advance line \"") + line + "\"");
    ResetRules();
  }
}

}  // namespace
