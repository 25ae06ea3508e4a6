// Which part of the chart the main window shows: scroll ranges, pages and
// positions, and the block of the chart that painting copies. No Win32 here;
// the window procedure calls these with its own state.
#pragma once
#include <stdint.h>

// The scroll codes that move a position, as the low word of WM_HSCROLL and
// WM_VSCROLL carries them: the values of SB_LINEUP to SB_THUMBTRACK (the
// window checks that they match). Every other code leaves the position.
enum {
  SCROLL_LINE_UP = 0,
  SCROLL_LINE_DOWN = 1,
  SCROLL_PAGE_UP = 2,
  SCROLL_PAGE_DOWN = 3,
  SCROLL_THUMB_POSITION = 4,
  SCROLL_THUMB_TRACK = 5
};

// The highest scroll position, in units: what the chart is larger than the
// client area plus one pixel. Never below 0, so a chart smaller than the
// window does not scroll.
int32_t ScrollMaximum(int32_t chartSize, int32_t clientSizePlusOne, int32_t unit);

// The units one page move passes: whole units in the client size plus one;
// 0 for a client area smaller than one unit (a minimised window).
int32_t ScrollPage(int32_t clientSizePlusOne, int32_t unit);

// The position after a scroll message with this code (the low word of
// wParam) and thumb position (its high word). Each move tests only the
// bound in its own direction; the thumb is taken unchanged.
int32_t ScrolledPosition(int32_t position, int32_t maximum, int32_t page, unsigned code,
                         unsigned thumb);

// Client pixels from left to right and top to bottom, right and bottom
// excluded; empty when left >= right or top >= bottom.
struct PixelRect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

// One WM_PAINT: the block of the chart copied to the client's top left
// corner, and the two rectangles beyond the chart's right and bottom edges
// that are filled white instead.
struct PaintPlan {
  int32_t sourceLeft;  // the chart pixel shown at the client's top left corner
  int32_t sourceTop;
  int32_t width;  // the block: the screen's size, less what lies beyond the chart
  int32_t height;
  PixelRect beyondRight;
  PixelRect beyondBottom;
};

// The plan for the scroll position (CharWidth columns, LineHeight lines) and
// the right and bottom edges of the area to paint, from the chart metrics.
void PlanPaint(int32_t hScrollPos, int32_t vScrollPos, int32_t paintRight, int32_t paintBottom,
               PaintPlan* plan);
