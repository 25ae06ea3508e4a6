// Cutting the chart into the strips that Print stretches onto the pages.
#include "app/PrintStrips.h"

float PrintScale(int32_t horzRes, int32_t chartWidth) {
  return (float)((double)horzRes / (double)chartWidth);
}

int32_t PrintStripWidth(int32_t stripX, int32_t chartWidth) {
  // In 64 bits: the last strip of a chart near 2^31 columns would wrap.
  if ((int64_t)stripX + PRINT_STRIP_COLUMNS > chartWidth) return chartWidth - stripX;
  return PRINT_STRIP_COLUMNS;
}

bool ComputePrintStrip(int32_t stripX, int32_t chartWidth, int32_t chartHeight, float scale,
                       int32_t vertRes, int page, PrintStrip* strip) {
  int32_t width = PrintStripWidth(stripX, chartWidth);
  int32_t half = chartHeight / 2;
  // The products come from the single-precision scale; the 1 is taken off
  // before the truncation.
  strip->destLeft = (int32_t)((double)stripX * (double)scale);
  strip->destTop = 0;
  strip->destWidth = (int32_t)((double)width * (double)scale - 1.0);
  strip->destHeight = vertRes - 1;
  strip->srcLeft = stripX;
  strip->srcTop = page == 0 ? 0 : half;
  strip->srcWidth = width - 1;
  strip->srcHeight = page == 0 ? half : half - 1;
  return strip->srcWidth > 0 && strip->srcHeight > 0;
}

void PrintPageStrips(int32_t chartWidth, int32_t chartHeight, float scale, int32_t vertRes,
                     int page, PrintStripFunction print, void* context) {
  for (int32_t stripX = 0; stripX < chartWidth; stripX += PrintStripWidth(stripX, chartWidth)) {
    PrintStrip strip;
    if (ComputePrintStrip(stripX, chartWidth, chartHeight, scale, vertRes, page, &strip)) {
      print(&strip, context);
    }
  }
}
