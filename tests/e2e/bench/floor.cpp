// The floor for start-up under Wine: a program that only registers a class
// and shows an empty window, then waits to be closed. Built a second time
// with FLOOR_WITH_COMDLG32, it also imports the common dialogs, to show what
// that import costs alone. Built with FLOOR_WITH_SCROLL_BARS, its window
// has the viewer's two scroll bars, set on every size change with the
// viewer's calls and the ranges of the sample chart: what the viewer's
// window costs before any chart is made or drawn.
#include <windows.h>
#ifdef FLOOR_WITH_COMDLG32
#include <commdlg.h>
#endif

namespace {

#ifdef FLOOR_WITH_SCROLL_BARS
const DWORD FLOOR_STYLE = WS_OVERLAPPEDWINDOW | WS_HSCROLL | WS_VSCROLL;

// The sample chart is 1712 x 2990 pixels, scrolled by 11 pixels across and
// 13 down.
void SetScrollBar(HWND window, int bar, int chartSize, int clientSize, int unit) {
  int maximum = (chartSize - clientSize) / unit;
  SetScrollRange(window, bar, 0, maximum < 0 ? 0 : maximum, FALSE);
  SetScrollPos(window, bar, GetScrollPos(window, bar), TRUE);
}

void OnSize(HWND window) {
  RECT client = {};
  GetClientRect(window, &client);
  SetScrollBar(window, SB_HORZ, 1712, client.right - client.left + 1, 11);
  GetClientRect(window, &client);
  SetScrollBar(window, SB_VERT, 2990, client.bottom - client.top + 1, 13);
  InvalidateRect(window, nullptr, FALSE);
}
#else
const DWORD FLOOR_STYLE = WS_OVERLAPPEDWINDOW;
#endif

LRESULT CALLBACK FloorWinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
#ifdef FLOOR_WITH_SCROLL_BARS
  if (message == WM_SIZE) {
    OnSize(window);
    return 0;
  }
#endif
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = FloorWinProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
  windowClass.lpszClassName = "FloorWin";
  if (RegisterClassA(&windowClass) == 0) return 0;
#ifdef FLOOR_WITH_COMDLG32
  if (CommDlgExtendedError() != 0) return 1;
#endif
  HWND window = CreateWindowExA(0, "FloorWin", "Floor", FLOOR_STYLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return (int)message.wParam;
}
