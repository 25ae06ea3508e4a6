// The shell's arithmetic without a window: the rules path from the command
// line, scroll ranges, pages and positions, the paint block, the About text.
#include <stdio.h>

#include <string>

#include "TestSupport.h"
#include "app/AboutText.h"
#include "app/StartUp.h"
#include "app/View.h"
#include "chart/Metrics.h"
#include "rules/Fatal.h"

namespace {

TEST(RulesPath, OnePathInQuotesLosesThemAnyOtherTailIsTakenWhole) {
  struct {
    const char* tail;
    const char* path;
  } const cases[] = {
      {"D:\\Rules\\RULES.TXT", "D:\\Rules\\RULES.TXT"},
      {"\"C:\\My Rules\\RULES.TXT\"", "C:\\My Rules\\RULES.TXT"},
      {"\"RULES.TXT\"", "RULES.TXT"},
      {"\"\"", ""},  // a quoted empty path: not the default
      {"\"", "\""},  // a lone quote has no closing one
      {"\"\"\"", "\"\"\""},
      {"\"RULES.TXT\"  ", "\"RULES.TXT\"  "},  // blanks after the closing quote
      {" \"RULES.TXT\"", " \"RULES.TXT\""},
      {"\"My \"Mods\"\\RULES.TXT\"", "\"My \"Mods\"\\RULES.TXT\""},  // quotes inside
      {"My \"Mods\"\\RULES.TXT", "My \"Mods\"\\RULES.TXT"},
      {"\"RULES.TXT", "\"RULES.TXT"},
      {"RULES.TXT\"", "RULES.TXT\""},
      {"RULES.TXT  ", "RULES.TXT  "},  // trailing blanks kept
      {" ", " "},
      {"", "C:\\KRN\\VEL2\\RULES.TXT"},
  };
  for (const auto& c : cases) {
    ChooseRulesPath(c.tail);
    EXPECT_STREQ(RulesPath, c.path) << "tail [" << c.tail << "]";
  }
}

TEST(RulesPath, LongestPathFitsLongerIsRefused) {
  std::string longest(255, 'x');
  ChooseRulesPath(longest.c_str());
  EXPECT_EQ(std::string(RulesPath), longest);
  // The quotes do not count: the path is what must fit.
  ChooseRulesPath(("\"" + std::string(255, 'q') + "\"").c_str());
  EXPECT_EQ(std::string(RulesPath), std::string(255, 'q'));
  std::string tooLong(256, 'y');
  for (const std::string& tail : {tooLong, "\"" + tooLong + "\""}) {
    ChooseRulesPath(longest.c_str());
    FatalError fatal = CatchFatal([&] { ChooseRulesPath(tail.c_str()); });
    EXPECT_EQ(fatal.code, 1);
    EXPECT_EQ(fatal.message, "Rules file path is longer than 255 characters");
    EXPECT_EQ(std::string(RulesPath), longest) << "not a cut path";
  }
  std::string huge(5000, 'z');
  EXPECT_EQ(CatchFatal([&] { ChooseRulesPath(huge.c_str()); }).code, 1);
}

TEST(ScrollRange, MaximumAndPageInWholeUnits) {
  struct {
    int32_t chart, clientPlusOne, unit, maximum, page;
  } const cases[] = {
      {875, 501, 9, 41, 55},                         // position 41 shows the chart from pixel 369
      {494, 331, 13, 12, 25},                        // remainders dropped
      {875, 875, 9, 0, 97},   {875, 876, 9, 0, 97},  // chart narrower by less than a unit
      {875, 884, 9, 0, 98},                          // by a whole unit: would be -1
      {214, 600, 11, 0, 54},  {100000, 1, 7, 14285, 0},
      {1284, 9, 11, 115, 0},  // a minimised window: no page
      {1284, 11, 11, 115, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.chart << " " << c.clientPlusOne << " " << c.unit);
    EXPECT_EQ(ScrollMaximum(c.chart, c.clientPlusOne, c.unit), c.maximum);
    EXPECT_EQ(ScrollPage(c.clientPlusOne, c.unit), c.page);
  }
}

TEST(ScrolledPosition, FollowsTheScrollCodes) {
  struct {
    int32_t position, maximum, page;
    unsigned code, thumb;
    int32_t expected;
  } const cases[] = {
      {5, 41, 55, SCROLL_LINE_UP, 0, 4},
      {0, 41, 55, SCROLL_LINE_UP, 0, 0},
      {5, 41, 55, SCROLL_LINE_DOWN, 0, 6},
      {41, 41, 55, SCROLL_LINE_DOWN, 0, 41},
      {30, 41, 55, SCROLL_PAGE_UP, 0, 0},
      {60, 80, 55, SCROLL_PAGE_UP, 0, 5},
      {10, 80, 55, SCROLL_PAGE_DOWN, 0, 65},
      {30, 80, 55, SCROLL_PAGE_DOWN, 0, 80},
      {7, 41, 0, SCROLL_PAGE_DOWN, 0, 7},  // a client narrower than one column
      {7, 41, 0, SCROLL_PAGE_UP, 0, 7},
      {7, 41, 55, SCROLL_THUMB_POSITION, 12, 12},
      {7, 41, 55, SCROLL_THUMB_TRACK, 0, 0},
      {7, 41, 55, SCROLL_THUMB_TRACK, 65535, 65535},  // taken unchanged
      {7, 41, 55, 6, 3, 7},                           // SB_TOP
      {7, 41, 55, 7, 3, 7},                           // SB_BOTTOM
      {7, 41, 55, 8, 3, 7},                           // SB_ENDSCROLL
      {7, 41, 55, 9, 3, 7},
      // Each move tests only the bound in its own direction.
      {50, 41, 55, SCROLL_LINE_UP, 0, 49},
      {0, 0, 55, SCROLL_LINE_DOWN, 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ScrolledPosition(c.position, c.maximum, c.page, c.code, c.thumb), c.expected)
        << "position " << c.position << " code " << c.code;
  }
}

// A paint plan as "block LEFT,TOP WIDTHxHEIGHT, white RECT RECT".
std::string Describe(const PaintPlan& p) {
  const PixelRect &r = p.beyondRight, &b = p.beyondBottom;
  char text[200];
  snprintf(text, sizeof text, "block %d,%d %dx%d, white %d,%d-%d,%d %d,%d-%d,%d", p.sourceLeft,
           p.sourceTop, p.width, p.height, r.left, r.top, r.right, r.bottom, b.left, b.top, b.right,
           b.bottom);
  return text;
}

TEST(PlanPaint, CopiesTheChartAtThePositionAndWhitensWhatLiesBeyond) {
  CharWidth = 9;
  LineHeight = 13;
  ScreenWidth = 1280;
  ScreenHeight = 1024;
  struct {
    int32_t chartWidth, chartHeight, column, line, paintRight, paintBottom;
    const char* plan;
  } const cases[] = {
      {875, 494, 0, 0, 600, 400, "block 0,0 875x494, white 875,0-1280,1024 0,494-875,1024"},
      {875, 494, 41, 12, 500, 400, "block 369,156 506x338, white 506,0-1280,1024 0,338-506,1024"},
      // A chart larger than the screen: a screen-sized block, nothing white.
      {3000, 2000, 2, 1, 600, 400,
       "block 18,13 1280x1024, white 1280,0-1280,1024 0,1024-1280,1024"},
      // A window larger than the screen: white to the paint area's edges.
      {214, 130, 0, 0, 1500, 1100, "block 0,0 214x130, white 214,0-1500,1100 0,130-214,1100"},
      // A thumb position past the chart copies nothing.
      {214, 130, 40, 20, 600, 400, "block 360,260 0x0, white 0,0-1280,1024 0,0-0,1024"},
  };
  for (const auto& c : cases) {
    ChartWidth = c.chartWidth;
    ChartHeight = c.chartHeight;
    PaintPlan plan;
    PlanPaint(c.column, c.line, c.paintRight, c.paintBottom, &plan);
    EXPECT_EQ(Describe(plan), c.plan) << c.chartWidth << " x " << c.chartHeight;
  }
}

TEST(AboutText, ShowsTheVersionAndTheFigures) {
  struct {
    int32_t width, height, bits;
    const char* size;
  } const cases[] = {
      {875, 494, 16, "864500"},
      {875, 494, 32, "1729000"},
      {3, 1, 1, "0"},                    // remainder dropped
      {65536, 32768, 32, "8589934592"},  // 8 GiB, past 32 bits
      {2147483647, 2147483647, 32, "18446744056529682436"},
  };
  for (const auto& c : cases) {
    FormatAboutText(c.width, c.height, c.bits);
    char expected[256];
    snprintf(expected, sizeof expected,
             "V1.1\n\nBitmap dimensions are %d x %d x %d bits.\nResulting bitmap size is %s bytes.",
             c.width, c.height, c.bits, c.size);
    EXPECT_STREQ(TextBuffer, expected);
  }
  FormatAboutText(875, 494, 16);
  EXPECT_STREQ(TextBuffer,
               "V1.1\n\nBitmap dimensions are 875 x 494 x 16 bits.\n"
               "Resulting bitmap size is 864500 bytes.");
}

}  // namespace
