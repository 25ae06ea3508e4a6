#include "app/MainWin.h"

#include <stdio.h>

#include "app/Commands.h"
#include "app/resource.h"
#include "chart/Draw.h"
#include "chart/Metrics.h"
#include "rules/Advance.h"
#include "rules/Fatal.h"

HDC ChartDC;
HBITMAP ChartBitmap;

int32_t ClientWidth;
int32_t ClientHeight;
int32_t HScrollMax;
int32_t HScrollPos;
int32_t VScrollPos;

void CheckLastError(const char* name) {
  DWORD code = GetLastError();
  if (code == 0) return;
  snprintf(TextBuffer, TEXT_BUFFER_SIZE, "%s failed\nGetLastError returned %u", name,
           (unsigned)code);
  FatalStop((int)code);
}

int32_t ScrollMaximum(int32_t chartSize, int32_t clientSize, int32_t unit) {
  int32_t maximum = (chartSize - clientSize) / unit;
  return maximum < 0 ? 0 : maximum;
}

int32_t ScrolledPosition(int32_t position, int32_t maximum, int32_t page, unsigned code,
                         unsigned thumb) {
  // Each move tests only the bound in its own direction.
  switch (code) {
    case SB_LINEUP:
      return position - 1 < 0 ? 0 : position - 1;
    case SB_LINEDOWN:
      return position + 1 > maximum ? maximum : position + 1;
    case SB_PAGEUP:
      return position - page < 0 ? 0 : position - page;
    case SB_PAGEDOWN:
      return position + page > maximum ? maximum : position + page;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
      return (int32_t)thumb;
    default:
      return position;
  }
}

static HFONT CreateChartFont(int weight, BOOL italic) {
  return CreateFontA(10, 0, 0, 0, weight, italic, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS,
                     "MS Sans Serif");
}

void CreateChartFonts() {
  DetailFont = CreateChartFont(FW_NORMAL, FALSE);
  NameFont = CreateChartFont(FW_BOLD, FALSE);
  UnitFont = CreateChartFont(FW_BOLD, TRUE);
}

void CreateChartPens() {
  NearPen = CreatePen(PS_SOLID, 1, 0x000000FF);  // pure red
  FarPen = CreatePen(PS_DOT, 1, 0x00FF0000);     // pure blue
}

static LRESULT OnCreate(HWND window) {
  HDC windowDC = GetDC(window);
  CreateChartFonts();
  ComputeChartMetrics(windowDC);
  ChartDC = CreateCompatibleDC(windowDC);
  // Compatible with the window, not with ChartDC, to get the screen's colours.
  ChartBitmap = CreateCompatibleBitmap(windowDC, ChartWidth, ChartHeight);
  if (ChartBitmap == NULL) {
    CheckLastError("CreateCompatibleBitmap");
    // No error code either: never show a blank window that pretends to work.
    Fatal(
        1,
        "CreateCompatibleBitmap failed\nThe chart of %d x %d pixels is too large for this display",
        ChartWidth, ChartHeight);
  }
  SelectObject(ChartDC, ChartBitmap);
  ReleaseDC(window, windowDC);
  CreateChartPens();
  SendMessageA(window, WM_COMMAND, IDM_DRAW, 0);
  return 0;
}

static void OnDraw(HWND window) {
  SelectObject(ChartDC, GetStockObject(WHITE_BRUSH));
  PatBlt(ChartDC, 0, 0, ChartWidth, ChartHeight, PATCOPY);
  SetTextColor(ChartDC, 0x00000000);
  SetBkColor(ChartDC, 0x00FFFFFF);
  SetBkMode(ChartDC, TRANSPARENT);
  DrawChart(ChartDC, &RootAdvance);
  InvalidateRect(window, NULL, TRUE);
}

static LRESULT OnCommand(HWND window, WPARAM wParam) {
  switch (LOWORD(wParam)) {
    case IDM_DRAW:
      OnDraw(window);
      break;
    case IDM_COPY:
      Copy(window);
      break;
    case IDM_PRINT:
      Print(window);
      break;
    case IDM_ABOUT:
      About(window);
      break;
    default:
      break;
  }
  return 0;
}

static int32_t SetScrollBar(HWND window, int bar, int32_t maximum) {
  SetScrollRange(window, bar, 0, maximum, FALSE);
  // The bar keeps its position within the new range.
  int32_t position = GetScrollPos(window, bar);
  SetScrollPos(window, bar, position, TRUE);
  return position;
}

static LRESULT OnSize(HWND window) {
  RECT client = {};
  GetClientRect(window, &client);
  ClientWidth = client.right - client.left + 1;
  HScrollMax = ScrollMaximum(ChartWidth, ClientWidth, CharWidth);
  HScrollPos = SetScrollBar(window, SB_HORZ, HScrollMax);
  // Showing or hiding the horizontal bar changes the client height (and
  // handled a nested WM_SIZE meanwhile), so read the rectangle again.
  GetClientRect(window, &client);
  ClientHeight = client.bottom - client.top + 1;
  ChartLines = ScrollMaximum(ChartHeight, ClientHeight, LineHeight);
  VScrollPos = SetScrollBar(window, SB_VERT, ChartLines);
  InvalidateRect(window, NULL, FALSE);
  return 0;
}

static LRESULT OnScroll(HWND window, int bar, WPARAM wParam) {
  unsigned code = LOWORD(wParam);
  unsigned thumb = HIWORD(wParam);
  if (bar == SB_HORZ) {
    HScrollPos = ScrolledPosition(HScrollPos, HScrollMax, ClientWidth / CharWidth, code, thumb);
    SetScrollPos(window, bar, HScrollPos, TRUE);
  } else {
    VScrollPos = ScrolledPosition(VScrollPos, ChartLines, ClientHeight / LineHeight, code, thumb);
    SetScrollPos(window, bar, VScrollPos, TRUE);
  }
  InvalidateRect(window, NULL, FALSE);
  return 0;
}

static LRESULT OnPaint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  int64_t left = (int64_t)HScrollPos * CharWidth;
  int64_t top = (int64_t)VScrollPos * LineHeight;
  // Only the part of the screen-sized block that lies inside the bitmap is
  // copied; what lies beyond the chart's right and bottom edges is white.
  int64_t width = ChartWidth - left;
  int64_t height = ChartHeight - top;
  width = width < 0 ? 0 : (width > ScreenWidth ? ScreenWidth : width);
  height = height < 0 ? 0 : (height > ScreenHeight ? ScreenHeight : height);
  BitBlt(dc, 0, 0, (int)width, (int)height, ChartDC, (int)left, (int)top, SRCCOPY);
  LONG rightEnd = paint.rcPaint.right > ScreenWidth ? paint.rcPaint.right : ScreenWidth;
  LONG bottomEnd = paint.rcPaint.bottom > ScreenHeight ? paint.rcPaint.bottom : ScreenHeight;
  HBRUSH white = (HBRUSH)GetStockObject(WHITE_BRUSH);
  RECT beyondRight = {(LONG)width, 0, rightEnd, bottomEnd};
  if (beyondRight.left < beyondRight.right) FillRect(dc, &beyondRight, white);
  RECT beyondBottom = {0, (LONG)height, (LONG)width, bottomEnd};
  if (beyondBottom.top < beyondBottom.bottom) FillRect(dc, &beyondBottom, white);
  EndPaint(window, &paint);
  return 0;
}

static LRESULT OnDestroy() {
  // Nothing may stay selected into ChartDC while it is deleted.
  SelectObject(ChartDC, GetStockObject(BLACK_PEN));
  SelectObject(ChartDC, GetStockObject(SYSTEM_FONT));
  DeleteObject(NearPen);
  DeleteObject(FarPen);
  DeleteObject(NameFont);
  DeleteObject(DetailFont);
  DeleteObject(UnitFont);
  DeleteDC(ChartDC);
  // Copy hands the clipboard a copy, so the window's own bitmap is ours.
  DeleteObject(ChartBitmap);
  PostQuitMessage(0);
  return 0;
}

LRESULT CALLBACK MainWinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate(window);
    case WM_DESTROY:
      return OnDestroy();
    case WM_SIZE:
      return OnSize(window);
    case WM_PAINT:
      return OnPaint(window);
    case WM_COMMAND:
      return OnCommand(window, wParam);
    case WM_HSCROLL:
      return OnScroll(window, SB_HORZ, wParam);
    case WM_VSCROLL:
      return OnScroll(window, SB_VERT, wParam);
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}
