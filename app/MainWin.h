// The main window: the chart bitmap, scrolling and painting, the command
// dispatch, and the fatal check after a failed platform call.
#pragma once
#include <stdint.h>
#include <windows.h>

extern HDC ChartDC;
extern HBITMAP ChartBitmap;

extern int32_t ClientWidth;   // one more than the client area's width
extern int32_t ClientHeight;  // one more than the client area's height
extern int32_t HScrollMax;    // in CharWidth columns
extern int32_t HScrollPos;    // in CharWidth columns
extern int32_t VScrollPos;    // in LineHeight lines; the maximum is ChartLines

// DetailFont, NameFont and UnitFont: "MS Sans Serif" 10 pixels high,
// normal, bold, and bold italic.
void CreateChartFonts();
// NearPen, solid pure red, and FarPen, dotted pure blue.
void CreateChartPens();

LRESULT CALLBACK MainWinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Returns when the platform reports no error code; otherwise shows the
// "Fatal Error" box naming the operation and the code, and ends the
// process with the code.
void CheckLastError(const char* name);

// The highest scroll position that still shows a full client area of the
// chart, in units; never below 0, so a chart smaller than the window does
// not scroll.
int32_t ScrollMaximum(int32_t chartSize, int32_t clientSize, int32_t unit);

// The position after a scroll message with the given code (the low word of
// wParam) and thumb position (its high word).
int32_t ScrolledPosition(int32_t position, int32_t maximum, int32_t page, unsigned code,
                         unsigned thumb);
