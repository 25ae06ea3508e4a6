// How Print cuts the chart into strips and where each lands on the page.
#include <gtest/gtest.h>
#include <stdint.h>

#include <vector>

#include "app/PrintStrips.h"

namespace {

// The strips that Print's walk hands to StretchBlt on one page.
void Record(const PrintStrip* strip, void* strips) {
  static_cast<std::vector<PrintStrip>*>(strips)->push_back(*strip);
}

std::vector<PrintStrip> PrintPage(int32_t chartWidth, int32_t chartHeight, int32_t horzRes,
                                  int32_t vertRes, int page) {
  std::vector<PrintStrip> printed;
  PrintPageStrips(chartWidth, chartHeight, PrintScale(horzRes, chartWidth), vertRes, page, Record,
                  &printed);
  return printed;
}

TEST(PrintScale, IsSinglePrecision) {
  float scale = PrintScale(4800, 1234);
  EXPECT_EQ(scale, 3.8897893f);
  // In double precision the quotient differs from the stored scale.
  EXPECT_NE((double)scale, 4800.0 / 1234.0);
  EXPECT_EQ(PrintScale(4800, 1500), 3.2f);
}

struct StripCase {
  int32_t chartWidth;
  std::vector<int32_t> widths;  // of the strips copied, each one column less than cut
};

class StripWidths : public ::testing::TestWithParam<StripCase> {};

TEST_P(StripWidths, FiveHundredColumnsLessForTheLast) {
  const StripCase& c = GetParam();
  for (int page = 0; page < 2; ++page) {
    std::vector<int32_t> widths;
    for (const PrintStrip& strip : PrintPage(c.chartWidth, 495, 4800, 6000, page)) {
      EXPECT_EQ(strip.srcLeft, (int32_t)widths.size() * PRINT_STRIP_COLUMNS) << "page " << page;
      widths.push_back(strip.srcWidth);
    }
    EXPECT_EQ(widths, c.widths) << "page " << page;
  }
}

// The only strip of a chart one column wide copies nothing and is skipped
// (501 columns: SingleColumnStripIsSkipped).
INSTANTIATE_TEST_SUITE_P(Charts, StripWidths,
                         ::testing::Values(StripCase{1234, {499, 499, 233}},
                                           StripCase{1500, {499, 499, 499}}, StripCase{500, {499}},
                                           StripCase{499, {498}}, StripCase{875, {499, 374}},
                                           StripCase{1, {}}));

TEST(PrintStrips, ChartOf1234OnHorzRes4800) {
  std::vector<PrintStrip> upper = PrintPage(1234, 495, 4800, 6000, 0);
  ASSERT_EQ(upper.size(), 3u);
  const int32_t destLeft[] = {0, 1944, 3889};
  const int32_t destWidth[] = {1943, 1943, 909};
  const int32_t srcLeft[] = {0, 500, 1000};
  const int32_t srcWidth[] = {499, 499, 233};  // each leaves out its last column
  for (size_t i = 0; i < 3; ++i) {
    const PrintStrip& s = upper[i];
    EXPECT_EQ(s.destLeft, destLeft[i]) << i;
    EXPECT_EQ(s.destTop, 0) << i;
    EXPECT_EQ(s.destWidth, destWidth[i]) << i;
    EXPECT_EQ(s.destHeight, 5999) << i;
    EXPECT_EQ(s.srcLeft, srcLeft[i]) << i;
    EXPECT_EQ(s.srcWidth, srcWidth[i]) << i;
  }
}

TEST(PrintStrips, HalvesOfAnOddHeight) {
  // 495 rows: page one takes rows 0 to 246, page two rows 247 to 492.
  PrintStrip strip;
  float scale = PrintScale(4800, 1234);
  ASSERT_TRUE(ComputePrintStrip(0, 1234, 495, scale, 6000, 0, &strip));
  EXPECT_EQ(strip.srcTop, 0);
  EXPECT_EQ(strip.srcHeight, 247);
  ASSERT_TRUE(ComputePrintStrip(0, 1234, 495, scale, 6000, 1, &strip));
  EXPECT_EQ(strip.srcTop, 247);
  EXPECT_EQ(strip.srcHeight, 246);
  EXPECT_EQ(strip.destHeight, 5999);
}

TEST(PrintStrips, HalvesOfAnEvenHeight) {
  PrintStrip strip;
  ASSERT_TRUE(ComputePrintStrip(0, 875, 494, PrintScale(4800, 875), 6600, 1, &strip));
  EXPECT_EQ(strip.srcTop, 247);
  EXPECT_EQ(strip.srcHeight, 246);
  EXPECT_EQ(strip.destHeight, 6599);
}

TEST(PrintStrips, SingleColumnStripIsSkipped) {
  // 501 columns: the second strip has one column, a source width of 0.
  for (int page = 0; page < 2; ++page) {
    std::vector<PrintStrip> printed = PrintPage(501, 495, 4800, 6000, page);
    ASSERT_EQ(printed.size(), 1u) << "page " << page;
    EXPECT_EQ(printed[0].srcWidth, 499);
    EXPECT_EQ(printed[0].destWidth, 4789);
  }
  PrintStrip strip;
  EXPECT_FALSE(ComputePrintStrip(500, 501, 495, PrintScale(4800, 501), 6000, 0, &strip));
  EXPECT_EQ(strip.srcWidth, 0);
  EXPECT_EQ(strip.destLeft, 4790);
}

TEST(PrintStrips, ExactMultipleOfFiveHundred) {
  std::vector<PrintStrip> lower = PrintPage(1500, 494, 4800, 6000, 1);
  ASSERT_EQ(lower.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(lower[i].destLeft, (int32_t)(1600 * i));
    EXPECT_EQ(lower[i].destWidth, 1599);
    EXPECT_EQ(lower[i].srcWidth, 499);
    EXPECT_EQ(lower[i].srcTop, 247);
  }
}

TEST(PrintStrips, LastStripOfTheWidestChartDoesNotWrap) {
  const int32_t widest = INT32_MAX;
  int32_t last = widest - widest % PRINT_STRIP_COLUMNS;
  EXPECT_EQ(PrintStripWidth(last, widest), widest % PRINT_STRIP_COLUMNS);
  EXPECT_EQ(PrintStripWidth(last - PRINT_STRIP_COLUMNS, widest), PRINT_STRIP_COLUMNS);
  PrintStrip strip;
  ASSERT_TRUE(ComputePrintStrip(last, widest, 1000, PrintScale(4800, widest), 6000, 0, &strip));
  EXPECT_EQ(strip.srcLeft, last);
  EXPECT_EQ(strip.srcWidth, widest % PRINT_STRIP_COLUMNS - 1);
  EXPECT_LE(strip.destLeft, 4800);
}

TEST(PrintStrips, ChartOfOneRowPrintsNothing) {
  // Half of one row is 0 rows: neither page has anything to copy.
  EXPECT_TRUE(PrintPage(875, 1, 4800, 6000, 0).empty());
  EXPECT_TRUE(PrintPage(875, 1, 4800, 6000, 1).empty());
}

}  // namespace
