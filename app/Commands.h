// The commands of the menu bar and the function keys.
#pragma once
#include <stdint.h>
#include <windows.h>

void Copy(HWND window);
void Print(HWND window);
void About(HWND window);

// The About text, built in TextBuffer. The byte size is computed in 64
// bits, so a chart of more than 4 GiB shows its true size.
void FormatAboutText(int32_t width, int32_t height, int32_t bitsPerPixel);
