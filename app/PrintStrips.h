// How the chart is cut into strips and stretched onto the two printed
// pages: the upper half on the first, the lower half on the second.
#pragma once
#include <stdint.h>

enum { PRINT_STRIP_COLUMNS = 500 };

// One StretchBlt: destination on the page, source in the chart bitmap.
struct PrintStrip {
  int32_t destLeft;
  int32_t destTop;
  int32_t destWidth;
  int32_t destHeight;
  int32_t srcLeft;
  int32_t srcTop;
  int32_t srcWidth;
  int32_t srcHeight;
};

// HORZRES / chartWidth, stored in single precision.
float PrintScale(int32_t horzRes, int32_t chartWidth);

// The chart columns of the strip that starts at stripX: 500, fewer for the
// last strip.
int32_t PrintStripWidth(int32_t stripX, int32_t chartWidth);

// Fills strip for the strip that starts at chart column stripX on page 0
// (upper half) or page 1 (lower half). Returns false for a strip that
// would copy nothing (a single column leaves a source width of 0), which
// the printing skips.
bool ComputePrintStrip(int32_t stripX, int32_t chartWidth, int32_t chartHeight, float scale,
                       int32_t vertRes, int page, PrintStrip* strip);

// Copies one strip onto the page; context is the caller's own.
typedef void (*PrintStripFunction)(const PrintStrip* strip, void* context);

// Walks the strips of page 0 or 1 from left to right and hands each strip
// that copies something to print, with the context.
void PrintPageStrips(int32_t chartWidth, int32_t chartHeight, float scale, int32_t vertRes,
                     int page, PrintStripFunction print, void* context);
