// Chart metrics from the font's metrics and the level statistics.
#include <stdint.h>

#include <string>

#include "TestSupport.h"
#include "chart/Metrics.h"

namespace {

class MetricsTest : public RulesTest {
 protected:
  void SetLevels(int32_t maxLevel, int32_t maxLevelCount, std::initializer_list<int32_t> units) {
    MaxLevel = maxLevel;
    MaxLevelCount = maxLevelCount;
    int level = 0;
    for (int32_t count : units) LevelMaxUnits[level++] = count;
  }
};

TEST_F(MetricsTest, ThreeLevelsFiveBoxesWide) {
  SetLevels(2, 5, {0, 2, 1});
  SetChartMetrics(9, 13, 0);
  EXPECT_EQ(CharWidth, 9);
  EXPECT_EQ(BoxWidth, 117);
  EXPECT_EQ(ColumnGap, 58);
  EXPECT_EQ(LineHeight, 13);
  EXPECT_EQ(RowGap, 104);
  EXPECT_EQ(LevelHeight[0], 26);
  EXPECT_EQ(LevelHeight[1], 91);
  EXPECT_EQ(LevelHeight[2], 65);
  EXPECT_EQ(LevelHeight[3], 0);
  EXPECT_EQ(ChartWidth, 875);
  EXPECT_EQ(ChartHeight, 494);
  EXPECT_EQ(ChartLines, 38);
}

TEST_F(MetricsTest, ExternalLeadingIsPartOfTheLine) {
  SetLevels(0, 1, {0});
  SetChartMetrics(8, 13, 3);
  EXPECT_EQ(LineHeight, 16);
  EXPECT_EQ(RowGap, 128);
  EXPECT_EQ(BoxWidth, 104);
  EXPECT_EQ(ColumnGap, 52);
  EXPECT_EQ(ChartHeight, 160);
  EXPECT_EQ(ChartLines, 10);
}

TEST_F(MetricsTest, RootAloneIsTenLinesHigh) {
  Load(RulesText("", ""));
  SetChartMetrics(9, 13, 0);
  EXPECT_EQ(ChartWidth, 117 + 58);
  EXPECT_EQ(ChartHeight, 10 * 13);
  EXPECT_EQ(ChartLines, 10);
}

TEST_F(MetricsTest, OneUnitGivesFiveLines) {
  Load(RulesText("A, 1, 1, nil, nil, 0, 0; A\n", "U, nil, 0, 1, 0, 1, 1, 1, 1, 1, 0, 0, A, 0\n"));
  SetChartMetrics(7, 11, 1);
  EXPECT_EQ(LevelHeight[0], 2 * 12);
  EXPECT_EQ(LevelHeight[1], 5 * 12);
  EXPECT_EQ(ChartHeight, 2 * 12 + 5 * 12 + 2 * 8 * 12);
  EXPECT_EQ(ChartLines, 2 + 5 + 16);
}

TEST_F(MetricsTest, HundredUnitsOnEveryLevel) {
  SetLevels(99, 100, {});
  for (int level = 0; level < MAX_LEVELS; level++) LevelMaxUnits[level] = 100;
  SetChartMetrics(9, 13, 0);
  EXPECT_EQ(LevelHeight[99], 203 * 13);
  EXPECT_EQ(ChartHeight, 100 * (203 * 13 + 104));
  EXPECT_EQ(ChartWidth, 175 * 100);
}

TEST_F(MetricsTest, FontWithoutSizeIsFatal) {
  struct Case {
    int32_t width, height, leading;
  } cases[] = {{0, 13, 0}, {-9, 13, 0}, {9, 0, 0}, {9, -5, 3}, {9, 10, -10}, {INT32_MIN, 1, 0}};
  for (const Case& c : cases) {
    SetLevels(0, 1, {0});
    EXPECT_FATAL(SetChartMetrics(c.width, c.height, c.leading), 1,
                 "The chart font \"MS Sans Serif\" has no usable size");
  }
}

TEST_F(MetricsTest, ChartPast32BitsIsFatal) {
  const std::string message = "The chart would be larger than 2147483647 pixels";
  SetLevels(0, 1, {0});
  EXPECT_FATAL(SetChartMetrics(200000000, 13, 0), 1, message);  // BoxWidth
  EXPECT_FATAL(SetChartMetrics(9, INT32_MAX, 1), 1, message);   // LineHeight
  EXPECT_FATAL(SetChartMetrics(9, 300000000, 0), 1, message);   // RowGap
  SetLevels(0, 20000000, {0});
  EXPECT_FATAL(SetChartMetrics(9, 13, 0), 1, message);  // ChartWidth
  SetLevels(99, 1, {});
  for (int level = 0; level < MAX_LEVELS; level++) LevelMaxUnits[level] = 100;
  EXPECT_FATAL(SetChartMetrics(9, 110000, 0), 1, message);  // ChartHeight
  SetChartMetrics(9, 100000, 0);                            // just inside
  EXPECT_EQ(ChartHeight, 100 * (203 * 100000 + 800000));
}

}  // namespace
