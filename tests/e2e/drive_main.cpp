// lorvane-drive: runs the viewer once on a command-line tail and checks how
// it ends. For corpora of rules files (tests/hostile) and for trying a file
// by hand:
//
//   wine lorvane-drive.exe VIEWER TAIL --expect-exit N [--expect-text TEXT]
//                          [--timeout SECONDS] [--print] [--chart-out FILE]
//                          [--launcher]
//
// VIEWER is the viewer's path (a Unix path is turned into its Z:\ form);
// TAIL is handed to it unchanged as its command-line tail ("" for an empty
// command line, so the default path). Then, within the timeout (10 s):
//  - a "Fatal Error" box appears: it must have no owner and no main window
//    may be shown; its text must equal TEXT when given; OK is pressed; the
//    exit code must be N;
//  - the main window ("MainWin") appears: N must be 0 and no TEXT given;
//    the window is sent WM_CLOSE and the exit code must be 0;
//  - the program ends without either: its exit code must be N, and no TEXT
//    may have been expected;
//  - any other box, or no end in time: failure (the viewer is killed).
// With the main window open, before it is closed:
//  --print      presses F3, then OK in the "Print" dialog (which must be
//               owned by the window), and waits until the viewer is idle
//               again with no box open (the job is then with the spooler);
//  --chart-out  presses F2, closes the "Clipboard Copy Successful" box, and
//               writes the clipboard's bitmap to FILE as a binary PPM (P6).
// With --launcher, VIEWER is a program that starts the viewer and ends (the
// release's "Show the sample.cmd" through cmd.exe): it must end with exit
// code 0 within the timeout, no cmd.exe may be left running, and the
// lorvane.exe it started is then handled as above.
// Prints what happened; exits 0 when every expectation held, 1 when one
// failed, 2 on a usage error.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "driver.h"

namespace {

const char* const USAGE =
    "usage: lorvane-drive VIEWER TAIL --expect-exit N [--expect-text TEXT] [--timeout SECONDS]\n"
    "                     [--print] [--chart-out FILE] [--launcher]\n";

// Shows line feeds and other control bytes so a mismatch can be read.
std::string Visible(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    char escaped[8];
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\\') {
      out += "\\\\";
    } else if (c < 0x20 || c == 0x7F) {
      snprintf(escaped, sizeof escaped, "\\x%02X", c);
      out += escaped;
    } else {
      out += (char)c;
    }
  }
  return out;
}

int Fail(Driven* driven, const char* what, const std::string& detail) {
  printf("FAIL: %s%s\n", what, detail.c_str());
  KillProgram(driven);
  return 1;
}

// Printing runs inside the command: the viewer answers again when it ends.
const DWORD PRINT_TIMEOUT = 60000;

// F3 and OK in the print dialog; empty on success, else what went wrong.
std::string PrintChart(Driven* driven, HWND window) {
  PostKey(window, VK_F3);
  HWND dialog = WaitDialog(driven, "Print", 10000);
  if (dialog == nullptr) return "no \"Print\" dialog";
  if (GetWindow(dialog, GW_OWNER) != window) return "the print dialog is not owned by the window";
  if (!PressOk(dialog, PRINT_TIMEOUT)) return "the print dialog stays open";
  DWORD_PTR ignored;
  if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, PRINT_TIMEOUT, &ignored))
    return "the viewer does not answer after printing";
  std::string caption;
  if (FindAnyDialog(driven->processId, &caption)) return "a box after printing: " + caption;
  return "";
}

// F2, the success box, and the clipboard's bitmap into a PPM file.
std::string SaveChart(Driven* driven, HWND window, const char* path) {
  PostKey(window, VK_F2);
  HWND box = WaitDialog(driven, "Clipboard Copy Successful", 10000);
  if (box == nullptr) return "no \"Clipboard Copy Successful\" box";
  if (!PressOk(box, 10000)) return "the copy box stays open";
  Capture chart;
  if (!ClipboardBitmap(&chart)) return "no bitmap on the clipboard";
  FILE* file = fopen(WindowsPath(path).c_str(), "wb");
  if (file == nullptr) return std::string("cannot write ") + path;
  fprintf(file, "P6\n%d %d\n255\n", chart.width, chart.height);
  for (unsigned int pixel : chart.pixels) {
    unsigned char rgb[3] = {(unsigned char)(pixel >> 16), (unsigned char)(pixel >> 8),
                            (unsigned char)pixel};
    fwrite(rgb, 1, 3, file);
  }
  fclose(file);
  printf("chart %d x %d written to %s\n", chart.width, chart.height, path);
  return "";
}

// The launcher ends by itself; the viewer it started becomes the driven
// program. Empty on success, else what went wrong.
std::string FollowLauncher(Driven* driven, DWORD timeoutMs) {
  DWORD code = 0;
  if (!WaitExit(driven, timeoutMs, &code)) return "the launcher does not end";
  CloseDriven(driven);
  if (code != 0) return "the launcher exits with " + std::to_string(code);
  DWORD self = GetCurrentProcessId(), start = GetTickCount(), viewer;
  while ((viewer = FindProcessNamed("lorvane.exe", self)) == 0) {
    if (GetTickCount() - start > timeoutMs) return "the launcher started no lorvane.exe";
    Sleep(5);
  }
  driven->process =
      OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, viewer);
  driven->processId = viewer;
  if (driven->process == nullptr) return "cannot open the viewer's process";
  if (FindProcessNamed("cmd.exe", 0) != 0) return "a cmd.exe is left running";
  printf("launcher ended; viewer process %lu\n", viewer);
  return "";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    fputs(USAGE, stderr);
    return 2;
  }
  const char* viewer = argv[1];
  const char* tail = argv[2];
  long expectExit = -1;
  const char* expectText = nullptr;
  DWORD timeoutMs = 10000;
  bool print = false;
  const char* chartOut = nullptr;
  bool launcher = false;
  for (int i = 3; i < argc; ++i) {
    if (strcmp(argv[i], "--expect-exit") == 0 && i + 1 < argc) {
      expectExit = strtol(argv[++i], nullptr, 10);
    } else if (strcmp(argv[i], "--expect-text") == 0 && i + 1 < argc) {
      expectText = argv[++i];
    } else if (strcmp(argv[i], "--timeout") == 0 && i + 1 < argc) {
      timeoutMs = (DWORD)(strtod(argv[++i], nullptr) * 1000);
    } else if (strcmp(argv[i], "--print") == 0) {
      print = true;
    } else if (strcmp(argv[i], "--chart-out") == 0 && i + 1 < argc) {
      chartOut = argv[++i];
    } else if (strcmp(argv[i], "--launcher") == 0) {
      launcher = true;
    } else {
      fprintf(stderr, "lorvane-drive: unknown argument %s\n%s", argv[i], USAGE);
      return 2;
    }
  }
  if (expectExit < 0) {
    fputs(USAGE, stderr);
    return 2;
  }

  Driven driven = {};
  if (!StartProgram(viewer, tail[0] ? tail : nullptr, &driven)) {
    printf("FAIL: cannot start %s (error %lu)\n", viewer, GetLastError());
    return 1;
  }
  if (launcher) {
    std::string problem = FollowLauncher(&driven, timeoutMs);
    if (!problem.empty()) return Fail(&driven, "launcher: ", problem);
  }
  DWORD start = GetTickCount();
  HWND box = nullptr, window = nullptr;
  std::string caption;
  for (;;) {
    box = FindAnyDialog(driven.processId, &caption);
    if (box) break;
    window = FindProcessWindow(driven.processId, "MainWin");
    if (window) break;
    if (WaitForSingleObject(driven.process, 0) == WAIT_OBJECT_0) break;
    if (GetTickCount() - start > timeoutMs)
      return Fail(&driven, "no box, no window and no end within the timeout", "");
    Sleep(5);
  }

  DWORD remaining = timeoutMs - (GetTickCount() - start);
  if ((long)remaining < 1000) remaining = 1000;
  DWORD code = 0;
  if (box) {
    std::string text = MessageBoxText(box);
    printf("box \"%s\": %s\n", caption.c_str(), Visible(text).c_str());
    if (caption != "Fatal Error") return Fail(&driven, "unexpected box ", caption);
    if (GetWindow(box, GW_OWNER) != nullptr)
      return Fail(&driven, "the box has an owner window", "");
    if (FindProcessWindow(driven.processId, "MainWin"))
      return Fail(&driven, "a main window is shown beside the box", "");
    if (expectText && text != expectText)
      return Fail(&driven, "box text differs; expected: ", Visible(expectText));
    if (!PressOk(box, remaining)) return Fail(&driven, "the box did not close", "");
    if (!WaitExit(&driven, remaining, &code))
      return Fail(&driven, "no end after the box was closed", "");
  } else if (window) {
    printf("window \"%s\"\n", WindowText(window).c_str());
    if (expectText) return Fail(&driven, "a chart instead of the box: ", Visible(expectText));
    if (print) {
      std::string problem = PrintChart(&driven, window);
      if (!problem.empty()) return Fail(&driven, "print: ", problem);
      printf("printed\n");
    }
    if (chartOut) {
      std::string problem = SaveChart(&driven, window, chartOut);
      if (!problem.empty()) return Fail(&driven, "chart: ", problem);
    }
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (!WaitExit(&driven, remaining, &code)) return Fail(&driven, "no end after WM_CLOSE", "");
  } else {
    GetExitCodeProcess(driven.process, &code);
    printf("ended without a box or window\n");
    if (expectText) return Fail(&driven, "no box; expected: ", Visible(expectText));
  }
  printf("exit code %lu\n", code);
  CloseDriven(&driven);
  if ((long)code != expectExit) {
    printf("FAIL: exit code %lu, expected %ld\n", code, expectExit);
    return 1;
  }
  printf("ok\n");
  return 0;
}
