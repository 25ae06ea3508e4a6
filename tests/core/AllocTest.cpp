// Running out of memory during the load, and loading many files in one
// process.
#include <string.h>

#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "chart/Metrics.h"
#include "graph/Levels.h"
#include "load/LoadRules.h"
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

TEST_F(AllocTest, RecordsNeverShareBytes) {
  // Sizes around the alignment unit, a load's records, and records large
  // enough for a block of their own, over several blocks.
  const size_t sizes[] = {1,    7,    8,    9,    16,    sizeof(TextLine), sizeof(Advance),
                          2031, 2032, 2047, 2048, 70000, sizeof(UnitType), 24};
  std::vector<std::pair<unsigned char*, size_t>> records;
  for (int round = 0; round < 20; round++) {
    for (size_t size : sizes) {
      unsigned char* record = static_cast<unsigned char*>(AllocRecord(size));
      ASSERT_EQ(reinterpret_cast<uintptr_t>(record) % alignof(long long), 0u) << size;
      ASSERT_EQ(reinterpret_cast<uintptr_t>(record) % alignof(Advance), 0u) << size;
      for (size_t i = 0; i < size; i++) ASSERT_EQ(record[i], 0) << size << " " << i;
      // Each record is filled with its own byte; an overlap shows below.
      memset(record, (int)(records.size() % 251) + 1, size);
      records.push_back({record, size});
    }
  }
  for (size_t r = 0; r < records.size(); r++) {
    unsigned char* record = records[r].first;
    for (size_t i = 0; i < records[r].second; i++) {
      ASSERT_EQ(record[i], (unsigned char)(r % 251 + 1)) << r << " " << i;
    }
  }
  // Freed and carved again: zero-filled again.
  FreeRecords();
  for (size_t size : sizes) {
    unsigned char* record = static_cast<unsigned char*>(AllocRecord(size));
    for (size_t i = 0; i < size; i++) ASSERT_EQ(record[i], 0) << size << " " << i;
  }
}

#if defined(__SANITIZE_ADDRESS__)
TEST_F(AllocTest, OverrunPastARecordIsCaught) {
  // Records share blocks; the bytes between them are still off limits.
  for (size_t size : {sizeof(TextLine), sizeof(Advance), (size_t)13, (size_t)16}) {
    SCOPED_TRACE(size);
    char* record = static_cast<char*>(AllocRecord(size));
    AllocRecord(size);
    EXPECT_DEATH(static_cast<volatile char*>(record)[size] = 1, "AddressSanitizer");
  }
}
#endif

TEST_F(AllocTest, ResetRulesForgetsTheWholeLoad) {
  std::string text = RulesText(kAdvances, kUnits);
  Load(text);
  ScreenWidth = 640;
  SetChartMetrics(9, 13, 0);
  ResetRules();
  EXPECT_EQ(MaxLevel, 0);
  EXPECT_EQ(MaxLevelCount, 0);
  EXPECT_EQ(LevelCount[1], 0);
  EXPECT_EQ(ScreenWidth, 0);
  EXPECT_EQ(LineHeight, 0);
  EXPECT_EQ(LevelHeight[0], 0);
  EXPECT_EQ(ChartWidth, 0);
  EXPECT_EQ(RootAdvance.next, nullptr);
  EXPECT_EQ(RootAdvance.childCount, 0);
  EXPECT_STREQ(RootAdvance.name, "Primary Root");
  EXPECT_STREQ(RootAdvance.code, "nil");
  EXPECT_EQ(FirstAdvance.name[0], '\0');
  EXPECT_EQ(FirstUnitType.name[0], '\0');
  EXPECT_EQ(AdvanceLines.next, nullptr);
  EXPECT_EQ(UnitLines.next, nullptr);

  Load(text);
  EXPECT_EQ(MaxLevel, 2);
  EXPECT_EQ(MaxLevelCount, 1);
  EXPECT_EQ(LevelCount[0], 1);
  EXPECT_EQ(RootAdvance.childCount, 2);  // A, and B through its second code
  EXPECT_EQ(LevelMaxUnits[2], 1);
}

}  // namespace
