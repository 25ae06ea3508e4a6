// The main window: the chart bitmap, scrolling and painting, the command
// dispatch, and the fatal check after a failed platform call.
#pragma once
#include <stdint.h>
#include <windows.h>

extern HDC ChartDC;
extern HBITMAP ChartBitmap;

// The client size plus one (right - left + 1): the scroll maxima and pages
// are computed from it.
extern int32_t ClientWidthPlusOne;
extern int32_t ClientHeightPlusOne;
extern int32_t HScrollMax;  // in CharWidth columns
extern int32_t HScrollPos;  // in CharWidth columns
// In LineHeight lines; not ChartLines, the chart's whole height in lines.
extern int32_t VScrollMax;
extern int32_t VScrollPos;  // in LineHeight lines

LRESULT CALLBACK MainWinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Returns when the platform reports no error code; otherwise shows the
// "Fatal Error" box naming the operation and the code, and ends the
// process with the code.
void CheckLastError(const char* name);
