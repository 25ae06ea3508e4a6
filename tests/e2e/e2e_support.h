// Shared pieces of the end-to-end tests: where the viewer and the fixture
// files are, a reference rendering of a chart made in this process, and a
// viewer started for one test.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "driver.h"

// Windows paths (Z:\...) of the viewer, a fixture of tests/e2e/data and the
// sample rules file.
std::string ViewerExe();
std::string DataFile(const char* name);
std::string SampleRules();

// The chart of a rules file as the viewer draws it, made here with the
// same fonts, metrics and drawing (a 32-bit bitmap). False if the file
// does not load.
bool RenderChart(const std::string& path, Capture* chart);

// Compares a capture of the client area at the scroll position (in
// columns and lines) with the chart: inside the chart the pixels must be
// the chart's, beyond its right and bottom edges white.
::testing::AssertionResult ShowsChartAt(const Capture& view, const Capture& chart, int column,
                                        int line);

// The scroll position shown, found from the pixels: the one column and
// line at which ShowsChartAt holds. (Wine answers GetScrollPos and
// GetScrollRange only inside the window's own process.) False when no
// position or more than one fits.
bool FindViewPosition(const Capture& view, const Capture& chart, int* column, int* line);

// Pure colours as a capture holds them (0x00RRGGBB).
enum : unsigned int {
  PIXEL_BLACK = 0x000000,
  PIXEL_WHITE = 0xFFFFFF,
  PIXEL_RED = 0xFF0000,
  PIXEL_BLUE = 0x0000FF
};

// The chart font's metrics in this project's Wine prefix.
enum { CHAR_WIDTH = 11, LINE_HEIGHT = 13 };

// Generous limits: Wine on two busy cores.
enum : DWORD { START_TIMEOUT = 10000, STEP_TIMEOUT = 5000 };

// A viewer started on one command-line tail; ended when the test ends.
struct Viewer {
  Driven driven = {};
  HWND window = nullptr;
  bool Start(const char* tail);
  // Starts and waits for the main window, painted.
  ::testing::AssertionResult Open(const std::string& path);
  ::testing::AssertionResult CaptureView(Capture* capture);
  // WM_CLOSE and the exit code.
  ::testing::AssertionResult CloseWithExit(DWORD expected);
  ~Viewer();
};

// Posts a command the way the user gives it: way 0 presses its key, way 1
// sends WM_COMMAND with its number, as the menu does.
void PostKeyOrCommand(HWND window, int way, UINT key, WORD command);

// Runs the viewer on the tail and expects the "Fatal Error" box without an
// owner, with exactly this text, no main window, and exit code 1 after OK.
::testing::AssertionResult EndsWithFatalBox(const char* tail, const std::string& text);
