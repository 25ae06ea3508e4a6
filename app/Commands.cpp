// The commands Copy, Print and About.
#include "app/Commands.h"

#include <commdlg.h>

#include "app/AboutText.h"
#include "app/MainWin.h"
#include "app/PrintStrips.h"
#include "chart/Metrics.h"
#include "rules/TextBuffer.h"

#ifndef _WIN64
static_assert(sizeof(PRINTDLGA) == 66, "the print dialog record of 32-bit Windows");
static_assert(sizeof(DOCINFOA) == 20, "the document record of 32-bit Windows");
#endif

namespace {

void CopyFailed(const char* text) { MessageBoxA(nullptr, text, "Clipboard Copy Failed", MB_OK); }

// A new bitmap of the chart's size and format holding the chart's pixels,
// or none. The clipboard gets this copy: a bitmap that stays selected into
// ChartDC could not be read by the programs that paste it.
HBITMAP CopyChartBitmap() {
  HBITMAP copy = CreateCompatibleBitmap(ChartDC, ChartWidth, ChartHeight);
  if (copy == nullptr) return nullptr;
  HDC copyDC = CreateCompatibleDC(ChartDC);
  HGDIOBJ previous = copyDC != nullptr ? SelectObject(copyDC, copy) : nullptr;
  BOOL copied =
      previous != nullptr && BitBlt(copyDC, 0, 0, ChartWidth, ChartHeight, ChartDC, 0, 0, SRCCOPY);
  if (previous != nullptr) SelectObject(copyDC, previous);
  if (copyDC != nullptr) DeleteDC(copyDC);
  if (!copied) {
    DeleteObject(copy);
    return nullptr;
  }
  return copy;
}

// Stretches one strip of the chart onto the printer's page.
void StretchStrip(const PrintStrip* strip, void* printer) {
  if (!StretchBlt(static_cast<HDC>(printer), strip->destLeft, strip->destTop, strip->destWidth,
                  strip->destHeight, ChartDC, strip->srcLeft, strip->srcTop, strip->srcWidth,
                  strip->srcHeight, SRCCOPY)) {
    CheckLastError("StretchBlt");
  }
}

typedef BOOL(WINAPI* PrintDialogFunction)(LPPRINTDLGA);

// The print dialog's library is loaded at the first Print rather than
// imported: loading it costs every start-up a good share of its time, and
// most runs never print.
PrintDialogFunction LoadPrintDialog() {
  static PrintDialogFunction printDialog = nullptr;
  if (printDialog == nullptr) {
    HMODULE library = LoadLibraryA("comdlg32.dll");
    if (library != nullptr) {
      FARPROC address = GetProcAddress(library, "PrintDlgA");
      printDialog = reinterpret_cast<PrintDialogFunction>(reinterpret_cast<void*>(address));
    }
  }
  return printDialog;
}

}  // namespace

void Copy(HWND window) {
  if (!OpenClipboard(window)) {
    CopyFailed("Unable to open clipboard");
    return;
  }
  HBITMAP copy = CopyChartBitmap();
  if (copy == nullptr) {
    CloseClipboard();  // unchanged: it is emptied only once the copy exists
    CopyFailed("Not enough memory to copy the chart bitmap");
    return;
  }
  EmptyClipboard();
  if (SetClipboardData(CF_BITMAP, copy) == nullptr) {
    DeleteObject(copy);
    CloseClipboard();
    CopyFailed("Unable to put the bitmap on the clipboard");
    return;
  }
  // From here the clipboard owns the copy.
  CloseClipboard();
  MessageBoxA(nullptr, "Clipboard contains bitmap", "Clipboard Copy Successful", MB_OK);
}

void Print(HWND window) {
  PrintDialogFunction printDialog = LoadPrintDialog();
  if (printDialog == nullptr) return;  // as a dialog that failed: nothing is printed
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
  PrintPageStrips(ChartWidth, ChartHeight, scale, vertRes, 0, StretchStrip, printer);
  EndPage(printer);
  StartPage(printer);
  PrintPageStrips(ChartWidth, ChartHeight, scale, vertRes, 1, StretchStrip, printer);
  EndPage(printer);
  EndDoc(printer);

  DeleteDC(printer);
  if (dialog.hDevMode != nullptr) GlobalFree(dialog.hDevMode);
  if (dialog.hDevNames != nullptr) GlobalFree(dialog.hDevNames);
}

void About(HWND window) {
  FormatAboutText(ChartWidth, ChartHeight, GetDeviceCaps(ChartDC, BITSPIXEL));
  MessageBoxA(window, TextBuffer, "About Lorvane", MB_OK);
}
