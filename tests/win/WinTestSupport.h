// Shared helpers of the Windows tests: a memory device context to draw into,
// message boxes answered from inside the test, and the example rules. Rules
// are loaded and fatal errors caught with the core tests' helpers.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "TestSupport.h"

// Pure colours as GetPixel reports them.
enum : COLORREF { BLACK = 0x000000, WHITE = 0xFFFFFF, RED = 0x0000FF, BLUE = 0xFF0000 };

// A white 32-bit bitmap of the given size selected into a memory device
// context, prepared as the main window prepares its chart.
struct Canvas {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ previous = nullptr;
  void Open(int width, int height);
  void Close();
  COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
};

// Answers every message box and dialog of this thread: records the caption,
// the text and the owner of the last one, then presses the button.
struct BoxAnswers {
  int button = IDOK;  // pressed in every box
  std::string caption;
  std::string text;
  HWND owner = nullptr;
  int count = 0;
  std::vector<std::string> captions;  // of every box, in order
  std::vector<HWND> seen;             // a box is activated more than once
};
void StartAnsweringBoxes(BoxAnswers* answers);
void StopAnsweringBoxes();

// Three rows of 1, 5 and 4 boxes, the first two with units: a chart wider
// and higher than the test windows.
extern const char* const EXAMPLE_RULES;
