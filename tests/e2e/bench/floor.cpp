// The floor for start-up under Wine: a program that only registers a class
// and shows an empty window, then waits to be closed. Built a second time
// with FLOOR_WITH_COMDLG32, it also imports the common dialogs, as the
// viewer does for its print dialog, to show what that import costs alone.
#include <windows.h>
#ifdef FLOOR_WITH_COMDLG32
#include <commdlg.h>
#endif

static LRESULT CALLBACK FloorWinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = FloorWinProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
  windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
  windowClass.lpszClassName = "FloorWin";
  if (RegisterClassA(&windowClass) == 0) return 0;
#ifdef FLOOR_WITH_COMDLG32
  if (CommDlgExtendedError() != 0) return 1;
#endif
  HWND window =
      CreateWindowExA(0, "FloorWin", "Floor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, NULL, NULL, instance, NULL);
  if (window == NULL) return 1;
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  MSG message;
  while (GetMessageA(&message, NULL, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return (int)message.wParam;
}
