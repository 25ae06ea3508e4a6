// Shared helpers of the Windows tests: fatal errors caught as exceptions,
// rules loaded from text, a memory device context to draw into, and
// message boxes answered from inside the test.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

// What FatalStop throws here: the exit code and TextBuffer.
struct FatalError {
  int code;
  std::string message;
};

// Runs the action and returns the fatal error it raised; records a test
// failure when it ends normally.
template <typename Action>
FatalError CatchFatal(Action action) {
  try {
    action();
  } catch (const FatalError& fatal) {
    return fatal;
  }
  ADD_FAILURE() << "no fatal error";
  return FatalError{-1, ""};
}

// Writes the rules text to a temporary file and loads it with the core.
void LoadRulesText(const std::string& text);

// Forgets the loaded rules (and removes the temporary file).
void ForgetRules();

// Pure colours as GetPixel reports them.
enum : COLORREF { BLACK = 0x000000, WHITE = 0xFFFFFF, RED = 0x0000FF, BLUE = 0xFF0000 };

// A white 32-bit bitmap of the given size selected into a memory device
// context, prepared as the main window prepares its chart.
struct Canvas {
  HDC dc = NULL;
  HBITMAP bitmap = NULL;
  HGDIOBJ previous = NULL;
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
  HWND owner = NULL;
  int count = 0;
  std::vector<std::string> captions;  // of every box, in order
  std::vector<HWND> seen;             // a box is activated more than once
};
void StartAnsweringBoxes(BoxAnswers* answers);
void StopAnsweringBoxes();

// Three rows of 1, 5 and 4 boxes, the first two with units: the rows of the
// worked example, wider and higher than the test windows.
extern const char* const EXAMPLE_RULES;

// A 32-bit DIB description whose rows run from the top down.
BITMAPINFO TopDown32BitInfo(int width, int height);
