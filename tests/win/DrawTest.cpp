// The chart drawn against the system's real GDI into a memory device
// context, with the example rules and a 9 x 13 font: CharWidth 9, BoxWidth
// 117, ColumnGap 58, LineHeight 13, RowGap 104, LevelHeight 26, 91, 65.
#include <string.h>

#include <string>

#include "WinTestSupport.h"
#include "chart/ChartText.h"
#include "chart/Draw.h"
#include "chart/Metrics.h"
#include "graph/Levels.h"
#include "rules/Advance.h"
#include "rules/TextBuffer.h"
#include "rules/UnitType.h"

namespace {

// Draws text alone into a fresh canvas of the same size, with the chart's
// text settings, to compare with the chart's pixels.
struct Reference {
  Canvas canvas;
  Reference(int width, int height) { canvas.Open(width, height); }
  ~Reference() { canvas.Close(); }
  void Text(HFONT font, int x, int y, const char* text) {
    SelectObject(canvas.dc, font);
    TextOutA(canvas.dc, x, y, text, (int)strlen(text));
  }
};

// Counts the pixels of the rectangle that differ between the two canvases.
int Differences(const Canvas& a, const Canvas& b, int left, int top, int right, int bottom) {
  int count = 0;
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) count += a.At(x, y) != b.At(x, y);
  }
  return count;
}

int Count(const Canvas& c, COLORREF colour, int left, int top, int right, int bottom) {
  int count = 0;
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) count += c.At(x, y) == colour;
  }
  return count;
}

// The leftmost and rightmost x of a colour in one row, or -1.
struct Span {
  int first = -1;
  int last = -1;
};
Span SpanInRow(const Canvas& c, COLORREF colour, int y, int left, int right) {
  Span span;
  for (int x = left; x < right; ++x) {
    if (c.At(x, y) != colour) continue;
    if (span.first < 0) span.first = x;
    span.last = x;
  }
  return span;
}

class DrawTest : public RulesTest {
 protected:
  Canvas chart;

  void SetUp() override {
    Load(EXAMPLE_RULES);
    SetChartMetrics(9, 13, 0);
    CreateChartObjects();
  }
  void TearDown() override {
    DeleteChartObjects(chart.dc);
    chart.Close();
    RulesTest::TearDown();
  }
  void DrawWholeChart() {
    chart.Open(ChartWidth, ChartHeight);
    DrawChart(chart.dc, &RootAdvance);
  }
};

// The rows behind the metrics above (tests/core checks the metrics that
// such rows give).
TEST_F(DrawTest, FixtureHasTheExampleRows) {
  EXPECT_EQ(MaxLevel, 2);
  EXPECT_EQ(MaxLevelCount, 5);
  const int32_t counts[] = {1, 5, 4}, units[] = {0, 2, 1};
  for (int level = 0; level < 3; ++level) {
    EXPECT_EQ(LevelCount[level], counts[level]) << level;
    EXPECT_EQ(LevelMaxUnits[level], units[level]) << level;
  }
  EXPECT_EQ(ChartWidth, 875);
  EXPECT_EQ(ChartHeight, 494);
}

TEST_F(DrawTest, RowsAndBoxesArePlaced) {
  DrawWholeChart();
  struct {
    const char* name;
    int x, y;
  } const boxes[] = {
      {"Primary Root", 359, 13}, {"Alpha One", 9, 143},    {"Alpha Two", 184, 143},
      {"Alpha Three", 359, 143}, {"Alpha Four", 534, 143}, {"Alpha Five", 709, 143},
      {"Beta One", 96, 338},     {"Beta Two", 271, 338},   {"Beta Three", 446, 338},
      {"Beta Four", 621, 338},
  };
  for (const auto& box : boxes) {
    Advance* a = AdvanceNamed(box.name);
    ASSERT_NE(a, nullptr) << box.name;
    EXPECT_EQ(a->chartX, box.x) << box.name;
    EXPECT_EQ(a->chartY, box.y) << box.name;
    // Every box's top-left outline pixel sits at (x - 4, y - 6).
    EXPECT_EQ(chart.At(box.x - 4, box.y - 6), BLACK) << box.name;
    EXPECT_EQ(chart.At(box.x - 5, box.y - 6), WHITE) << box.name;
  }
}

TEST_F(DrawTest, FirstBoxOfLevelOne) {
  DrawWholeChart();
  // The rectangle from (5, 137) to (130, 240), right and bottom exclusive.
  for (int y = 137; y < 240; ++y) {
    EXPECT_EQ(chart.At(5, y), BLACK) << "left edge at y " << y;
    EXPECT_EQ(chart.At(129, y), BLACK) << "right edge at y " << y;
    EXPECT_EQ(chart.At(4, y), WHITE) << "left of the box at y " << y;
    EXPECT_EQ(chart.At(130, y), WHITE) << "right of the box at y " << y;
  }
  for (int x = 5; x < 130; ++x) {
    EXPECT_EQ(chart.At(x, 137), BLACK) << "top edge at x " << x;
    EXPECT_EQ(chart.At(x, 239), BLACK) << "bottom edge at x " << x;
    // Below it only the link from Beta One, which ends at (67, 239).
    COLORREF below = chart.At(x, 240);
    EXPECT_TRUE(below == WHITE || (below == RED && x >= 64 && x <= 70))
        << "below the box at x " << x;
  }
  // Inside, the margins above the name and below the last unit are white.
  EXPECT_EQ(Count(chart, WHITE, 6, 138, 129, 142), 123 * 4);
  EXPECT_EQ(Count(chart, WHITE, 6, 235, 129, 239), 123 * 4);
}

TEST_F(DrawTest, TextsOfTheFirstBoxOfLevelOne) {
  DrawWholeChart();
  Advance* first = AdvanceNamed("Alpha One");
  Reference expected(ChartWidth, ChartHeight);
  expected.Text(NameFont, 9, 142, "Alpha One");
  expected.Text(DetailFont, 9, 156, "Ancient Military (1, 0)");
  UnitType* spearmen = first->units[0];
  UnitType* archers = first->units[1];
  ASSERT_NE(spearmen, nullptr);
  ASSERT_NE(archers, nullptr);
  EXPECT_EQ(first->units[2], nullptr);
  int y = 182;
  for (UnitType* unit : {spearmen, archers}) {
    expected.Text(UnitFont, 9, y, unit->name);
    SIZE nameSize;
    SelectObject(expected.canvas.dc, UnitFont);
    GetTextExtentPoint32A(expected.canvas.dc, unit->name, (int)strlen(unit->name), &nameSize);
    FormatUnitCost(unit);
    expected.Text(DetailFont, 9 + nameSize.cx, y, TextBuffer);
    FormatFiguresLine(unit);
    expected.Text(DetailFont, 9, y + 13, TextBuffer);
    y += 26;
  }
  // Name, detail line, then the unit lines at y 182, 195, 208 and 221.
  EXPECT_EQ(Differences(chart, expected.canvas, 6, 138, 129, 170), 0);
  EXPECT_EQ(Differences(chart, expected.canvas, 6, 177, 129, 239), 0);
  EXPECT_GT(Count(chart, BLACK, 9, 142, 129, 155), 20) << "the name is drawn";
  EXPECT_GT(Count(chart, BLACK, 9, 221, 129, 234), 20) << "the last figures line is drawn";
  // The cost follows the name with a blank of its own.
  FormatUnitCost(spearmen);
  EXPECT_STREQ(TextBuffer, " 20c");
}

TEST_F(DrawTest, SeparatorsOnlyInLevelsWithUnits) {
  DrawWholeChart();
  struct {
    const char* name;
    int y;  // y + 2 x 13 + 6
    bool separated;
  } const cases[] = {
      {"Primary Root", 45, false},  // level 0 has no units
      {"Alpha One", 175, true},     // has units
      {"Alpha Two", 175, true},     // none of its own, but its level has
      {"Alpha Five", 175, true},   {"Beta One", 370, true}, {"Beta Two", 370, true},
  };
  for (const auto& c : cases) {
    Advance* a = AdvanceNamed(c.name);
    ASSERT_NE(a, nullptr);
    int left = a->chartX - 4;
    int right = a->chartX + 117 + 4;  // exclusive
    if (c.separated) {
      EXPECT_EQ(Count(chart, BLACK, left, c.y, right, c.y + 1), right - left) << c.name;
      EXPECT_EQ(chart.At(right, c.y), WHITE) << c.name << ": end point excluded";
      EXPECT_EQ(Count(chart, BLACK, left + 1, c.y + 1, right - 1, c.y + 7), 0)
          << c.name << ": nothing right under it";
    } else {
      // The links of the root's dependants arrive from x 400 on.
      EXPECT_EQ(Count(chart, BLACK, left, c.y, left + 40, c.y + 1), 0) << c.name;
    }
  }
  // A box with a separator but no units has nothing under it.
  Advance* two = AdvanceNamed("Alpha Two");
  EXPECT_EQ(Count(chart, WHITE, two->chartX - 3, 176, two->chartX + 120, 239), 123 * 63);
}

TEST_F(DrawTest, NearLinksAreSolidRed) {
  DrawWholeChart();
  // Alpha One's line to the root, the first of its six dependants: from
  // (65, 136) to (359 + 58 - (5 x 4) / 2, 44) = (407, 44), end excluded.
  Span start = SpanInRow(chart, RED, 136, 0, 200);
  EXPECT_EQ(start.first, 65);
  Span end = SpanInRow(chart, RED, 44, 300, 408);
  EXPECT_EQ(end.last, 406);
  for (int x = 65; x < 407; ++x) {
    int y = 136 - (x - 65) * 92 / 342;
    EXPECT_GT(Count(chart, RED, x, y - 2, x + 1, y + 3), 0) << "red at x " << x;
  }
  // Nothing but pure red and white along the way.
  for (int x = 75; x < 350; x += 7) {
    int y = 136 - (x - 65) * 92 / 342;
    for (int dy = -2; dy <= 1; ++dy) {
      COLORREF c = chart.At(x, y + dy);
      EXPECT_TRUE(c == RED || c == WHITE) << x << "," << y + dy << " is " << std::hex << c;
    }
  }
}

TEST_F(DrawTest, FarLinksAreDottedBlueAndLieOnTopOfTheRowsTheyCross) {
  DrawWholeChart();
  // Beta Four's second prerequisite is the root, two levels up: from
  // (621 + 58 + 4 - 2, 331) to (407 + 5 x 4, 44), dotted.
  Span start = SpanInRow(chart, BLUE, 331, 600, 760);
  EXPECT_GE(start.first, 680);
  EXPECT_LE(start.last, 681);
  int blue = 0, gaps = 0;
  for (int y = 250; y < 320; ++y) {  // between the rows, clear of other lines
    int x = 681 - (331 - y) * 254 / 287;
    int here = Count(chart, BLUE, x - 2, y, x + 3, y + 1);
    (here > 0 ? blue : gaps)++;
    EXPECT_EQ(Count(chart, RED, x - 2, y, x + 3, y + 1), 0) << "y " << y;
  }
  EXPECT_GT(blue, 15);
  EXPECT_GT(gaps, 15) << "the line is dotted";
  // It crosses Alpha Four's box (x 530 to 655) after the box was drawn.
  EXPECT_GT(Count(chart, BLUE, 531, 170, 654, 239), 10);
  // Its first prerequisite, one level up, is reached with the red pen.
  EXPECT_EQ(SpanInRow(chart, RED, 331, 600, 760).first, 677);
}

// One dependant drawn under a prerequisite placed by hand, to see where
// the lines of several dependants end.
class LinkEndTest : public DrawTest, public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(LinkEndTest, EndsSpreadAroundTheCentre) {
  int childCount = GetParam().first;
  int position = GetParam().second;
  Advance parent = {};
  Advance child = {};
  Advance others[4] = {};
  parent.level = 0;
  parent.chartX = 359;
  parent.chartY = 13;
  parent.childCount = childCount;
  for (int j = 0; j < childCount; ++j) parent.children[j] = j == position ? &child : &others[j];
  child.level = 1;
  child.prereq1 = &parent;
  child.prereq2 = &parent;  // the same record: one line only
  chart.Open(ChartWidth, ChartHeight);
  DrawAdvance(chart.dc, 9, 143, &child);
  EXPECT_EQ(child.chartX, 9);
  EXPECT_EQ(child.chartY, 143);
  // Ends 4 apart around 417: -6, -2, +2, +6 for four dependants.
  int endX = 417 + position * 4 - ((childCount - 1) * 4) / 2;
  EXPECT_EQ(SpanInRow(chart, RED, 136, 0, 200).first, 65);
  EXPECT_EQ(SpanInRow(chart, RED, 44, 300, 500).last, endX - 1);
  EXPECT_EQ(Count(chart, RED, 0, 0, ChartWidth, 44), 0) << "the end point is excluded";
  EXPECT_EQ(Count(chart, BLUE, 0, 0, ChartWidth, ChartHeight), 0);
}

INSTANTIATE_TEST_SUITE_P(Dependants, LinkEndTest,
                         ::testing::Values(std::make_pair(1, 0),    // centre, 417
                                           std::make_pair(3, 0),    // (413, 44)
                                           std::make_pair(3, 1),    // 417
                                           std::make_pair(3, 2),    // 421
                                           std::make_pair(4, 0),    // 411
                                           std::make_pair(4, 3)));  // 423

TEST_F(DrawTest, SecondPrerequisiteLeavesFourPixelsRight) {
  Advance nearPrereq = {};
  Advance farPrereq = {};
  Advance child = {};
  nearPrereq.level = 1;
  nearPrereq.chartX = 184;
  nearPrereq.chartY = 143;
  nearPrereq.childCount = 1;
  nearPrereq.children[0] = &child;
  farPrereq.level = 0;
  farPrereq.chartX = 359;
  farPrereq.chartY = 13;
  farPrereq.childCount = 1;
  farPrereq.children[0] = &child;
  child.level = 2;
  child.prereq1 = &nearPrereq;
  child.prereq2 = &farPrereq;
  chart.Open(ChartWidth, ChartHeight);
  DrawAdvance(chart.dc, 96, 338, &child);
  // First line from 96 + 58 - 2 = 152, the second from 156, both at y 331.
  EXPECT_EQ(SpanInRow(chart, RED, 331, 100, 200).first, 152);
  Span blue = SpanInRow(chart, BLUE, 331, 100, 200);
  EXPECT_EQ(blue.first, 156);
  // The red one ends at the bottom of the level-1 box, 143 + 91 + 6 - 1,
  // that point excluded: the steep line's last row is 240.
  EXPECT_GT(Count(chart, RED, 200, 240, 260, 241), 0);
  EXPECT_EQ(Count(chart, RED, 0, 0, ChartWidth, 240), 0);
}

TEST_F(DrawTest, HundredUnitsDrawHundredPairsOfLines) {
  static UnitType units[MAX_UNITS];
  Advance full = {};
  snprintf(full.name, sizeof full.name, "Full");
  full.level = 1;
  full.prereq1 = full.prereq2 = &RootAdvance;
  for (int k = 0; k < MAX_UNITS; ++k) {
    units[k] = UnitType{};
    snprintf(units[k].name, sizeof units[k].name, "U%d", k);
    full.units[k] = &units[k];
  }
  LevelHeight[1] = (2 * MAX_UNITS + 3) * 13;
  RootAdvance.childCount = 1;
  RootAdvance.children[0] = &full;
  chart.Open(300, 200 + LevelHeight[1]);
  DrawAdvance(chart.dc, 9, 20, &full);
  // Unit k's name at y 20 + (3 + 2k) x 13: the last, k 99, at 2658.
  int lastName = 20 + (3 + 2 * 99) * 13;
  EXPECT_GT(Count(chart, BLACK, 9, lastName, 120, lastName + 13), 5);
  EXPECT_GT(Count(chart, BLACK, 9, lastName + 13, 120, lastName + 26), 5);
  // Then only the box's bottom margin and edge, at y + H + 6 - 1.
  int bottom = 20 + LevelHeight[1] + 6 - 1;
  EXPECT_EQ(Count(chart, BLACK, 6, lastName + 26, 128, bottom), 0);
  EXPECT_EQ(chart.At(60, bottom), BLACK);
}

}  // namespace
