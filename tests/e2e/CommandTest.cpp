// Copy and the print dialog of the real viewer, seen from another program:
// the clipboard's bitmap against the chart drawn here, the boxes and their
// owners.
#include <algorithm>

#include "e2e_support.h"

namespace {

class Commands : public ::testing::Test {
 protected:
  Viewer viewer;
  Capture chart;
  void SetUp() override {
    ASSERT_TRUE(RenderChart(DataFile("wide.txt"), &chart));
    ASSERT_TRUE(viewer.Open(DataFile("wide.txt")));
    ASSERT_TRUE(PutClipboardText("before the copy"));
  }
  // Expects the box of a Copy, without an owner, and closes it.
  ::testing::AssertionResult CopyBox(const char* caption, const char* text) {
    HWND box = WaitDialog(&viewer.driven, caption, STEP_TIMEOUT);
    if (box == NULL) return ::testing::AssertionFailure() << "no box \"" << caption << "\"";
    std::string shown = MessageBoxText(box);
    HWND owner = GetWindow(box, GW_OWNER);
    if (!PressOk(box, STEP_TIMEOUT)) return ::testing::AssertionFailure() << "box stays open";
    if (shown != text) return ::testing::AssertionFailure() << "box text \"" << shown << "\"";
    if (owner != NULL) return ::testing::AssertionFailure() << "the box has an owner";
    return ::testing::AssertionSuccess();
  }
};

size_t CountFormat(const std::vector<UINT>& formats, UINT format) {
  return (size_t)std::count(formats.begin(), formats.end(), format);
}

TEST_F(Commands, CopyFromF2AndFromItsCommandPutsTheWholeChartOnTheClipboard) {
  for (int way = 0; way < 2; ++way) {
    SCOPED_TRACE(way == 0 ? "F2" : "command 101");
    ASSERT_TRUE(PutClipboardText("before the copy"));
    if (way == 0)
      PostKey(viewer.window, VK_F2);
    else
      PostCommand(viewer.window, 101);
    ASSERT_TRUE(CopyBox("Clipboard Copy Successful", "Clipboard contains bitmap"));
    Capture copied;
    ASSERT_TRUE(ClipboardBitmap(&copied));
    EXPECT_EQ(copied.width, 1284);
    EXPECT_EQ(copied.height, 884);
    EXPECT_TRUE(copied.pixels == chart.pixels) << "the clipboard's bitmap is not the chart";
    EXPECT_EQ(ClipboardText(), "") << "the clipboard was not emptied";
  }
  // The window goes on showing its own bitmap.
  SendScroll(viewer.window, SB_HORZ, SB_LINERIGHT, 0);
  Capture view;
  ASSERT_TRUE(viewer.CaptureView(&view));
  EXPECT_TRUE(ShowsChartAt(view, chart, 1, 0));
  EXPECT_TRUE(viewer.CloseWithExit(0));
}

TEST_F(Commands, CopyTwiceLeavesOneBitmap) {
  for (int i = 0; i < 2; ++i) {
    PostKey(viewer.window, VK_F2);
    ASSERT_TRUE(CopyBox("Clipboard Copy Successful", "Clipboard contains bitmap"));
  }
  EXPECT_EQ(CountFormat(ClipboardFormats(), CF_BITMAP), 1u);
  Capture copied;
  ASSERT_TRUE(ClipboardBitmap(&copied));
  EXPECT_TRUE(copied.pixels == chart.pixels);
}

TEST_F(Commands, CopyWhileAnotherProgramHoldsTheClipboardChangesNothing) {
  ASSERT_TRUE(HoldClipboard());
  PostKey(viewer.window, VK_F2);
  ::testing::AssertionResult box = CopyBox("Clipboard Copy Failed", "Unable to open clipboard");
  ReleaseClipboard();
  EXPECT_TRUE(box);
  EXPECT_EQ(ClipboardText(), "before the copy");
  EXPECT_EQ(CountFormat(ClipboardFormats(), CF_BITMAP), 0u);
}

TEST_F(Commands, PrintDialogIsOwnedByTheWindowAndCancelPrintsNothing) {
  for (int way = 0; way < 2; ++way) {
    SCOPED_TRACE(way == 0 ? "F3" : "command 102");
    if (way == 0)
      PostKey(viewer.window, VK_F3);
    else
      PostCommand(viewer.window, 102);
    HWND dialog = WaitDialog(&viewer.driven, "Print", STEP_TIMEOUT);
    ASSERT_TRUE(dialog != NULL);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), viewer.window);
    ASSERT_TRUE(PressButton(dialog, IDCANCEL, STEP_TIMEOUT));
    // Nothing follows a cancelled dialog: no box, and the window goes on.
    Sleep(300);
    std::string caption;
    EXPECT_EQ(FindAnyDialog(viewer.driven.processId, &caption), (HWND)NULL) << caption;
  }
  EXPECT_TRUE(viewer.CloseWithExit(0));
}

}  // namespace
