// The main window procedure and its message handlers.
#include "app/MainWin.h"

#include <stdio.h>

#include "app/Commands.h"
#include "app/View.h"
#include "app/resource.h"
#include "chart/Draw.h"
#include "chart/Metrics.h"
#include "rules/Advance.h"
#include "rules/Fatal.h"

static_assert(SCROLL_LINE_UP == SB_LINEUP && SCROLL_LINE_DOWN == SB_LINEDOWN &&
                  SCROLL_PAGE_UP == SB_PAGEUP && SCROLL_PAGE_DOWN == SB_PAGEDOWN &&
                  SCROLL_THUMB_POSITION == SB_THUMBPOSITION && SCROLL_THUMB_TRACK == SB_THUMBTRACK,
              "the scroll codes of the view are the platform's");

HDC ChartDC;
HBITMAP ChartBitmap;

int32_t ClientWidthPlusOne;
int32_t ClientHeightPlusOne;
int32_t HScrollMax;
int32_t HScrollPos;
int32_t VScrollMax;
int32_t VScrollPos;

void CheckLastError(const char* name) {
  DWORD code = GetLastError();
  if (code == 0) return;
  snprintf(TextBuffer, TEXT_BUFFER_SIZE, "%s failed\nGetLastError returned %u", name,
           (unsigned)code);
  FatalStop((int)code);
}

namespace {

LRESULT OnCreate(HWND window) {
  HDC windowDC = GetDC(window);
  CreateChartObjects();
  ComputeChartMetrics(windowDC);
  ChartDC = CreateCompatibleDC(windowDC);
  // Compatible with the window, not with ChartDC, to get the screen's colours.
  ChartBitmap = CreateCompatibleBitmap(windowDC, ChartWidth, ChartHeight);
  if (ChartBitmap == nullptr) {
    CheckLastError("CreateCompatibleBitmap");
    // No error code either: never show a blank window that pretends to work.
    Fatal(
        1, REFUSED_PLATFORM,
        "CreateCompatibleBitmap failed\nThe chart of %d x %d pixels is too large for this display",
        ChartWidth, ChartHeight);
  }
  SelectObject(ChartDC, ChartBitmap);
  ReleaseDC(window, windowDC);
  SendMessageA(window, WM_COMMAND, IDM_DRAW, 0);
  return 0;
}

void OnDraw(HWND window) {
  ClearChart(ChartDC, ChartWidth, ChartHeight);
  DrawChart(ChartDC, &RootAdvance);
  InvalidateRect(window, nullptr, TRUE);
}

LRESULT OnCommand(HWND window, WPARAM wParam) {
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

int32_t SetScrollBar(HWND window, int bar, int32_t maximum) {
  SetScrollRange(window, bar, 0, maximum, FALSE);
  // The bar keeps its position within the new range.
  int32_t position = GetScrollPos(window, bar);
  SetScrollPos(window, bar, position, TRUE);
  return position;
}

LRESULT OnSize(HWND window) {
  RECT client = {};
  GetClientRect(window, &client);
  ClientWidthPlusOne = client.right - client.left + 1;
  HScrollMax = ScrollMaximum(ChartWidth, ClientWidthPlusOne, CharWidth);
  HScrollPos = SetScrollBar(window, SB_HORZ, HScrollMax);
  // Showing or hiding the horizontal bar changes the client height (and
  // handled a nested WM_SIZE meanwhile), so read the rectangle again.
  GetClientRect(window, &client);
  ClientHeightPlusOne = client.bottom - client.top + 1;
  VScrollMax = ScrollMaximum(ChartHeight, ClientHeightPlusOne, LineHeight);
  VScrollPos = SetScrollBar(window, SB_VERT, VScrollMax);
  InvalidateRect(window, nullptr, FALSE);
  return 0;
}

LRESULT OnScroll(HWND window, int bar, WPARAM wParam) {
  unsigned code = LOWORD(wParam);
  unsigned thumb = HIWORD(wParam);
  if (bar == SB_HORZ) {
    HScrollPos = ScrolledPosition(HScrollPos, HScrollMax, ScrollPage(ClientWidthPlusOne, CharWidth),
                                  code, thumb);
    SetScrollPos(window, bar, HScrollPos, TRUE);
  } else {
    VScrollPos = ScrolledPosition(VScrollPos, VScrollMax,
                                  ScrollPage(ClientHeightPlusOne, LineHeight), code, thumb);
    SetScrollPos(window, bar, VScrollPos, TRUE);
  }
  InvalidateRect(window, nullptr, FALSE);
  return 0;
}

void FillWhite(HDC dc, const PixelRect& area) {
  if (area.left >= area.right || area.top >= area.bottom) return;
  RECT rect = {area.left, area.top, area.right, area.bottom};
  FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

LRESULT OnPaint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  PaintPlan plan;
  PlanPaint(HScrollPos, VScrollPos, paint.rcPaint.right, paint.rcPaint.bottom, &plan);
  BitBlt(dc, 0, 0, plan.width, plan.height, ChartDC, plan.sourceLeft, plan.sourceTop, SRCCOPY);
  FillWhite(dc, plan.beyondRight);
  FillWhite(dc, plan.beyondBottom);
  EndPaint(window, &paint);
  return 0;
}

LRESULT OnDestroy() {
  DeleteChartObjects(ChartDC);
  DeleteDC(ChartDC);
  // Copy hands the clipboard a copy, so the window's own bitmap is ours.
  DeleteObject(ChartBitmap);
  PostQuitMessage(0);
  return 0;
}

}  // namespace

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
