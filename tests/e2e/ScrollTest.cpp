// Scrolling, resizing and painting of the real viewer: the scroll bars'
// ranges and positions, and the pixels of the client area against the
// chart drawn here with the same code.
#include "e2e_support.h"

namespace {

// wide.txt is 1284 x 884 pixels. With a client area of 500 x 400 pixels,
// ClientWidth is 501 and ClientHeight 401: the horizontal maximum is
// (1284 - 501) / 11 = 71 with a page of 501 / 11 = 45 columns, the vertical
// maximum (884 - 401) / 13 = 37 with a page of 401 / 13 = 30 lines.
enum { CLIENT_W = 500, CLIENT_H = 400, H_MAX = 71, H_PAGE = 45, V_MAX = 37, V_PAGE = 30 };

class WideChart : public ::testing::Test {
 public:
  Viewer viewer;
  Capture chart;
  void SetUp() override {
    ASSERT_TRUE(RenderChart(DataFile("wide.txt"), &chart));
    ASSERT_EQ(chart.width, 1284);
    ASSERT_EQ(chart.height, 884);
    ASSERT_TRUE(viewer.Open(DataFile("wide.txt")));
    ASSERT_TRUE(ResizeClient(viewer.window, CLIENT_W, CLIENT_H));
  }
  // Expects the view to show the chart at this scroll position.
  ::testing::AssertionResult ShowsPosition(int column, int line) {
    Capture view;
    ::testing::AssertionResult captured = viewer.CaptureView(&view);
    if (!captured) return captured;
    ::testing::AssertionResult shown = ShowsChartAt(view, chart, column, line);
    if (shown) return shown;
    int c = -1, l = -1;
    if (FindViewPosition(view, chart, &c, &l))
      return ::testing::AssertionFailure() << "the view shows column " << c << ", line " << l
                                           << " instead of " << column << ", " << line;
    return shown;
  }
};

TEST_F(WideChart, FirstViewShowsTheTopLeftBoxWhereTheDrawingPutsIt) {
  Capture view;
  ASSERT_TRUE(viewer.CaptureView(&view));
  // Row 1 is the widest (6 boxes), so its first box starts at x = CharWidth
  // 11, at y = 13 + 26 + 104 = 143, with 2 units: LevelHeight 91. The box
  // runs from (11 - 5, 143 - 6) to (11 + 143 + 5, 143 + 91 + 6), exclusive.
  const int left = 6, top = 137, right = 158, bottom = 239;
  for (int x = left; x <= right; x += 19) {
    EXPECT_EQ(PixelAt(view, x, top), PIXEL_BLACK) << x;
    EXPECT_EQ(PixelAt(view, x, bottom), PIXEL_BLACK) << x;
    EXPECT_EQ(PixelAt(view, x, bottom + 1), PIXEL_WHITE) << x;
  }
  for (int y = top; y <= bottom; y += 17) {
    EXPECT_EQ(PixelAt(view, left, y), PIXEL_BLACK) << y;
    EXPECT_EQ(PixelAt(view, right, y), PIXEL_BLACK) << y;
    EXPECT_EQ(PixelAt(view, left - 1, y), PIXEL_WHITE) << y;
    EXPECT_EQ(PixelAt(view, right + 1, y), PIXEL_WHITE) << y;
    EXPECT_EQ(PixelAt(view, left + 1, y + 1), PIXEL_WHITE) << y;
  }
  // Its one link to the root leaves at (11 + 71 - 2, 143 - 6 - 1) in red.
  EXPECT_EQ(PixelAt(view, 80, 136), PIXEL_RED);
  EXPECT_EQ(PixelAt(view, 79, 136), PIXEL_WHITE);
  // The separator under the detail line, at 143 + 26 + 6.
  EXPECT_EQ(PixelAt(view, 80, 175), PIXEL_BLACK);
  EXPECT_EQ(PixelAt(view, 80, 174), PIXEL_WHITE);
  // The name "Amber Craft" in black on the first text line.
  int ink = 0;
  for (int y = 142; y < 155; ++y)
    for (int x = 11; x < 80; ++x) ink += PixelAt(view, x, y) == PIXEL_BLACK;
  EXPECT_GT(ink, 40);
  EXPECT_TRUE(ShowsChartAt(view, chart, 0, 0));
}

struct Step {
  WORD code;
  WORD thumb;
  int position;  // expected afterwards
};

// The scroll table: lines, pages and the thumb, each clamped only in its
// own direction (so the page moves also find the maximum); codes 6, 7 and 8
// leave the position alone. The other bar stays at 0.
void RunSteps(WideChart* test, int bar, const std::vector<Step>& steps) {
  for (size_t i = 0; i < steps.size(); ++i) {
    const Step& step = steps[i];
    SCOPED_TRACE("step " + std::to_string(i) + ", code " + std::to_string(step.code));
    SendScroll(test->viewer.window, bar, step.code, step.thumb);
    if (bar == SB_HORZ)
      ASSERT_TRUE(test->ShowsPosition(step.position, 0));
    else
      ASSERT_TRUE(test->ShowsPosition(0, step.position));
  }
}

TEST_F(WideChart, HorizontalLinesPagesAndThumb) {
  RunSteps(this, SB_HORZ,
           {{SB_LINELEFT, 0, 0},
            {SB_PAGELEFT, 0, 0},
            {SB_LINERIGHT, 0, 1},
            {SB_PAGERIGHT, 0, 1 + H_PAGE},
            {SB_PAGERIGHT, 0, H_MAX},
            {SB_LINERIGHT, 0, H_MAX},
            {SB_PAGERIGHT, 0, H_MAX},
            {SB_LINELEFT, 0, H_MAX - 1},
            {SB_PAGELEFT, 0, H_MAX - 1 - H_PAGE},
            {SB_PAGELEFT, 0, 0},
            {SB_THUMBTRACK, 30, 30},
            {SB_THUMBPOSITION, 57, 57},
            {SB_LEFT, 0, 57},
            {SB_RIGHT, 0, 57},
            {SB_ENDSCROLL, 3, 57},
            // The thumb's position is taken unchanged, even past the
            // maximum: the view then shows white beyond the chart.
            {SB_THUMBTRACK, 100, 100},
            {SB_THUMBTRACK, 0, 0}});
}

TEST_F(WideChart, VerticalLinesPagesAndThumb) {
  RunSteps(this, SB_VERT,
           {{SB_LINEUP, 0, 0},
            {SB_PAGEUP, 0, 0},
            {SB_LINEDOWN, 0, 1},
            {SB_PAGEDOWN, 0, 1 + V_PAGE},
            {SB_PAGEDOWN, 0, V_MAX},
            {SB_LINEDOWN, 0, V_MAX},
            {SB_LINEUP, 0, V_MAX - 1},
            {SB_PAGEUP, 0, V_MAX - 1 - V_PAGE},
            {SB_PAGEUP, 0, 0},
            {SB_THUMBPOSITION, 20, 20},
            {SB_THUMBTRACK, 37, 37},
            {SB_TOP, 0, 37},
            {SB_BOTTOM, 0, 37},
            {SB_ENDSCROLL, 0, 37},
            {SB_THUMBPOSITION, 60, 60},
            {SB_LINEUP, 0, 59}});
}

TEST_F(WideChart, BothBarsTogetherShowTheBottomRightCorner) {
  SendScroll(viewer.window, SB_HORZ, SB_THUMBPOSITION, H_MAX);
  SendScroll(viewer.window, SB_VERT, SB_THUMBPOSITION, V_MAX);
  EXPECT_TRUE(ShowsPosition(H_MAX, V_MAX));
  // Kite Signals (row 5, alone, centred) links to the root with the
  // dotted blue pen; the view at the corner holds part of that line.
  Capture view;
  ASSERT_TRUE(viewer.CaptureView(&view));
  int blue = 0;
  for (unsigned int pixel : view.pixels) blue += pixel == PIXEL_BLUE;
  EXPECT_GT(blue, 0);
}

TEST_F(WideChart, LargerWindowBringsAPositionBeyondTheNewMaximumBack) {
  SendScroll(viewer.window, SB_HORZ, SB_THUMBPOSITION, H_MAX);
  SendScroll(viewer.window, SB_VERT, SB_THUMBPOSITION, V_MAX);
  ASSERT_TRUE(ShowsPosition(H_MAX, V_MAX));
  ASSERT_TRUE(ResizeClient(viewer.window, 800, 600));
  // The new maxima: (1284 - 801) / 11 = 43 and (884 - 601) / 13 = 21.
  EXPECT_TRUE(ShowsPosition(43, 21));
  // Those are the maxima: a line further changes nothing.
  SendScroll(viewer.window, SB_HORZ, SB_LINERIGHT, 0);
  SendScroll(viewer.window, SB_VERT, SB_LINEDOWN, 0);
  EXPECT_TRUE(ShowsPosition(43, 21));
  // A smaller window keeps the position, which lies inside its range.
  ASSERT_TRUE(ResizeClient(viewer.window, CLIENT_W, CLIENT_H));
  EXPECT_TRUE(ShowsPosition(43, 21));
  SendScroll(viewer.window, SB_HORZ, SB_LINERIGHT, 0);
  EXPECT_TRUE(ShowsPosition(44, 21));
}

TEST_F(WideChart, MinimisedWindowHasNoPage) {
  SendScroll(viewer.window, SB_HORZ, SB_THUMBPOSITION, 10);
  SendScroll(viewer.window, SB_VERT, SB_THUMBPOSITION, 10);
  ASSERT_TRUE(ShowsPosition(10, 10));
  ShowWindow(viewer.window, SW_MINIMIZE);
  RECT client = ClientRect(viewer.window);
  ASSERT_LT(client.right, CHAR_WIDTH - 1) << "not minimised";
  // ClientWidth below CharWidth and ClientHeight below LineHeight: pages
  // of 0; page moves change nothing, line moves still work.
  for (int bar : {SB_HORZ, SB_VERT}) {
    SendScroll(viewer.window, bar, SB_PAGEDOWN, 0);
    SendScroll(viewer.window, bar, SB_PAGEDOWN, 0);
    SendScroll(viewer.window, bar, SB_PAGEUP, 0);
  }
  SendScroll(viewer.window, SB_HORZ, SB_LINELEFT, 0);
  SendScroll(viewer.window, SB_VERT, SB_LINEDOWN, 0);
  ShowWindow(viewer.window, SW_RESTORE);
  ASSERT_TRUE(ResizeClient(viewer.window, CLIENT_W, CLIENT_H));
  EXPECT_TRUE(ShowsPosition(9, 11));
  EXPECT_TRUE(viewer.CloseWithExit(0));
}

// The root alone: 214 x 130 pixels, far smaller than the window.
TEST(SmallChart, StaysAtPositionZeroWithWhiteBeyondIt) {
  Capture chart;
  ASSERT_TRUE(RenderChart(DataFile("root-only.txt"), &chart));
  ASSERT_EQ(chart.width, 214);
  ASSERT_EQ(chart.height, 130);
  Viewer viewer;
  ASSERT_TRUE(viewer.Open(DataFile("root-only.txt")));
  ASSERT_TRUE(ResizeClient(viewer.window, CLIENT_W, CLIENT_H));
  // Both ranges are 0 .. 0: no move leaves position 0.
  for (int bar : {SB_HORZ, SB_VERT})
    for (WORD code : {SB_LINEDOWN, SB_PAGEDOWN, SB_LINEUP, SB_PAGEUP, SB_LINEDOWN})
      SendScroll(viewer.window, bar, code, 0);
  Capture view;
  ASSERT_TRUE(viewer.CaptureView(&view));
  EXPECT_TRUE(ShowsChartAt(view, chart, 0, 0));
  // The root's box, centred in a one-box row: from (11 - 5, 13 - 6) to
  // (11 + 143 + 5, 13 + 26 + 6), exclusive.
  EXPECT_EQ(PixelAt(view, 6, 7), PIXEL_BLACK);
  EXPECT_EQ(PixelAt(view, 158, 44), PIXEL_BLACK);
  EXPECT_EQ(PixelAt(view, 159, 44), PIXEL_WHITE);
  // Nothing but white beyond the chart's right and bottom edges.
  long other = 0;
  for (int y = 0; y < view.height; ++y)
    for (int x = 0; x < view.width; ++x)
      if ((x >= 214 || y >= 130) && PixelAt(view, x, y) != PIXEL_WHITE) ++other;
  EXPECT_EQ(other, 0);
  // A thumb position past the chart (taken as it comes) shows white only.
  SendScroll(viewer.window, SB_HORZ, SB_THUMBPOSITION, 40);
  ASSERT_TRUE(viewer.CaptureView(&view));
  other = 0;
  for (unsigned int pixel : view.pixels) other += pixel != PIXEL_WHITE;
  EXPECT_EQ(other, 0);
  EXPECT_TRUE(viewer.CloseWithExit(0));
}

}  // namespace
