// The end-to-end tests' files, reference chart, view comparison and viewer.
#include "e2e_support.h"

#include <stdio.h>

#include "TestSupport.h"
#include "chart/Draw.h"
#include "chart/Metrics.h"
#include "load/LoadRules.h"
#include "rules/Advance.h"

std::string ViewerExe() { return WindowsPath(E2E_VIEWER_EXE); }
std::string DataFile(const char* name) { return WindowsPath(std::string(E2E_DATA_DIR "/") + name); }
std::string SampleRules() { return WindowsPath(E2E_SAMPLE_RULES); }

bool RenderChart(const std::string& path, Capture* chart) {
  try {
    LoadRules(path.c_str());
  } catch (const FatalError&) {
    ResetRules();
    return false;
  }
  HDC screen = GetDC(nullptr);
  CreateChartObjects();
  ComputeChartMetrics(screen);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  HBITMAP bitmap = CreateTopDown32BitSection(dc, ChartWidth, ChartHeight, nullptr);
  bool ok = bitmap != nullptr;
  if (ok) {
    HGDIOBJ old = SelectObject(dc, bitmap);
    ClearChart(dc, ChartWidth, ChartHeight);
    DrawChart(dc, &RootAdvance);
    SelectObject(dc, old);
    ok = BitmapPixels(bitmap, chart);
    DeleteObject(bitmap);
  }
  DeleteChartObjects(dc);
  DeleteDC(dc);
  ResetRules();
  return ok;
}

namespace {

// The pixels of the view that differ from the chart at (left, top), white
// beyond its right and bottom edges; the first of them is described.
struct Differences {
  long count = 0;
  int x = -1, y = -1;
  unsigned int got = 0, wanted = 0;
};

// Compares until the end, or only until the first difference.
Differences Compare(const Capture& view, const Capture& chart, int left, int top, bool all) {
  Differences found;
  for (int y = 0; y < view.height; ++y) {
    for (int x = 0; x < view.width; ++x) {
      int cx = left + x, cy = top + y;
      unsigned int wanted =
          (cx < chart.width && cy < chart.height) ? PixelAt(chart, cx, cy) : PIXEL_WHITE;
      unsigned int got = PixelAt(view, x, y);
      if (got == wanted) continue;
      if (found.count++ == 0) found.x = x, found.y = y, found.got = got, found.wanted = wanted;
      if (!all) return found;
    }
  }
  return found;
}

}  // namespace

bool FindViewPosition(const Capture& view, const Capture& chart, int* column, int* line) {
  int found = 0;
  for (int l = 0; l <= chart.height / LINE_HEIGHT + 1; ++l) {
    for (int c = 0; c <= chart.width / CHAR_WIDTH + 1; ++c) {
      if (Compare(view, chart, c * CHAR_WIDTH, l * LINE_HEIGHT, false).count != 0) continue;
      if (found++ == 0) *column = c, *line = l;
    }
  }
  return found == 1;
}

::testing::AssertionResult ShowsChartAt(const Capture& view, const Capture& chart, int column,
                                        int line) {
  int left = column * CHAR_WIDTH, top = line * LINE_HEIGHT;
  Differences found = Compare(view, chart, left, top, true);
  if (found.count == 0) return ::testing::AssertionSuccess();
  char detail[200];
  snprintf(detail, sizeof detail,
           "%ld of %d x %d pixels differ from the chart at (%d, %d); first at (%d, %d): "
           "0x%06X, expected 0x%06X",
           found.count, view.width, view.height, left, top, found.x, found.y, found.got,
           found.wanted);
  return ::testing::AssertionFailure() << detail;
}

bool Viewer::Start(const char* tail) { return StartProgram(ViewerExe(), tail, &driven); }

::testing::AssertionResult Viewer::Open(const std::string& path) {
  if (!Start(path.c_str())) return ::testing::AssertionFailure() << "cannot start the viewer";
  window = WaitProcessWindow(&driven, "MainWin", START_TIMEOUT);
  if (window == nullptr) {
    std::string caption;
    HWND box = FindAnyDialog(driven.processId, &caption);
    return ::testing::AssertionFailure()
           << "no main window for " << path
           << (box ? " but a box \"" + caption + "\": " + MessageBoxText(box) : std::string());
  }
  if (!WaitPainted(window, STEP_TIMEOUT)) return ::testing::AssertionFailure() << "not painted";
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult Viewer::CaptureView(Capture* capture) {
  if (!WaitPainted(window, STEP_TIMEOUT)) return ::testing::AssertionFailure() << "not painted";
  if (!CaptureClient(window, capture)) return ::testing::AssertionFailure() << "no capture";
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult Viewer::CloseWithExit(DWORD expected) {
  PostMessageA(window, WM_CLOSE, 0, 0);
  DWORD code = 0;
  if (!WaitExit(&driven, STEP_TIMEOUT, &code))
    return ::testing::AssertionFailure() << "no end after WM_CLOSE";
  CloseDriven(&driven);
  if (code != expected)
    return ::testing::AssertionFailure() << "exit code " << code << ", expected " << expected;
  return ::testing::AssertionSuccess();
}

Viewer::~Viewer() { KillProgram(&driven); }

void PostKeyOrCommand(HWND window, int way, UINT key, WORD command) {
  if (way == 0)
    PostKey(window, key);
  else
    PostCommand(window, command);
}

::testing::AssertionResult EndsWithFatalBox(const char* tail, const std::string& text) {
  Viewer viewer;
  if (!viewer.Start(tail)) return ::testing::AssertionFailure() << "cannot start the viewer";
  HWND box = WaitDialog(&viewer.driven, "Fatal Error", START_TIMEOUT);
  if (box == nullptr) {
    DWORD code = 0;
    bool ended = WaitExit(&viewer.driven, 0, &code);
    return ::testing::AssertionFailure()
           << "no \"Fatal Error\" box"
           << (FindProcessWindow(viewer.driven.processId, "MainWin") ? "; a main window opened"
                                                                     : "")
           << (ended ? "; ended with " + std::to_string(code) : std::string());
  }
  std::string shown = MessageBoxText(box);
  HWND owner = GetWindow(box, GW_OWNER);
  bool window = FindProcessWindow(viewer.driven.processId, "MainWin") != nullptr;
  if (!PressOk(box, STEP_TIMEOUT)) return ::testing::AssertionFailure() << "the box stays open";
  DWORD code = 0;
  if (!WaitExit(&viewer.driven, STEP_TIMEOUT, &code))
    return ::testing::AssertionFailure() << "no end after OK";
  if (shown != text)
    return ::testing::AssertionFailure()
           << "box text\n  got      \"" << shown << "\"\n  expected \"" << text << "\"";
  if (owner != nullptr) return ::testing::AssertionFailure() << "the box has an owner window";
  if (window) return ::testing::AssertionFailure() << "a main window was open";
  if (code != 1) return ::testing::AssertionFailure() << "exit code " << code << ", expected 1";
  return ::testing::AssertionSuccess();
}
