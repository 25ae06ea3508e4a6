// Keeps Wine's desktop process (and its services) alive while the tests run.
// Without it, every test program that CTest starts under Wine starts the
// desktop process anew, which inherits that test's output pipe and holds it
// for the seconds the desktop lingers after the last program has ended:
// CTest then waits that long for every test. Started with its output in
// files by scripts/test.sh before CTest, ended by its process id after.
// It makes one hidden window (so it is attached to the desktop) and waits.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = "LorvaneWineAnchor";
  RegisterClassA(&windowClass);
  // Never shown: it must not cover the windows that the tests capture.
  CreateWindowExA(0, "LorvaneWineAnchor", "anchor", WS_OVERLAPPED, 0, 0, 1, 1, nullptr, nullptr,
                  instance, nullptr);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
