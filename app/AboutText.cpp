// The text of the About box.
#include "app/AboutText.h"

#include <stdio.h>

#include "rules/TextBuffer.h"

void FormatAboutText(int32_t width, int32_t height, int32_t bitsPerPixel) {
  // Pixels times bits would pass 64 bits for the largest charts; dividing
  // the pixel count by 8 first keeps every term below 2^64.
  unsigned long long pixels = (unsigned long long)(uint32_t)width * (uint32_t)height;
  unsigned long long bits = (uint32_t)bitsPerPixel;
  unsigned long long bytes = pixels / 8 * bits + pixels % 8 * bits / 8;
  snprintf(TextBuffer, TEXT_BUFFER_SIZE,
           "V1.1\n\nBitmap dimensions are %u x %u x %u bits.\nResulting bitmap size is %llu bytes.",
           (unsigned)width, (unsigned)height, (unsigned)bitsPerPixel, bytes);
}
