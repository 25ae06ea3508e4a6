// Start-up time under Wine: from CreateProcess until the program's window
// has been painted, for the viewer on a rules file and for the floor (an
// empty window), alternating, so both see the same machine load.
//
//   wine lorvane-startup-bench.exe VIEWER RULES FLOOR [RUNS [MORE...]]
//
// MORE are further floor programs (variants of the floor with one of the
// viewer's features each), measured in the same rounds; each is reported
// against the floor, and the viewer against each.
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../driver.h"
#include "timing.h"

namespace {

// Milliseconds until the window of the class is visible and painted, or a
// negative value on failure. The program is closed afterwards.
double StartOnce(const std::string& exe, const char* tail, const char* className) {
  Driven driven = {};
  double start = Now();
  if (!StartProgram(exe, tail, &driven)) return -1;
  HWND window = nullptr;
  while ((window = FindProcessWindow(driven.processId, className)) == nullptr) {
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
    if (!GetUpdateRect(window, nullptr, FALSE)) break;
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

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: lorvane-startup-bench VIEWER RULES FLOOR [RUNS [MORE...]]\n");
    return 2;
  }
  std::string viewer = argv[1], rules = WindowsPath(argv[2]), floor = argv[3];
  int runs = argc > 4 ? atoi(argv[4]) : 15;
  std::vector<std::string> more(argv + (argc > 5 ? 5 : argc), argv + argc);
  // One of each first, not counted: file caches and Wine's own start.
  StartOnce(floor, nullptr, "FloorWin");
  StartOnce(viewer, rules.c_str(), "MainWin");
  std::vector<double> floorTimes, viewerTimes;
  std::vector<std::vector<double>> moreTimes(more.size());
  for (int i = 0; i < runs; ++i) {
    for (size_t m = 0; m < more.size(); ++m) {
      double t = StartOnce(more[m], nullptr, "FloorWin");
      if (t < 0) {
        printf("a start of %s failed\n", more[m].c_str());
        return 1;
      }
      moreTimes[m].push_back(t);
    }
    double f = StartOnce(floor, nullptr, "FloorWin");
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
  for (size_t m = 0; m < more.size(); ++m) {
    const std::vector<double>& times = moreTimes[m];
    size_t slash = more[m].find_last_of("/\\");
    printf(
        "%s: median %.1f ms (min %.1f, max %.1f), ratio to the floor %.3f; "
        "lorvane against it: ratio %.3f\n",
        more[m].c_str() + (slash == std::string::npos ? 0 : slash + 1), Median(times),
        *std::min_element(times.begin(), times.end()),
        *std::max_element(times.begin(), times.end()), Median(times) / floorMedian,
        viewerMedian / Median(times));
  }
  return 0;
}
