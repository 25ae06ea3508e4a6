// The viewer from the outside: its resources, its window on a good file, its default path,
// the tails Windows hands over with quotes. Every rules file it refuses, and every path but
// those, is a case of tests/hostile/cases.tsv.
#include <algorithm>
#include <string>

#include "e2e_support.h"

namespace {

TEST(Resources, MenuBarHoldsCopyPrintAboutAndNothingElse) {
  std::vector<MenuItem> items;
  ASSERT_TRUE(ReadMenu(ViewerExe(), "MAINMENU", &items));
  struct Expected {
    UINT id;
    const char* text;
  } const expected[] = {{101, "&Copy"}, {102, "&Print"}, {103, "&About"}};
  ASSERT_EQ(items.size(), 3u);
  for (size_t i = 0; i < items.size(); ++i) {
    SCOPED_TRACE(expected[i].text);
    EXPECT_EQ(items[i].text, expected[i].text);
    EXPECT_EQ(items[i].id, expected[i].id);
    EXPECT_FALSE(items[i].popup) << "a command directly on the bar, no drop-down";
    EXPECT_EQ(items[i].state & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_SEPARATOR), 0u);
  }
}

TEST(Resources, AcceleratorsAreF2F3F1WithoutShiftCtrlAlt) {
  std::vector<ACCEL> table;
  ASSERT_TRUE(ReadAccelerators(ViewerExe(), "MYMENU", &table));
  struct Expected {
    WORD key, command;
  } const expected[] = {{VK_F2, 101}, {VK_F3, 102}, {VK_F1, 103}};
  ASSERT_EQ(table.size(), 3u);
  for (const Expected& entry : expected) {
    SCOPED_TRACE(entry.command);
    int found = 0;
    for (const ACCEL& accel : table) {
      if (accel.key != entry.key) continue;
      ++found;
      EXPECT_EQ(accel.cmd, entry.command);
      // Virtual key only (the table may mark its last entry).
      EXPECT_EQ(accel.fVirt & (FVIRTKEY | FSHIFT | FCONTROL | FALT), FVIRTKEY);
    }
    EXPECT_EQ(found, 1);
  }
}

TEST(Resources, TreeIconIs32By32In16ColoursWithAMask) {
  std::vector<IconImage> images;
  ASSERT_TRUE(ReadIcon(ViewerExe(), "TREE_ICON", &images));
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0].width, 32);
  EXPECT_EQ(images[0].height, 32);
  EXPECT_EQ(images[0].bitCount, 4);
  EXPECT_EQ(images[0].colorCount, 16);
  EXPECT_TRUE(images[0].hasMask);
}

// The picture itself: the standard 16 colours, a transparent background,
// a green crown above a red trunk that ends in red roots.
TEST(Resources, TreeIconShowsAGreenCrownAboveARedTrunkAndRoots) {
  std::vector<IconImage> images;
  ASSERT_TRUE(ReadIcon(ViewerExe(), "TREE_ICON", &images));
  ASSERT_EQ(images.size(), 1u);
  const IconImage& icon = images[0];
  ASSERT_TRUE(icon.hasMask);
  ASSERT_EQ(icon.bitCount, 4);
  const BITMAPINFOHEADER* header = (const BITMAPINFOHEADER*)icon.bits.data();
  const RGBQUAD* palette = (const RGBQUAD*)(icon.bits.data() + header->biSize);
  const unsigned char* colours = (const unsigned char*)(palette + 16);
  const unsigned char* mask = colours + 32 * 16;  // 4 bits a pixel: 16 bytes a row
  const unsigned int standard[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                     0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                     0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  unsigned int rgb[16];
  for (int i = 0; i < 16; ++i) {
    rgb[i] = (palette[i].rgbRed << 16) | (palette[i].rgbGreen << 8) | palette[i].rgbBlue;
    EXPECT_NE(std::find(standard, standard + 16, rgb[i]), standard + 16) << std::hex << rgb[i];
  }
  // Rows are stored bottom-up; count from the top here.
  int transparent = 0, green = 0, greenRows = 0, redBottom = 0, greenBottom = 0;
  int lowestGreen = -1, lowestRed = -1;
  for (int row = 0; row < 32; ++row) {
    int stored = 31 - row;
    for (int x = 0; x < 32; ++x) {
      bool clear = (mask[stored * 4 + x / 8] >> (7 - x % 8)) & 1;
      if (clear) {
        ++transparent;
        continue;
      }
      unsigned char pair = colours[stored * 16 + x / 2];
      unsigned int colour = rgb[x % 2 ? pair & 15 : pair >> 4];
      bool isGreen = colour == 0x008000 || colour == 0x00FF00;
      bool isRed = colour == 0xFF0000 || colour == 0x800000;
      if (isGreen) ++green, greenRows += row, lowestGreen = row > lowestGreen ? row : lowestGreen;
      if (isRed) lowestRed = row > lowestRed ? row : lowestRed;
      if (row >= 24) redBottom += isRed, greenBottom += isGreen;
    }
  }
  EXPECT_GT(transparent, 200) << "a transparent background";
  EXPECT_GT(green, 200) << "a green crown";
  EXPECT_LT(greenRows / (green ? green : 1), 16) << "the crown in the upper half";
  EXPECT_GT(lowestRed, lowestGreen) << "the red trunk and roots reach below the crown";
  EXPECT_GT(redBottom, 10) << "red roots in the lowest quarter";
  EXPECT_EQ(greenBottom, 0);
}

TEST(Window, SampleOpensLorvaneWithBothBarsAndMenuAndClosesWithZero) {
  Viewer viewer;
  ASSERT_TRUE(viewer.Open(SampleRules()));
  EXPECT_EQ(WindowText(viewer.window), "Lorvane");
  LONG style = GetWindowLongA(viewer.window, GWL_STYLE);
  EXPECT_EQ(style & 0x00FF0000, 0x00FF0000) << std::hex << style;
  EXPECT_TRUE(GetMenu(viewer.window) != nullptr);
  EXPECT_TRUE(viewer.CloseWithExit(0));
}

TEST(Window, AboutFromF1AndFromItsCommandNamesTheChartSize) {
  Viewer viewer;
  ASSERT_TRUE(viewer.Open(DataFile("wide.txt")));
  HDC screen = GetDC(nullptr);
  unsigned bits = (unsigned)GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  // wide.txt: 6 boxes of 143 + 71 across; rows of 26, 91, 26, 65, 26, 26
  // pixels, each followed by 104.
  char text[200];
  snprintf(text, sizeof text,
           "V1.1\n\nBitmap dimensions are 1284 x 884 x %u bits.\nResulting bitmap size is %lu "
           "bytes.",
           bits, (unsigned long)(1284ul * 884ul * bits / 8));
  for (int way = 0; way < 2; ++way) {
    SCOPED_TRACE(way == 0 ? "F1" : "command 103");
    PostKeyOrCommand(viewer.window, way, VK_F1, 103);
    HWND box = WaitDialog(&viewer.driven, "About Lorvane", STEP_TIMEOUT);
    ASSERT_TRUE(box != nullptr);
    EXPECT_EQ(MessageBoxText(box), text);
    EXPECT_EQ(GetWindow(box, GW_OWNER), viewer.window);
    ASSERT_TRUE(PressOk(box, STEP_TIMEOUT));
  }
  EXPECT_TRUE(viewer.CloseWithExit(0));
}

// The default path C:\KRN\VEL2\RULES.TXT of the prefix: the test puts its
// own file there or takes it away, and leaves the prefix as it was.
class DefaultPath : public ::testing::Test {
 protected:
  const char* const path = "C:\\KRN\\VEL2\\RULES.TXT";
  const char* const saved = "C:\\KRN\\VEL2\\RULES.TXT.e2e-saved";
  bool hadFile = false;
  void SetUp() override {
    CreateDirectoryA("C:\\KRN", nullptr);
    CreateDirectoryA("C:\\KRN\\VEL2", nullptr);
    DeleteFileA(saved);
    hadFile = MoveFileA(path, saved) != 0;
  }
  void TearDown() override {
    DeleteFileA(path);
    if (hadFile) MoveFileA(saved, path);
  }
};

TEST_F(DefaultPath, EmptyOrBlankCommandLineNamesTheDefaultPath) {
  const std::string text = "Vel2 rules file \"C:\\KRN\\VEL2\\RULES.TXT\" not found";
  EXPECT_TRUE(EndsWithFatalBox(nullptr, text));
  EXPECT_TRUE(EndsWithFatalBox("   ", text));
  EXPECT_TRUE(EndsWithFatalBox("\t ", text));
}

TEST_F(DefaultPath, EmptyCommandLineOpensTheFileAtTheDefaultPath) {
  ASSERT_TRUE(CopyFileA(DataFile("wide.txt").c_str(), path, FALSE));
  Viewer viewer;
  ASSERT_TRUE(viewer.Start(nullptr));
  viewer.window = WaitProcessWindow(&viewer.driven, "MainWin", START_TIMEOUT);
  ASSERT_TRUE(viewer.window != nullptr);
  EXPECT_EQ(WindowText(viewer.window), "Lorvane");
  // The chart of wide.txt: 1284 pixels across.
  Capture view, chart;
  ASSERT_TRUE(RenderChart(DataFile("wide.txt"), &chart));
  EXPECT_EQ(chart.width, 1284);
  ASSERT_TRUE(viewer.CaptureView(&view));
  EXPECT_TRUE(ShowsChartAt(view, chart, 0, 0));
  EXPECT_TRUE(viewer.CloseWithExit(0));
}

// Windows quotes the path of a file opened with the viewer or dropped on
// it. The test makes a folder with a blank in its name and works from
// tests/e2e/data, and puts both back.
class QuotedTail : public ::testing::Test {
 protected:
  std::string folder, savedDirectory;
  void SetUp() override {
    char buffer[MAX_PATH];
    GetTempPathA(MAX_PATH, buffer);
    folder = std::string(buffer) + "Lorvane e2e Mods";
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(DataFile("wide.txt").c_str(), (folder + "\\RULES.TXT").c_str(), FALSE));
    GetCurrentDirectoryA(MAX_PATH, buffer);
    savedDirectory = buffer;
    std::string data = DataFile("wide.txt");
    ASSERT_TRUE(SetCurrentDirectoryA(data.substr(0, data.rfind('\\')).c_str()));
  }
  void TearDown() override {
    SetCurrentDirectoryA(savedDirectory.c_str());
    DeleteFileA((folder + "\\RULES.TXT").c_str());
    RemoveDirectoryA(folder.c_str());
  }
};

TEST_F(QuotedTail, OnePathInQuotesOpensAnyOtherTailIsThePathAsItStands) {
  Capture chart;
  ASSERT_TRUE(RenderChart(DataFile("wide.txt"), &chart));
  struct {
    std::string tail;
    const char* shown;  // the path in the not-found message; none: the chart opens
  } const cases[] = {
      {"\"" + folder + "\\RULES.TXT\"", nullptr},  // blanks inside
      {"\"wide.txt\"", nullptr},                   // relative to the working folder
      {"\"", "\""},                                // a lone quote
      {"\"wi\"de.txt\"", "\"wi\"de.txt\""},        // quotes inside
      {"\"wide\".txt", "\"wide\".txt"},
      {"\"\"", ""},                          // a quoted empty path
      {"\"wide.txt\"  ", "\"wide.txt\"  "},  // blanks after the closing quote
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("tail [" + c.tail + "]");
    if (c.shown != nullptr) {
      EXPECT_TRUE(EndsWithFatalBox(c.tail.c_str(),
                                   std::string("Vel2 rules file \"") + c.shown + "\" not found"));
      continue;
    }
    Viewer viewer;
    ASSERT_TRUE(viewer.Open(c.tail));
    Capture view;
    ASSERT_TRUE(viewer.CaptureView(&view));
    EXPECT_TRUE(ShowsChartAt(view, chart, 0, 0));
    EXPECT_TRUE(viewer.CloseWithExit(0));
  }
}

}  // namespace
