// The viewer's entry point: the load, the main window and the message loop.
#include <windows.h>

#include "app/MainWin.h"
#include "app/StartUp.h"
#include "load/LoadRules.h"
#include "rules/Fatal.h"

namespace {

const DWORD MAIN_WINDOW_STYLE = WS_OVERLAPPEDWINDOW | WS_HSCROLL | WS_VSCROLL;
static_assert(MAIN_WINDOW_STYLE == 0x00FF0000, "overlapped window with both scroll bars");

ATOM RegisterMainWin(HINSTANCE instance) {
  WNDCLASSA windowClass = {};
  windowClass.style = 0;  // no repaint on resize: painting copies the bitmap anyway
  windowClass.lpfnWndProc = MainWinProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, "TREE_ICON");
  // IDC_ARROW, spelt out: with UNICODE defined the macro names a wide string.
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszMenuName = "MAINMENU";
  windowClass.lpszClassName = "MainWin";
  return RegisterClassA(&windowClass);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
  ChooseRulesPath(commandLine);
  // Open, both sections, close, parse, link and rank, in that order.
  LoadRules(RulesPath);

  if (RegisterMainWin(instance) == 0) return 0;
  // The chart is drawn inside this call, while the window is created.
  HWND window =
      CreateWindowExA(0, "MainWin", "Lorvane", MAIN_WINDOW_STYLE, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) {
    CheckLastError("CreateWindowExA");
    Fatal(1, REFUSED_PLATFORM, "CreateWindowExA failed\nGetLastError returned 0");
  }
  HACCEL accelerators = LoadAcceleratorsA(instance, "MYMENU");
  ShowWindow(window, showCommand);
  UpdateWindow(window);

  MSG message = {};
  while (GetMessageA(&message, nullptr, 0, 0) != 0) {
    if (TranslateAcceleratorA(window, accelerators, &message) != 0) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return (int)message.wParam;
}
