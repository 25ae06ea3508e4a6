// The main window in this process: creation, scrolling, resizing,
// painting and the three commands, with message boxes answered by a hook.
#include <stdint.h>
#include <string.h>

#include <string>

#include "WinTestSupport.h"
#include "app/Commands.h"
#include "app/MainWin.h"
#include "app/StartUp.h"
#include "app/resource.h"
#include "chart/Draw.h"
#include "chart/Metrics.h"
#include "rules/Advance.h"
#include "rules/Fatal.h"

namespace {

// The root alone: a chart far smaller than the window.
const char* const ROOT_ONLY_RULES = "@CIVILIZE\n@IMPROVE\n@UNITS\n@TERRAIN\n";

void PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

class MainWinTest : public ::testing::Test {
 protected:
  HWND window = NULL;
  Canvas screen;
  BoxAnswers boxes;

  static void SetUpTestSuite() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = MainWinProc;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    windowClass.lpszClassName = "MainWin";
    RegisterClassA(&windowClass);
  }

  void Open(const char* rules, int width, int height) {
    LoadRulesText(rules);
    HHOOK none = NULL;
    (void)none;
    window = CreateWindowExA(0, "MainWin", "Lorvane", WS_OVERLAPPEDWINDOW | WS_HSCROLL | WS_VSCROLL,
                             0, 0, width, height, NULL, NULL, GetModuleHandleA(NULL), NULL);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    PumpMessages();
  }

  void TearDown() override {
    StopAnsweringBoxes();
    screen.Close();
    if (window != NULL && IsWindow(window)) DestroyWindow(window);
    PumpMessages();
    MSG quit;
    while (PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    ForgetRules();
  }

  RECT Client() const {
    RECT client;
    GetClientRect(window, &client);
    return client;
  }

  // The client area's pixels as shown on the screen.
  void Capture() {
    UpdateWindow(window);
    PumpMessages();
    RECT client = Client();
    screen.Close();
    screen.Open(client.right, client.bottom);
    HDC windowDC = GetDC(window);
    BitBlt(screen.dc, 0, 0, client.right, client.bottom, windowDC, 0, 0, SRCCOPY);
    ReleaseDC(window, windowDC);
  }

  void Scroll(UINT message, unsigned code, unsigned thumb = 0) {
    EXPECT_EQ(SendMessageA(window, message, MAKEWPARAM(code, thumb), 0), 0);
  }
};

TEST_F(MainWinTest, CreationDrawsTheWholeChartIntoItsBitmap) {
  Open(EXAMPLE_RULES, 600, 400);
  TEXTMETRICA metrics;
  HDC dc = CreateCompatibleDC(NULL);
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
  RECT client = Client();
  EXPECT_EQ(ClientWidth, client.right + 1);
  EXPECT_EQ(ClientHeight, client.bottom + 1);
  EXPECT_EQ(HScrollMax, (ChartWidth - ClientWidth) / CharWidth);
  EXPECT_EQ(ChartLines, (ChartHeight - ClientHeight) / LineHeight);
  ASSERT_GT(HScrollMax, 0);
  ASSERT_GT(ChartLines, 0);
  int low = -1, high = -1;
  GetScrollRange(window, SB_HORZ, &low, &high);
  EXPECT_EQ(low, 0);
  EXPECT_EQ(high, HScrollMax);
  GetScrollRange(window, SB_VERT, &low, &high);
  EXPECT_EQ(low, 0);
  EXPECT_EQ(high, ChartLines);
  EXPECT_EQ(HScrollPos, 0);
  EXPECT_EQ(VScrollPos, 0);
}

TEST_F(MainWinTest, ScrollMessagesMoveBothBars) {
  Open(EXAMPLE_RULES, 600, 400);
  struct Bar {
    UINT message;
    int bar;
    int32_t* position;
    int32_t maximum;
    int32_t page;
  } const bars[] = {
      {WM_HSCROLL, SB_HORZ, &HScrollPos, HScrollMax, ClientWidth / CharWidth},
      {WM_VSCROLL, SB_VERT, &VScrollPos, ChartLines, ClientHeight / LineHeight},
  };
  for (const Bar& b : bars) {
    ASSERT_GT(b.maximum, 2);
    struct {
      unsigned code, thumb;
      int32_t expected;
    } const steps[] = {
        {SB_LINEUP, 0, 0},  // already at 0
        {SB_PAGEUP, 0, 0},
        {SB_LINEDOWN, 0, 1},
        {SB_THUMBTRACK, 2, 2},
        {SB_TOP, 0, 2},  // codes 6, 7 and 8 leave the position
        {SB_BOTTOM, 0, 2},
        {SB_ENDSCROLL, 0, 2},
        {SB_THUMBPOSITION, (unsigned)b.maximum, b.maximum},
        {SB_LINEDOWN, 0, b.maximum},  // already at the maximum
        {SB_PAGEDOWN, 0, b.maximum},
        {SB_PAGEUP, 0, b.maximum - b.page < 0 ? 0 : b.maximum - b.page},
        {SB_LINEUP, 0, b.maximum - b.page < 1 ? 0 : b.maximum - b.page - 1},
    };
    for (const auto& step : steps) {
      Scroll(b.message, step.code, step.thumb);
      EXPECT_EQ(*b.position, step.expected) << "bar " << b.bar << " code " << step.code;
      EXPECT_EQ(GetScrollPos(window, b.bar), step.expected) << "bar " << b.bar;
    }
  }
}

TEST_F(MainWinTest, PaintShowsTheChartFromTheScrollPosition) {
  Open(EXAMPLE_RULES, 600, 400);
  Scroll(WM_HSCROLL, SB_THUMBPOSITION, 3);
  Scroll(WM_VSCROLL, SB_THUMBPOSITION, 2);
  Capture();
  RECT client = Client();
  int differences = 0;
  for (int y = 0; y < client.bottom; ++y) {
    for (int x = 0; x < client.right; ++x) {
      differences += screen.At(x, y) != GetPixel(ChartDC, x + 3 * CharWidth, y + 2 * LineHeight);
    }
  }
  EXPECT_EQ(differences, 0);
  EXPECT_GT(client.right, 100);
}

TEST_F(MainWinTest, FirstPaintShowsTheTopLeftBox) {
  Open(EXAMPLE_RULES, 600, 400);
  Capture();
  // The first box of the widest row starts half a CharWidth from the left.
  int x = CharWidth - CharWidth / 2;
  int y = LineHeight + LevelHeight[0] + RowGap - LineHeight / 2;
  EXPECT_EQ(screen.At(x, y), BLACK);
  EXPECT_EQ(screen.At(x - 1, y), WHITE);
  EXPECT_EQ(screen.At(x, y - 1), WHITE);
}

TEST_F(MainWinTest, LargerWindowBringsThePositionBackToTheMaximum) {
  Open(EXAMPLE_RULES, 400, 300);
  int32_t oldHorizontal = HScrollMax;
  int32_t oldVertical = ChartLines;
  Scroll(WM_HSCROLL, SB_THUMBPOSITION, HScrollMax);
  Scroll(WM_VSCROLL, SB_THUMBPOSITION, ChartLines);
  MoveWindow(window, 0, 0, 700, 450, TRUE);
  PumpMessages();
  EXPECT_LT(HScrollMax, oldHorizontal);
  EXPECT_LT(ChartLines, oldVertical);
  EXPECT_EQ(HScrollPos, HScrollMax);
  EXPECT_EQ(VScrollPos, ChartLines);
  EXPECT_EQ(HScrollMax, (ChartWidth - ClientWidth) / CharWidth);
  // Making it smaller again keeps the position where it came back to.
  int32_t largeMaximum = HScrollMax;
  MoveWindow(window, 0, 0, 400, 300, TRUE);
  PumpMessages();
  EXPECT_EQ(HScrollMax, oldHorizontal);
  EXPECT_EQ(HScrollPos, largeMaximum);
}

TEST_F(MainWinTest, SmallChartDoesNotScrollAndShowsWhiteBeyondIt) {
  Open(ROOT_ONLY_RULES, 600, 400);
  ASSERT_LT(ChartWidth, ClientWidth);
  ASSERT_LT(ChartHeight, ClientHeight);
  EXPECT_EQ(HScrollMax, 0);
  EXPECT_EQ(ChartLines, 0);
  for (unsigned code : {SB_LINEDOWN, SB_PAGEDOWN, SB_LINEUP, SB_PAGEUP}) {
    Scroll(WM_HSCROLL, code);
    Scroll(WM_VSCROLL, code);
    EXPECT_EQ(HScrollPos, 0) << code;
    EXPECT_EQ(VScrollPos, 0) << code;
  }
  Capture();
  RECT client = Client();
  EXPECT_EQ(screen.At(RootAdvance.chartX - CharWidth / 2, RootAdvance.chartY - LineHeight / 2),
            BLACK);
  int notWhite = 0;
  for (int y = 0; y < client.bottom; ++y) {
    for (int x = 0; x < client.right; ++x) {
      if (x >= ChartWidth || y >= ChartHeight) notWhite += screen.At(x, y) != WHITE;
    }
  }
  EXPECT_EQ(notWhite, 0);

  // A thumb position past the chart (taken as it comes) shows white only.
  Scroll(WM_HSCROLL, SB_THUMBPOSITION, 40);
  EXPECT_EQ(HScrollPos, 40);
  Capture();
  int shown = 0;
  for (int y = 0; y < client.bottom; ++y) {
    for (int x = 0; x < client.right; ++x) shown += screen.At(x, y) != WHITE;
  }
  EXPECT_EQ(shown, 0);
}

TEST_F(MainWinTest, UnknownCommandsDoNothing) {
  Open(EXAMPLE_RULES, 600, 400);
  StartAnsweringBoxes(&boxes);
  for (unsigned command : {0u, 99u, 104u, 0xFFFFu}) {
    EXPECT_EQ(SendMessageA(window, WM_COMMAND, command, 0), 0);
  }
  // The high word is not looked at: 103 with 1 above it is About.
  EXPECT_EQ(boxes.count, 0);
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

// The pixels of a bitmap that is selected nowhere, as 32-bit values.
std::string Pixels(HBITMAP bitmap, int width, int height) {
  std::string bytes((size_t)width * height * 4, '\0');
  BITMAPINFO info = TopDown32BitInfo(width, height);
  HDC dc = GetDC(NULL);
  int rows = GetDIBits(dc, bitmap, 0, height, &bytes[0], &info, DIB_RGB_COLORS);
  ReleaseDC(NULL, dc);
  EXPECT_EQ(rows, height);
  return bytes;
}

TEST_F(MainWinTest, CopyPutsACopyOfTheChartOnTheClipboard) {
  Open(EXAMPLE_RULES, 600, 400);
  StartAnsweringBoxes(&boxes);
  SendMessageA(window, WM_COMMAND, IDM_COPY, 0);
  ASSERT_EQ(boxes.count, 1);
  EXPECT_EQ(boxes.caption, "Clipboard Copy Successful");
  EXPECT_EQ(boxes.text, "Clipboard contains bitmap");
  EXPECT_EQ(boxes.owner, nullptr);

  ASSERT_TRUE(OpenClipboard(NULL));
  HBITMAP pasted = (HBITMAP)GetClipboardData(CF_BITMAP);
  ASSERT_NE(pasted, nullptr);
  EXPECT_NE(pasted, ChartBitmap);
  BITMAP size;
  ASSERT_EQ(GetObjectA(pasted, sizeof size, &size), (int)sizeof size);
  EXPECT_EQ(size.bmWidth, ChartWidth);
  EXPECT_EQ(size.bmHeight, ChartHeight);
  std::string pastedPixels = Pixels(pasted, ChartWidth, ChartHeight);
  CloseClipboard();

  // The window keeps its own bitmap selected and goes on showing it.
  EXPECT_EQ(GetCurrentObject(ChartDC, OBJ_BITMAP), ChartBitmap);
  HBITMAP spare = CreateBitmap(1, 1, 1, 1, NULL);
  SelectObject(ChartDC, spare);
  std::string chartPixels = Pixels(ChartBitmap, ChartWidth, ChartHeight);
  SelectObject(ChartDC, ChartBitmap);
  DeleteObject(spare);
  EXPECT_TRUE(pastedPixels == chartPixels) << "the clipboard holds the chart's pixels";
}

TEST_F(MainWinTest, CopyTwiceLeavesOneBitmap) {
  Open(EXAMPLE_RULES, 600, 400);
  StartAnsweringBoxes(&boxes);
  SendMessageA(window, WM_COMMAND, IDM_COPY, 0);
  ASSERT_TRUE(OpenClipboard(NULL));
  HBITMAP first = (HBITMAP)GetClipboardData(CF_BITMAP);
  CloseClipboard();
  EXPECT_NE(first, nullptr);
  SendMessageA(window, WM_COMMAND, IDM_COPY, 0);
  EXPECT_EQ(boxes.count, 2);
  EXPECT_EQ(boxes.caption, "Clipboard Copy Successful");
  ASSERT_TRUE(OpenClipboard(NULL));
  HBITMAP second = (HBITMAP)GetClipboardData(CF_BITMAP);
  int bitmaps = 0;
  for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format)) {
    bitmaps += format == CF_BITMAP;
  }
  CloseClipboard();
  EXPECT_NE(second, nullptr);
  EXPECT_EQ(bitmaps, 1);
  EXPECT_EQ(GetObjectType(ChartBitmap), (DWORD)OBJ_BITMAP);
}

DWORD WINAPI HoldClipboard(void* events) {
  HANDLE* pair = (HANDLE*)events;
  BOOL opened = OpenClipboard(NULL);
  SetEvent(pair[0]);
  WaitForSingleObject(pair[1], 10000);
  if (opened) CloseClipboard();
  return opened ? 0 : 1;
}

// Some text on the clipboard, to see whether a failed Copy leaves it.
bool PutMarkerOnClipboard(HWND window) {
  if (!OpenClipboard(window)) return false;
  EmptyClipboard();
  HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 7);
  memcpy(GlobalLock(text), "marker", 7);
  GlobalUnlock(text);
  SetClipboardData(CF_TEXT, text);
  CloseClipboard();
  return true;
}

TEST_F(MainWinTest, CopyWhileAnotherThreadHoldsTheClipboardFails) {
  Open(EXAMPLE_RULES, 600, 400);
  // Something else on the clipboard first, to see that it stays.
  ASSERT_TRUE(PutMarkerOnClipboard(window));

  HANDLE events[2] = {CreateEventA(NULL, TRUE, FALSE, NULL), CreateEventA(NULL, TRUE, FALSE, NULL)};
  HANDLE holder = CreateThread(NULL, 0, HoldClipboard, events, 0, NULL);
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

  ASSERT_EQ(boxes.count, 1);
  EXPECT_EQ(boxes.caption, "Clipboard Copy Failed");
  EXPECT_EQ(boxes.text, "Unable to open clipboard");
  EXPECT_EQ(boxes.owner, nullptr);
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
}

TEST_F(MainWinTest, CopyThatCannotMakeItsBitmapFailsAndLeavesTheClipboard) {
  Open(EXAMPLE_RULES, 600, 400);
  ASSERT_TRUE(PutMarkerOnClipboard(window));
  // A copy of this size cannot be made.
  int32_t width = ChartWidth, height = ChartHeight;
  ChartWidth = 1 << 20;
  ChartHeight = 1 << 20;
  StartAnsweringBoxes(&boxes);
  SendMessageA(window, WM_COMMAND, IDM_COPY, 0);
  ChartWidth = width;
  ChartHeight = height;
  ASSERT_EQ(boxes.count, 1);
  EXPECT_EQ(boxes.caption, "Clipboard Copy Failed");
  EXPECT_EQ(boxes.text, "Not enough memory to copy the chart bitmap");
  EXPECT_EQ(boxes.owner, nullptr);
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
  // The clipboard was closed again: this thread can open it.
  EXPECT_TRUE(OpenClipboard(NULL));
  CloseClipboard();
}

TEST_F(MainWinTest, DestroyDeletesTheDrawingObjectsAndQuits) {
  Open(EXAMPLE_RULES, 600, 400);
  HGDIOBJ objects[] = {NearPen, FarPen, NameFont, DetailFont, UnitFont, ChartBitmap};
  HDC chartDC = ChartDC;
  for (HGDIOBJ object : objects) EXPECT_NE(GetObjectType(object), 0u);
  DestroyWindow(window);
  window = NULL;
  for (HGDIOBJ object : objects) EXPECT_EQ(GetObjectType(object), 0u) << object;
  EXPECT_EQ(GetObjectType(chartDC), 0u);
  MSG quit;
  ASSERT_TRUE(PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 0u);
}

// Without a printer the system answers the print dialog with messages of
// its own; the test command starts a spooler with a PDF printer.
bool HavePrinter() {
  DWORD needed = 0, printers = 0;
  EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, NULL, 2, NULL, 0, &needed,
                &printers);
  return needed != 0;
}

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

TEST_F(MainWinTest, PrintConfirmedShowsNoMessage) {
  if (!HavePrinter()) GTEST_SKIP() << "no printer here";
  Open(EXAMPLE_RULES, 600, 400);
  StartAnsweringBoxes(&boxes);
  SendMessageA(window, WM_COMMAND, IDM_PRINT, 0);
  EXPECT_EQ(boxes.count, 1);
  EXPECT_EQ(boxes.caption, "Print");
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(GetCurrentObject(ChartDC, OBJ_BITMAP), ChartBitmap);
}

// The scroll arithmetic on its own.
TEST(ScrollMaximum, ChartLessClientInWholeUnitsNeverBelowZero) {
  struct {
    int32_t chart, client, unit, expected;
  } const cases[] = {
      {875, 501, 9, 41},                     // position 41 shows the chart from pixel 369
      {494, 331, 13, 12},                    // remainder dropped
      {875, 875, 9, 0},   {875, 876, 9, 0},  // chart narrower by less than a unit
      {875, 884, 9, 0},                      // by a whole unit: would be -1
      {214, 600, 11, 0},  {100000, 1, 7, 14285},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ScrollMaximum(c.chart, c.client, c.unit), c.expected)
        << c.chart << " " << c.client << " " << c.unit;
  }
}

TEST(ScrolledPosition, FollowsTheScrollCodes) {
  struct {
    int32_t position, maximum, page;
    unsigned code, thumb;
    int32_t expected;
  } const cases[] = {
      {5, 41, 55, SB_LINEUP, 0, 4},
      {0, 41, 55, SB_LINEUP, 0, 0},
      {5, 41, 55, SB_LINEDOWN, 0, 6},
      {41, 41, 55, SB_LINEDOWN, 0, 41},
      {30, 41, 55, SB_PAGEUP, 0, 0},
      {60, 80, 55, SB_PAGEUP, 0, 5},
      {10, 80, 55, SB_PAGEDOWN, 0, 65},
      {30, 80, 55, SB_PAGEDOWN, 0, 80},
      {7, 41, 0, SB_PAGEDOWN, 0, 7},  // a client narrower than one column
      {7, 41, 0, SB_PAGEUP, 0, 7},
      {7, 41, 55, SB_THUMBPOSITION, 12, 12},
      {7, 41, 55, SB_THUMBTRACK, 0, 0},
      {7, 41, 55, SB_THUMBTRACK, 65535, 65535},  // taken unchanged
      {7, 41, 55, SB_TOP, 3, 7},
      {7, 41, 55, SB_BOTTOM, 3, 7},
      {7, 41, 55, SB_ENDSCROLL, 3, 7},
      {7, 41, 55, 9, 3, 7},
      // Each move tests only the bound in its own direction.
      {50, 41, 55, SB_LINEUP, 0, 49},
      {0, 0, 55, SB_LINEDOWN, 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ScrolledPosition(c.position, c.maximum, c.page, c.code, c.thumb), c.expected)
        << "position " << c.position << " code " << c.code;
  }
  EXPECT_EQ(501 / 9, 55);  // the page of the first cases
}

TEST(AboutText, ShowsTheVersionAndTheFigures) {
  struct {
    int32_t width, height, bits;
    const char* size;
  } const cases[] = {
      {875, 494, 16, "864500"},
      {875, 494, 32, "1729000"},
      {3, 1, 1, "0"},                    // remainder dropped
      {65536, 32768, 32, "8589934592"},  // 8 GiB, past 32 bits
      {2147483647, 2147483647, 32, "18446744056529682436"},
  };
  for (const auto& c : cases) {
    FormatAboutText(c.width, c.height, c.bits);
    char expected[256];
    snprintf(expected, sizeof expected,
             "V1.1\n\nBitmap dimensions are %d x %d x %d bits.\nResulting bitmap size is %s bytes.",
             c.width, c.height, c.bits, c.size);
    EXPECT_STREQ(TextBuffer, expected);
  }
  FormatAboutText(875, 494, 16);
  EXPECT_STREQ(TextBuffer,
               "V1.1\n\nBitmap dimensions are 875 x 494 x 16 bits.\n"
               "Resulting bitmap size is 864500 bytes.");
}

TEST(RulesPath, CommandLineTailTakenWhole) {
  const char* const tails[] = {
      "D:\\Rules\\RULES.TXT",
      "\"C:\\My Rules\\RULES.TXT\"",  // quotes kept
      "RULES.TXT  ",                  // trailing blanks kept
      " ",
  };
  for (const char* tail : tails) {
    ChooseRulesPath(tail);
    EXPECT_STREQ(RulesPath, tail);
  }
  ChooseRulesPath("");
  EXPECT_STREQ(RulesPath, "C:\\KRN\\VEL2\\RULES.TXT");
}

TEST(RulesPath, LongestTailFitsLongerIsRefused) {
  std::string longest(255, 'x');
  ChooseRulesPath(longest.c_str());
  EXPECT_EQ(std::string(RulesPath), longest);
  std::string tooLong(256, 'y');
  FatalError fatal = CatchFatal([&] { ChooseRulesPath(tooLong.c_str()); });
  EXPECT_EQ(fatal.code, 1);
  EXPECT_EQ(fatal.message, "Rules file path is longer than 255 characters");
  EXPECT_EQ(std::string(RulesPath), longest) << "not a cut path";
  std::string huge(5000, 'z');
  EXPECT_EQ(CatchFatal([&] { ChooseRulesPath(huge.c_str()); }).code, 1);
}

TEST(CheckLastError, ReturnsWithoutAnErrorCode) {
  SetLastError(0);
  CheckLastError("StretchBlt");
  SUCCEED();
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
