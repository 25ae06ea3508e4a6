// Start-up time under Wine: from CreateProcess until the program's window
// has been painted, for the viewer on a rules file and for the floor (an
// empty window), alternating, so both see the same machine load.
//
//   wine lorvane-startup-bench.exe VIEWER RULES FLOOR [RUNS [FLOOR2]]
//
// FLOOR2, if given, is a second floor program (the floor with the viewer's
// common-dialog import), measured in the same rounds.
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../driver.h"

namespace {

double Now() {
  static LARGE_INTEGER frequency = {};
  if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return (double)counter.QuadPart * 1000.0 / (double)frequency.QuadPart;
}

// Milliseconds until the window of the class is visible and painted, or a
// negative value on failure. The program is closed afterwards.
double StartOnce(const std::string& exe, const char* tail, const char* className) {
  Driven driven = {};
  double start = Now();
  if (!StartProgram(exe, tail, &driven)) return -1;
  HWND window = NULL;
  while ((window = FindProcessWindow(driven.processId, className)) == NULL) {
    if (WaitForSingleObject(driven.process, 0) == WAIT_OBJECT_0 || Now() - start > 20000) {
      KillProgram(&driven);
      return -1;
    }
    Sleep(1);
  }
  // The program paints in UpdateWindow before its loop, and only then
  // answers a sent message; the update region must be empty by then.
  DWORD_PTR ignored;
  for (;;) {
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
    if (!GetUpdateRect(window, NULL, FALSE)) break;
    Sleep(1);
  }
  double elapsed = Now() - start;
  PostMessageA(window, WM_CLOSE, 0, 0);
  DWORD code;
  if (!WaitExit(&driven, 10000, &code)) {
    KillProgram(&driven);
    return -1;
  }
  CloseDriven(&driven);
  return elapsed;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: lorvane-startup-bench VIEWER RULES FLOOR [RUNS [FLOOR2]]\n");
    return 2;
  }
  std::string viewer = argv[1], rules = WindowsPath(argv[2]), floor = argv[3];
  int runs = argc > 4 ? atoi(argv[4]) : 15;
  std::string floor2 = argc > 5 ? argv[5] : "";
  // One of each first, not counted: file caches and Wine's own start.
  StartOnce(floor, NULL, "FloorWin");
  StartOnce(viewer, rules.c_str(), "MainWin");
  std::vector<double> floorTimes, viewerTimes, floor2Times;
  for (int i = 0; i < runs; ++i) {
    if (!floor2.empty()) {
      double f2 = StartOnce(floor2, NULL, "FloorWin");
      if (f2 < 0) {
        printf("a start of the second floor failed\n");
        return 1;
      }
      floor2Times.push_back(f2);
    }
    double f = StartOnce(floor, NULL, "FloorWin");
    double v = StartOnce(viewer, rules.c_str(), "MainWin");
    if (f < 0 || v < 0) {
      printf("a start failed (floor %.1f, viewer %.1f)\n", f, v);
      return 1;
    }
    floorTimes.push_back(f);
    viewerTimes.push_back(v);
  }
  double floorMedian = Median(floorTimes), viewerMedian = Median(viewerTimes);
  printf(
      "start-up until painted, %d runs each (ms): floor median %.1f (min %.1f, max %.1f); "
      "lorvane median %.1f (min %.1f, max %.1f); ratio %.3f\n",
      runs, floorMedian, *std::min_element(floorTimes.begin(), floorTimes.end()),
      *std::max_element(floorTimes.begin(), floorTimes.end()), viewerMedian,
      *std::min_element(viewerTimes.begin(), viewerTimes.end()),
      *std::max_element(viewerTimes.begin(), viewerTimes.end()), viewerMedian / floorMedian);
  if (!floor2Times.empty())
    printf(
        "second floor: median %.1f ms (min %.1f, max %.1f), ratio to the floor %.3f; "
        "lorvane against it: ratio %.3f\n",
        Median(floor2Times), *std::min_element(floor2Times.begin(), floor2Times.end()),
        *std::max_element(floor2Times.begin(), floor2Times.end()),
        Median(floor2Times) / floorMedian, viewerMedian / Median(floor2Times));
  return 0;
}
