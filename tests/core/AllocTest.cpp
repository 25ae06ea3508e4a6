// Running out of memory during the load, and loading many files in one
// process.
#include <string>

#include "TestSupport.h"
#include "graph/Levels.h"
#include "graph/LoadRules.h"
#include "rules/Alloc.h"
#include "rules/UnitType.h"

namespace {

class AllocTest : public RulesTest {};

// Three section lines, two advances, one unit and the index of the
// advance codes: seven allocations.
const char kAdvances[] =
    "A, 1, 1, nil, nil, 0, 0; A\n"
    "B, 1, 1, A, nil, 1, 1; B\n";
const char kUnits[] = "U, nil, 0, 1, 0, 1, 1, 1, 1, 1, 0, 0, B, 0\n";

TEST_F(AllocTest, EveryAllocationFailureIsFatal) {
  std::string text = RulesText(kAdvances, kUnits);
  for (long allowed = 0; allowed < 7; allowed++) {
    SCOPED_TRACE(allowed);
    std::string path = WriteFile(text);
    AllocFailAfter = allowed;
    EXPECT_FATAL(LoadRules(path.c_str()), 1, "Not enough memory to load the rules file");
    ResetRules();
  }
  AllocFailAfter = 7;
  Load(text);
  EXPECT_EQ(MaxLevel, 2);
  EXPECT_STREQ(FirstAdvance.next->units[0]->name, "U");
}

TEST_F(AllocTest, HugeRequestIsFatal) {
  EXPECT_FATAL(AllocRecord((size_t)-1), 1, "Not enough memory to load the rules file");
}

TEST_F(AllocTest, RecordsAreZeroFilled) {
  unsigned char* block = static_cast<unsigned char*>(AllocRecord(1000));
  for (int i = 0; i < 1000; i++) ASSERT_EQ(block[i], 0) << i;
  // Aligned for every member type of the records.
  for (size_t alignment : {alignof(Advance), alignof(UnitType), alignof(TextLine),
                           alignof(long long), alignof(double)}) {
    EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % alignment, 0u) << alignment;
  }
}

TEST_F(AllocTest, ResetRulesForgetsTheWholeLoad) {
  std::string text = RulesText(kAdvances, kUnits);
  Load(text);
  ResetRules();
  EXPECT_EQ(MaxLevel, 0);
  EXPECT_EQ(MaxLevelCount, 0);
  EXPECT_EQ(RootAdvance.next, nullptr);
  EXPECT_EQ(RootAdvance.childCount, 0);
  EXPECT_STREQ(RootAdvance.name, "Primary Root");
  EXPECT_STREQ(RootAdvance.code, "nil");
  EXPECT_EQ(FirstAdvance.name[0], '\0');
  EXPECT_EQ(FirstUnitType.name[0], '\0');
  EXPECT_EQ(AdvanceLines.next, nullptr);

  Load(text);
  EXPECT_EQ(MaxLevel, 2);
  EXPECT_EQ(MaxLevelCount, 1);
  EXPECT_EQ(LevelCount[0], 1);
  EXPECT_EQ(RootAdvance.childCount, 2);  // A, and B through its second code
  EXPECT_EQ(LevelMaxUnits[2], 1);
}

}  // namespace
