// The chart metrics from the detail font as the screen device context gives it.
#include "chart/Draw.h"
#include "chart/Metrics.h"

void ComputeChartMetrics(HDC hdc) {
  SelectObject(hdc, DetailFont);
  ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
  ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
  TEXTMETRICA metrics = {};
  GetTextMetricsA(hdc, &metrics);
  SetChartMetrics(metrics.tmMaxCharWidth, metrics.tmHeight, metrics.tmExternalLeading);
}
