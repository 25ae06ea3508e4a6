// The main window in this process: creation, scrolling, resizing,
// painting and the three commands, with message boxes answered by a hook.
#include <stdint.h>

#include <string>

#include "WinTestSupport.h"
#include "app/MainWin.h"
#include "app/View.h"
#include "app/resource.h"
#include "chart/Draw.h"
#include "chart/Metrics.h"
#include "driver.h"
#include "rules/Advance.h"

namespace {

void PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

class MainWinTest : public RulesTest {
 protected:
  HWND window = nullptr;
  BoxAnswers boxes;

  static void SetUpTestSuite() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = MainWinProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    windowClass.lpszClassName = "MainWin";
    RegisterClassA(&windowClass);
  }

  void Open(const char* rules, int width, int height) {
    Load(rules);
    window =
        CreateWindowExA(0, "MainWin", "Lorvane", WS_OVERLAPPEDWINDOW | WS_HSCROLL | WS_VSCROLL, 0,
                        0, width, height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    PumpMessages();
  }

  void TearDown() override {
    StopAnsweringBoxes();
    if (window != nullptr && IsWindow(window)) DestroyWindow(window);
    PumpMessages();
    MSG quit;
    while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    RulesTest::TearDown();
  }

  // The client area's pixels as shown on the screen, painted.
  ::Capture Screen() {
    UpdateWindow(window);
    PumpMessages();
    ::Capture screen;
    EXPECT_TRUE(CaptureClient(window, &screen));
    return screen;
  }

  void Scroll(UINT message, unsigned code, unsigned thumb = 0) {
    EXPECT_EQ(SendMessageA(window, message, MAKEWPARAM(code, thumb), 0), 0);
  }

  // The chart bitmap's pixels; it is taken out of ChartDC meanwhile.
  ::Capture ChartPixels() {
    ::Capture chart;
    HBITMAP spare = CreateBitmap(1, 1, 1, 1, nullptr);
    SelectObject(ChartDC, spare);
    EXPECT_TRUE(BitmapPixels(ChartBitmap, &chart));
    SelectObject(ChartDC, ChartBitmap);
    DeleteObject(spare);
    return chart;
  }

  ::Capture ClipboardPixels() {
    ::Capture pasted;
    EXPECT_TRUE(ClipboardBitmap(&pasted));
    return pasted;
  }
};

TEST_F(MainWinTest, CreationDrawsTheWholeChartIntoItsBitmap) {
  Open(EXAMPLE_RULES, 600, 400);
  TEXTMETRICA metrics;
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, DetailFont);
  GetTextMetricsA(dc, &metrics);
  DeleteDC(dc);
  EXPECT_EQ(CharWidth, metrics.tmMaxCharWidth);
  EXPECT_EQ(LineHeight, metrics.tmHeight + metrics.tmExternalLeading);
  EXPECT_EQ(ScreenWidth, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(ChartWidth, (13 * CharWidth + 13 * CharWidth / 2) * 5);

  EXPECT_EQ(GetCurrentObject(ChartDC, OBJ_BITMAP), ChartBitmap);
  BITMAP bitmap;
  ASSERT_EQ(GetObjectA(ChartBitmap, sizeof bitmap, &bitmap), (int)sizeof bitmap);
  EXPECT_EQ(bitmap.bmWidth, ChartWidth);
  EXPECT_EQ(bitmap.bmHeight, ChartHeight);

  // Every box was drawn: the top-left outline pixel of each is black.
  for (Advance* a = &RootAdvance; a->name[0] != '\0'; a = a->next) {
    EXPECT_EQ(GetPixel(ChartDC, a->chartX - CharWidth / 2, a->chartY - LineHeight / 2), BLACK)
        << a->name;
    EXPECT_GT(a->chartY, 0) << a->name;
  }
  EXPECT_EQ(GetPixel(ChartDC, 0, 0), WHITE);
  EXPECT_EQ(GetPixel(ChartDC, ChartWidth - 1, ChartHeight - 1), WHITE);
}

TEST_F(MainWinTest, SizeSetsTheRangesFromTheClientRectangle) {
  Open(EXAMPLE_RULES, 600, 400);
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(ClientWidthPlusOne, client.right + 1);
  EXPECT_EQ(ClientHeightPlusOne, client.bottom + 1);
  // The arithmetic itself is tested in tests/app, its effect on the real
  // viewer in tests/e2e.
  EXPECT_EQ(HScrollMax, ScrollMaximum(ChartWidth, ClientWidthPlusOne, CharWidth));
  EXPECT_EQ(VScrollMax, ScrollMaximum(ChartHeight, ClientHeightPlusOne, LineHeight));
  ASSERT_GT(HScrollMax, 0);
  ASSERT_GT(VScrollMax, 0);
  int low = -1, high = -1;
  GetScrollRange(window, SB_HORZ, &low, &high);
  EXPECT_EQ(low, 0);
  EXPECT_EQ(high, HScrollMax);
  GetScrollRange(window, SB_VERT, &low, &high);
  EXPECT_EQ(low, 0);
  EXPECT_EQ(high, VScrollMax);
  EXPECT_EQ(HScrollPos, 0);
  EXPECT_EQ(VScrollPos, 0);
}

// Each bar's message reaches its own position with its own maximum and
// page, and the bar follows.
TEST_F(MainWinTest, ScrollMessagesMoveTheirOwnBar) {
  Open(EXAMPLE_RULES, 600, 400);
  struct Bar {
    UINT message;
    int bar;
    int32_t* position;
    int32_t expected;
  } const bars[] = {
      {WM_HSCROLL, SB_HORZ, &HScrollPos,
       ScrolledPosition(0, HScrollMax, ScrollPage(ClientWidthPlusOne, CharWidth), SB_PAGEDOWN, 0)},
      {WM_VSCROLL, SB_VERT, &VScrollPos,
       ScrolledPosition(0, VScrollMax, ScrollPage(ClientHeightPlusOne, LineHeight), SB_PAGEDOWN,
                        0)},
  };
  for (const Bar& b : bars) {
    ASSERT_GT(b.expected, 0);
    Scroll(b.message, SB_PAGEDOWN);
    EXPECT_EQ(*b.position, b.expected) << "bar " << b.bar;
    EXPECT_EQ(GetScrollPos(window, b.bar), b.expected) << "bar " << b.bar;
  }
  EXPECT_EQ(HScrollPos, bars[0].expected) << "the other bar stays";
}

TEST_F(MainWinTest, PaintShowsTheChartFromTheScrollPosition) {
  Open(EXAMPLE_RULES, 600, 400);
  Scroll(WM_HSCROLL, SB_THUMBPOSITION, 3);
  Scroll(WM_VSCROLL, SB_THUMBPOSITION, 2);
  ::Capture screen = Screen(), chart = ChartPixels();
  int differences = 0;
  for (int y = 0; y < screen.height; ++y) {
    for (int x = 0; x < screen.width; ++x) {
      differences += PixelAt(screen, x, y) != PixelAt(chart, x + 3 * CharWidth, y + 2 * LineHeight);
    }
  }
  EXPECT_EQ(differences, 0);
  EXPECT_GT(screen.width, 100);
}

TEST_F(MainWinTest, FirstPaintShowsTheTopLeftBox) {
  Open(EXAMPLE_RULES, 600, 400);
  ::Capture screen = Screen();
  // The first box of the widest row starts half a CharWidth from the left.
  int x = CharWidth - CharWidth / 2;
  int y = LineHeight + LevelHeight[0] + RowGap - LineHeight / 2;
  EXPECT_EQ(PixelAt(screen, x, y), BLACK);
  EXPECT_EQ(PixelAt(screen, x - 1, y), WHITE);
  EXPECT_EQ(PixelAt(screen, x, y - 1), WHITE);
}

TEST_F(MainWinTest, UnknownCommandsDoNothing) {
  Open(EXAMPLE_RULES, 600, 400);
  Scroll(WM_HSCROLL, SB_THUMBPOSITION, 3);
  Scroll(WM_VSCROLL, SB_THUMBPOSITION, 2);
  ASSERT_TRUE(PutClipboardText("marker"));
  ::Capture chart = ChartPixels(), before = Screen();
  StartAnsweringBoxes(&boxes);
  for (unsigned command : {0u, 99u, 104u, 0xFFFFu}) {
    EXPECT_EQ(SendMessageA(window, WM_COMMAND, command, 0), 0);
  }
  // No box and no print dialog, the clipboard, the chart, the scroll
  // position and the picture as they were, and nothing left to repaint.
  EXPECT_EQ(boxes.count, 0) << ::testing::PrintToString(boxes.captions);
  EXPECT_EQ(ClipboardText(), "marker");
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
  EXPECT_TRUE(ChartPixels().pixels == chart.pixels);
  EXPECT_EQ(HScrollPos, 3);
  EXPECT_EQ(VScrollPos, 2);
  EXPECT_EQ(GetScrollPos(window, SB_HORZ), 3);
  EXPECT_EQ(GetScrollPos(window, SB_VERT), 2);
  EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
  EXPECT_TRUE(Screen().pixels == before.pixels);
  // The high word is not looked at: 103 with 1 above it is About.
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_ABOUT, 1), 0);
  EXPECT_EQ(boxes.count, 1);
  EXPECT_EQ(boxes.caption, "About Lorvane");
}

TEST_F(MainWinTest, AboutShowsTheBitmapFigures) {
  Open(EXAMPLE_RULES, 600, 400);
  StartAnsweringBoxes(&boxes);
  SendMessageA(window, WM_COMMAND, IDM_ABOUT, 0);
  ASSERT_EQ(boxes.count, 1);
  int bits = GetDeviceCaps(ChartDC, BITSPIXEL);
  char expected[256];
  snprintf(expected, sizeof expected,
           "V1.1\n\nBitmap dimensions are %d x %d x %d bits.\nResulting bitmap size is %lld bytes.",
           ChartWidth, ChartHeight, bits, (long long)ChartWidth * ChartHeight * bits / 8);
  EXPECT_EQ(boxes.text, expected);
  EXPECT_EQ(boxes.caption, "About Lorvane");
  EXPECT_EQ(boxes.owner, window);
}

TEST_F(MainWinTest, CopyPutsACopyOfTheChartOnTheClipboard) {
  Open(EXAMPLE_RULES, 600, 400);
  StartAnsweringBoxes(&boxes);
  SendMessageA(window, WM_COMMAND, IDM_COPY, 0);
  ASSERT_EQ(boxes.count, 1);
  EXPECT_EQ(boxes.caption, "Clipboard Copy Successful");
  EXPECT_EQ(boxes.text, "Clipboard contains bitmap");
  EXPECT_EQ(boxes.owner, nullptr);

  ASSERT_TRUE(OpenClipboard(nullptr));
  HBITMAP pasted = (HBITMAP)GetClipboardData(CF_BITMAP);
  CloseClipboard();
  ASSERT_NE(pasted, nullptr);
  EXPECT_NE(pasted, ChartBitmap);
  ::Capture copied = ClipboardPixels();
  EXPECT_EQ(copied.width, ChartWidth);
  EXPECT_EQ(copied.height, ChartHeight);

  // The window keeps its own bitmap selected and goes on showing it.
  EXPECT_EQ(GetCurrentObject(ChartDC, OBJ_BITMAP), ChartBitmap);
  EXPECT_TRUE(copied.pixels == ChartPixels().pixels) << "the clipboard holds the chart's pixels";
}

TEST_F(MainWinTest, SecondCopyReplacesTheFirst) {
  Open(EXAMPLE_RULES, 600, 400);
  StartAnsweringBoxes(&boxes);
  SendMessageA(window, WM_COMMAND, IDM_COPY, 0);
  ::Capture first = ClipboardPixels();
  // A chart that differs from the first copy: its upper half black.
  PatBlt(ChartDC, 0, 0, ChartWidth, ChartHeight / 2, BLACKNESS);
  SendMessageA(window, WM_COMMAND, IDM_COPY, 0);
  EXPECT_EQ(boxes.count, 2);
  EXPECT_EQ(boxes.caption, "Clipboard Copy Successful");
  ::Capture second = ClipboardPixels();
  EXPECT_FALSE(second.pixels == first.pixels) << "the first copy is still on the clipboard";
  EXPECT_TRUE(second.pixels == ChartPixels().pixels);
  EXPECT_EQ(GetObjectType(ChartBitmap), (DWORD)OBJ_BITMAP);
}

DWORD WINAPI HoldClipboardOnThread(void* events) {
  HANDLE* pair = (HANDLE*)events;
  BOOL opened = OpenClipboard(nullptr);
  SetEvent(pair[0]);
  WaitForSingleObject(pair[1], 10000);
  if (opened) CloseClipboard();
  return opened ? 0 : 1;
}

// A Copy that fails shows its box without an owner and leaves the
// clipboard's text.
void ExpectCopyFailed(const BoxAnswers& boxes, const char* text) {
  ASSERT_EQ(boxes.count, 1);
  EXPECT_EQ(boxes.caption, "Clipboard Copy Failed");
  EXPECT_EQ(boxes.text, text);
  EXPECT_EQ(boxes.owner, nullptr);
  EXPECT_EQ(ClipboardText(), "marker");
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
}

TEST_F(MainWinTest, CopyWhileAnotherThreadHoldsTheClipboardFails) {
  Open(EXAMPLE_RULES, 600, 400);
  ASSERT_TRUE(PutClipboardText("marker"));

  HANDLE events[2] = {CreateEventA(nullptr, TRUE, FALSE, nullptr),
                      CreateEventA(nullptr, TRUE, FALSE, nullptr)};
  HANDLE holder = CreateThread(nullptr, 0, HoldClipboardOnThread, events, 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(events[0], 10000), WAIT_OBJECT_0);
  StartAnsweringBoxes(&boxes);
  SendMessageA(window, WM_COMMAND, IDM_COPY, 0);
  SetEvent(events[1]);
  WaitForSingleObject(holder, 10000);
  DWORD holderResult = 1;
  GetExitCodeThread(holder, &holderResult);
  EXPECT_EQ(holderResult, 0u) << "the other thread held the clipboard";
  CloseHandle(holder);
  CloseHandle(events[0]);
  CloseHandle(events[1]);

  ExpectCopyFailed(boxes, "Unable to open clipboard");
}

TEST_F(MainWinTest, CopyThatCannotMakeItsBitmapFailsAndLeavesTheClipboard) {
  Open(EXAMPLE_RULES, 600, 400);
  ASSERT_TRUE(PutClipboardText("marker"));
  // A copy of this size cannot be made.
  int32_t width = ChartWidth, height = ChartHeight;
  ChartWidth = 1 << 20;
  ChartHeight = 1 << 20;
  StartAnsweringBoxes(&boxes);
  SendMessageA(window, WM_COMMAND, IDM_COPY, 0);
  ChartWidth = width;
  ChartHeight = height;
  ExpectCopyFailed(boxes, "Not enough memory to copy the chart bitmap");
  // The clipboard was closed again: this thread can open it.
  EXPECT_TRUE(OpenClipboard(nullptr));
  CloseClipboard();
}

TEST_F(MainWinTest, DestroyDeletesTheDrawingObjectsAndQuits) {
  Open(EXAMPLE_RULES, 600, 400);
  HGDIOBJ objects[] = {NearPen, FarPen, NameFont, DetailFont, UnitFont, ChartBitmap};
  HDC chartDC = ChartDC;
  for (HGDIOBJ object : objects) EXPECT_NE(GetObjectType(object), 0u);
  DestroyWindow(window);
  window = nullptr;
  for (HGDIOBJ object : objects) EXPECT_EQ(GetObjectType(object), 0u) << object;
  EXPECT_EQ(GetObjectType(chartDC), 0u);
  MSG quit;
  ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 0u);
}

// Without a printer the system answers the print dialog with messages of
// its own; the test command starts a spooler with a PDF printer.
bool HavePrinter() {
  DWORD needed = 0, printers = 0;
  EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, nullptr, 0, &needed,
                &printers);
  return needed != 0;
}

// CTest runs the two print tests through tests/print/spooler_jobs.sh, which
// counts the jobs they leave with the spooler: none after Cancel, one after OK.
TEST_F(MainWinTest, PrintDialogBelongsToTheWindowAndCancelPrintsNothing) {
  if (!HavePrinter()) GTEST_SKIP() << "no printer here";
  Open(EXAMPLE_RULES, 600, 400);
  boxes.button = IDCANCEL;
  StartAnsweringBoxes(&boxes);
  SendMessageA(window, WM_COMMAND, IDM_PRINT, 0);
  EXPECT_EQ(boxes.count, 1) << "the dialog and no message after it: "
                            << ::testing::PrintToString(boxes.captions) << boxes.text;
  EXPECT_EQ(boxes.caption, "Print");
  EXPECT_EQ(boxes.owner, window);
}

TEST_F(MainWinTest, PrintConfirmedShowsNoMessageAndSpoolsOneJob) {
  if (!HavePrinter()) GTEST_SKIP() << "no printer here";
  Open(EXAMPLE_RULES, 600, 400);
  StartAnsweringBoxes(&boxes);
  SendMessageA(window, WM_COMMAND, IDM_PRINT, 0);
  EXPECT_EQ(boxes.count, 1);
  EXPECT_EQ(boxes.caption, "Print");
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(GetCurrentObject(ChartDC, OBJ_BITMAP), ChartBitmap);
}

TEST(CheckLastError, ReturnsWithoutAnErrorCode) {
  SetLastError(0);
  EXPECT_NO_THROW(CheckLastError("StretchBlt"));
}

TEST(CheckLastError, EndsWithTheErrorCode) {
  struct {
    DWORD code;
    const char* name;
    const char* message;
  } const cases[] = {
      {8, "CreateCompatibleBitmap", "CreateCompatibleBitmap failed\nGetLastError returned 8"},
      {87, "StretchBlt", "StretchBlt failed\nGetLastError returned 87"},
      {0xC0000017, "StretchBlt", "StretchBlt failed\nGetLastError returned 3221225495"},
  };
  for (const auto& c : cases) {
    SetLastError(c.code);
    FatalError fatal = CatchFatal([&] { CheckLastError(c.name); });
    EXPECT_EQ((DWORD)fatal.code, c.code);
    EXPECT_EQ(fatal.message, c.message);
  }
}

}  // namespace
