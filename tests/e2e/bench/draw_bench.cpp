// Drawing cost inside one process under Wine: the load, ComputeChartMetrics
// and DrawChart into a chart bitmap made as the main window makes it, for
// one rules file; medians over the runs, the bitmap's size and the
// process's peak memory.
//
//   wine lorvane-draw-bench.exe RULES [RUNS]
// <psapi.h> needs <windows.h> first.
#include <windows.h>
// clang-format off
#include <psapi.h>
// clang-format on
#include <stdio.h>
#include <stdlib.h>

#include <vector>

#include "chart/Draw.h"
#include "chart/Metrics.h"
#include "load/LoadRules.h"
#include "rules/Advance.h"
#include "rules/Fatal.h"
#include "timing.h"

void FatalStop(int exitCode) {
  fprintf(stderr, "%s\n", TextBuffer);
  exit(exitCode);
}

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: lorvane-draw-bench RULES [RUNS]\n");
    return 2;
  }
  const char* path = argv[1];
  int runs = argc > 2 ? atoi(argv[2]) : 15;
  HDC screen = GetDC(nullptr);
  CreateChartObjects();
  std::vector<double> loadTimes, metricTimes, bitmapTimes, drawTimes, totalTimes;
  for (int run = 0; run < runs; ++run) {
    double t0 = Now();
    LoadRules(path);
    double t1 = Now();
    ComputeChartMetrics(screen);
    double t2 = Now();
    HDC chartDC = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, ChartWidth, ChartHeight);
    if (bitmap == nullptr) {
      fprintf(stderr, "no bitmap of %d x %d\n", ChartWidth, ChartHeight);
      return 1;
    }
    HGDIOBJ old = SelectObject(chartDC, bitmap);
    ClearChart(chartDC, ChartWidth, ChartHeight);
    GdiFlush();
    double t3 = Now();
    DrawChart(chartDC, &RootAdvance);
    GdiFlush();
    double t4 = Now();
    loadTimes.push_back(t1 - t0);
    metricTimes.push_back(t2 - t1);
    bitmapTimes.push_back(t3 - t2);
    drawTimes.push_back(t4 - t3);
    totalTimes.push_back(t4 - t0);
    SelectObject(chartDC, old);
    DeleteObject(bitmap);
    DeleteDC(chartDC);
    if (run + 1 < runs) ResetRules();
  }
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  printf(
      "%s: chart %d x %d pixels, %d bits per pixel (%.1f MB); %d runs, medians (ms): "
      "load %.3f, ComputeChartMetrics %.3f, bitmap made and cleared %.3f, DrawChart %.3f, "
      "total %.3f; "
      "peak working set %.1f MB, peak pagefile %.1f MB\n",
      path, ChartWidth, ChartHeight, GetDeviceCaps(screen, BITSPIXEL),
      (double)ChartWidth * ChartHeight * GetDeviceCaps(screen, BITSPIXEL) / 8 / 1048576.0, runs,
      Median(loadTimes), Median(metricTimes), Median(bitmapTimes), Median(drawTimes),
      Median(totalTimes), memory.PeakWorkingSetSize / 1048576.0,
      memory.PeakPagefileUsage / 1048576.0);
  ReleaseDC(nullptr, screen);
  return 0;
}
