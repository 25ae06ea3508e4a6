// The text of the About box.
#pragma once
#include <stdint.h>

// The version line and the chart bitmap's dimensions and byte size, built in
// TextBuffer. The size is computed in 64 bits, so a chart of more than 4 GiB
// shows its true size.
void FormatAboutText(int32_t width, int32_t height, int32_t bitsPerPixel);
