// Drives a real lorvane.exe (or any GUI program) from a second Win32
// process under the same wineserver: start it, find its windows, read and
// press its message boxes, send keys, commands, sizes and scroll messages,
// capture its client area, and read its resources as data.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A started program.
struct Driven {
  HANDLE process;
  HANDLE thread;
  DWORD processId;
};

// Pixels of a captured area, 0x00RRGGBB, rows from the top.
struct Capture {
  int width;
  int height;
  std::vector<unsigned int> pixels;
};

// Windows path of a file: a Unix path (starting with '/') becomes the Wine
// path that names it (Z:\...); anything else is returned unchanged.
std::string WindowsPath(const std::string& path);

// Starts `exe` with the command line "\"exe\" tail" (no tail: the command
// line is the quoted name alone, so the program sees an empty tail). The
// exe path may be a Unix path. False if CreateProcessA failed.
bool StartProgram(const std::string& exe, const char* tail, Driven* driven);

// Waits for the process to end; true with its exit code, false on timeout.
bool WaitExit(Driven* driven, DWORD timeoutMs, DWORD* exitCode);

// The first running process whose program file is named `exeName` (case
// aside), other than `except`; 0 when there is none.
DWORD FindProcessNamed(const char* exeName, DWORD except);

// Ends the process (if it still runs) and closes the handles.
void KillProgram(Driven* driven);
void CloseDriven(Driven* driven);

// The visible top-level window of the process with this class, or none.
HWND FindProcessWindow(DWORD processId, const char* className);
// Polls FindProcessWindow until it gives a window, the process ends or the
// time runs out.
HWND WaitProcessWindow(Driven* driven, const char* className, DWORD timeoutMs);

// A dialog box (#32770) of the process with this caption, owned or not.
HWND FindDialog(DWORD processId, const char* caption);
HWND WaitDialog(Driven* driven, const char* caption, DWORD timeoutMs);
// Any dialog box of the process (the caption goes to *caption if given).
HWND FindAnyDialog(DWORD processId, std::string* caption);

// The text of a window (WM_GETTEXT works across processes).
std::string WindowText(HWND window);
// A message box's message: its Static child with id 0xFFFF.
std::string MessageBoxText(HWND box);
// Presses the box's OK button and waits until the box is gone.
bool PressOk(HWND box, DWORD timeoutMs);

// Presses a button of a dialog (IDOK, IDCANCEL, ...) and waits until the
// dialog is gone.
bool PressButton(HWND box, int id, DWORD timeoutMs);

// Waits until the window has no update region left (it has been painted),
// then until the captured area stays the same twice running.
bool WaitPainted(HWND window, DWORD timeoutMs);

// Keys and commands, posted so that a command that opens a modal box does
// not block the driver. A posted key passes the program's accelerators.
void PostKey(HWND window, UINT virtualKey);
void PostCommand(HWND window, WORD command);

// Scrolling: sends WM_HSCROLL (bar SB_HORZ) or WM_VSCROLL (SB_VERT) with
// the code in the low word and the thumb position in the high word.
void SendScroll(HWND window, int bar, WORD code, WORD thumb);

// Resizes so that the client rectangle is width x height pixels.
bool ResizeClient(HWND window, int width, int height);
RECT ClientRect(HWND window);

// A 32-bit DIB description whose rows run from the top down, and a DIB
// section of that kind for the device context (its pixels at *bits when
// bits is given).
BITMAPINFO TopDown32BitInfo(int width, int height);
HBITMAP CreateTopDown32BitSection(HDC dc, int width, int height, void** bits);

// The client area's pixels (GetDC + BitBlt into a 32-bit DIB section).
bool CaptureClient(HWND window, Capture* capture);
unsigned int PixelAt(const Capture& capture, int x, int y);
// The pixels of a bitmap that is selected into no device context.
bool BitmapPixels(HBITMAP bitmap, Capture* pixels);

// The clipboard as another program sees it. The pixels of its CF_BITMAP;
// false if there is none.
bool ClipboardBitmap(Capture* bitmap);
// Empties the clipboard and puts the text on it.
bool PutClipboardText(const char* text);
std::string ClipboardText();

// Resources of an exe, loaded as data.
struct MenuItem {
  UINT id;
  std::string text;
  UINT state;  // MF_GRAYED, MF_CHECKED, MF_SEPARATOR, MF_POPUP bits
  bool popup;
};
struct IconImage {
  int width;
  int height;
  int bitCount;
  int colorCount;
  bool hasMask;                     // the AND mask follows the colour bits
  std::vector<unsigned char> bits;  // the image resource: header, palette, XOR, AND
};
bool ReadMenu(const std::string& exe, const char* name, std::vector<MenuItem>* items);
bool ReadAccelerators(const std::string& exe, const char* name, std::vector<ACCEL>* table);
bool ReadIcon(const std::string& exe, const char* name, std::vector<IconImage>* images);
