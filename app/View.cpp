// The scroll and paint arithmetic of the main window.
#include "app/View.h"

#include "chart/Metrics.h"

int32_t ScrollMaximum(int32_t chartSize, int32_t clientSizePlusOne, int32_t unit) {
  int32_t maximum = (chartSize - clientSizePlusOne) / unit;
  return maximum < 0 ? 0 : maximum;
}

int32_t ScrollPage(int32_t clientSizePlusOne, int32_t unit) { return clientSizePlusOne / unit; }

int32_t ScrolledPosition(int32_t position, int32_t maximum, int32_t page, unsigned code,
                         unsigned thumb) {
  switch (code) {
    case SCROLL_LINE_UP:
      return position - 1 < 0 ? 0 : position - 1;
    case SCROLL_LINE_DOWN:
      return position + 1 > maximum ? maximum : position + 1;
    case SCROLL_PAGE_UP:
      return position - page < 0 ? 0 : position - page;
    case SCROLL_PAGE_DOWN:
      return position + page > maximum ? maximum : position + page;
    case SCROLL_THUMB_POSITION:
    case SCROLL_THUMB_TRACK:
      return (int32_t)thumb;
    default:
      return position;
  }
}

namespace {

int64_t Clamp(int64_t value, int64_t high) { return value < 0 ? 0 : (value > high ? high : value); }

}  // namespace

void PlanPaint(int32_t hScrollPos, int32_t vScrollPos, int32_t paintRight, int32_t paintBottom,
               PaintPlan* plan) {
  // In 64 bits: a thumb position far past the chart times the unit.
  int64_t left = (int64_t)hScrollPos * CharWidth;
  int64_t top = (int64_t)vScrollPos * LineHeight;
  plan->sourceLeft = (int32_t)left;
  plan->sourceTop = (int32_t)top;
  // Only the part of the screen-sized block that lies inside the bitmap is
  // copied; what lies beyond the chart's right and bottom edges is white.
  plan->width = (int32_t)Clamp(ChartWidth - left, ScreenWidth);
  plan->height = (int32_t)Clamp(ChartHeight - top, ScreenHeight);
  int32_t rightEnd = paintRight > ScreenWidth ? paintRight : ScreenWidth;
  int32_t bottomEnd = paintBottom > ScreenHeight ? paintBottom : ScreenHeight;
  plan->beyondRight = PixelRect{plan->width, 0, rightEnd, bottomEnd};
  plan->beyondBottom = PixelRect{0, plan->height, plan->width, bottomEnd};
}
