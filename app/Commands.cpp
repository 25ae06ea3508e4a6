#include "app/Commands.h"

#include <commdlg.h>
#include <stdio.h>

#include "app/MainWin.h"
#include "chart/Metrics.h"
#include "chart/PrintStrips.h"
#include "rules/Fatal.h"

#ifndef _WIN64
static_assert(sizeof(PRINTDLGA) == 66, "the print dialog record of 32-bit Windows");
static_assert(sizeof(DOCINFOA) == 20, "the document record of 32-bit Windows");
#endif

static void CopyFailed(const char* text) {
  MessageBoxA(NULL, text, "Clipboard Copy Failed", MB_OK);
}

// A new bitmap of the chart's size and format holding the chart's pixels,
// or NULL. The clipboard gets this copy: a bitmap that stays selected into
// ChartDC could not be read by the programs that paste it.
static HBITMAP CopyChartBitmap() {
  HBITMAP copy = CreateCompatibleBitmap(ChartDC, ChartWidth, ChartHeight);
  if (copy == NULL) return NULL;
  HDC copyDC = CreateCompatibleDC(ChartDC);
  HGDIOBJ previous = copyDC != NULL ? SelectObject(copyDC, copy) : NULL;
  BOOL copied =
      previous != NULL && BitBlt(copyDC, 0, 0, ChartWidth, ChartHeight, ChartDC, 0, 0, SRCCOPY);
  if (previous != NULL) SelectObject(copyDC, previous);
  if (copyDC != NULL) DeleteDC(copyDC);
  if (!copied) {
    DeleteObject(copy);
    return NULL;
  }
  return copy;
}

void Copy(HWND window) {
  if (!OpenClipboard(window)) {
    CopyFailed("Unable to open clipboard");
    return;
  }
  HBITMAP copy = CopyChartBitmap();
  if (copy == NULL) {
    CloseClipboard();  // unchanged: it is emptied only once the copy exists
    CopyFailed("Not enough memory to copy the chart bitmap");
    return;
  }
  EmptyClipboard();
  if (SetClipboardData(CF_BITMAP, copy) == NULL) {
    DeleteObject(copy);
    CloseClipboard();
    CopyFailed("Unable to put the bitmap on the clipboard");
    return;
  }
  // From here the clipboard owns the copy.
  CloseClipboard();
  MessageBoxA(NULL, "Clipboard contains bitmap", "Clipboard Copy Successful", MB_OK);
}

// Stretches one half of the chart across the page, strip by strip.
static void PrintHalf(HDC printer, int page, float scale, int32_t vertRes) {
  for (int32_t stripX = 0; stripX < ChartWidth; stripX += PrintStripWidth(stripX, ChartWidth)) {
    PrintStrip strip;
    if (!ComputePrintStrip(stripX, ChartWidth, ChartHeight, scale, vertRes, page, &strip)) {
      continue;
    }
    if (!StretchBlt(printer, strip.destLeft, strip.destTop, strip.destWidth, strip.destHeight,
                    ChartDC, strip.srcLeft, strip.srcTop, strip.srcWidth, strip.srcHeight,
                    SRCCOPY)) {
      CheckLastError("StretchBlt");
    }
  }
}

typedef BOOL(WINAPI* PrintDialogFunction)(LPPRINTDLGA);

// The print dialog's library is loaded at the first Print rather than
// imported: loading it costs every start-up a good share of its time, and
// most runs never print.
static PrintDialogFunction LoadPrintDialog() {
  static PrintDialogFunction printDialog = NULL;
  if (printDialog == NULL) {
    HMODULE library = LoadLibraryA("comdlg32.dll");
    if (library != NULL) {
      FARPROC address = GetProcAddress(library, "PrintDlgA");
      printDialog = reinterpret_cast<PrintDialogFunction>(reinterpret_cast<void*>(address));
    }
  }
  return printDialog;
}

void Print(HWND window) {
  PrintDialogFunction printDialog = LoadPrintDialog();
  if (printDialog == NULL) return;  // as a dialog that failed: nothing is printed
  PRINTDLGA dialog = {};
  dialog.lStructSize = sizeof(PRINTDLGA);
  dialog.hwndOwner = window;
  dialog.Flags = PD_RETURNDC;
  dialog.nFromPage = 1;
  dialog.nToPage = 1;
  dialog.nMinPage = 0;
  dialog.nMaxPage = 0;
  dialog.nCopies = 1;
  if (printDialog(&dialog) == 0) return;

  HDC printer = dialog.hDC;
  DOCINFOA document = {};
  document.cbSize = sizeof(DOCINFOA);
  document.lpszDocName = "Velmora 2 Research Tree";
  StartDocA(printer, &document);
  StartPage(printer);
  int32_t horzRes = GetDeviceCaps(printer, HORZRES);
  int32_t vertRes = GetDeviceCaps(printer, VERTRES);
  float scale = PrintScale(horzRes, ChartWidth);
  PrintHalf(printer, 0, scale, vertRes);
  EndPage(printer);
  StartPage(printer);
  PrintHalf(printer, 1, scale, vertRes);
  EndPage(printer);
  EndDoc(printer);

  DeleteDC(printer);
  if (dialog.hDevMode != NULL) GlobalFree(dialog.hDevMode);
  if (dialog.hDevNames != NULL) GlobalFree(dialog.hDevNames);
}

void FormatAboutText(int32_t width, int32_t height, int32_t bitsPerPixel) {
  // Pixels times bits would pass 64 bits for the largest charts; dividing
  // the pixel count by 8 first keeps every term below 2^64.
  unsigned long long pixels = (unsigned long long)(uint32_t)width * (uint32_t)height;
  unsigned long long bits = (uint32_t)bitsPerPixel;
  unsigned long long bytes = pixels / 8 * bits + pixels % 8 * bits / 8;
  snprintf(TextBuffer, TEXT_BUFFER_SIZE,
           "V1.1\n\nBitmap dimensions are %u x %u x %u bits.\nResulting bitmap size is %llu bytes.",
           (unsigned)width, (unsigned)height, (unsigned)bitsPerPixel, bytes);
}

void About(HWND window) {
  FormatAboutText(ChartWidth, ChartHeight, GetDeviceCaps(ChartDC, BITSPIXEL));
  MessageBoxA(window, TextBuffer, "About Lorvane", MB_OK);
}
