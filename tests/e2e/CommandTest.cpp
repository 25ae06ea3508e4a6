// Copy and the print dialog of the real viewer, seen from another program:
// the clipboard's bitmap against the chart drawn here, the boxes and their
// owners.
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
    if (box == nullptr) return ::testing::AssertionFailure() << "no box \"" << caption << "\"";
    std::string shown = MessageBoxText(box);
    HWND owner = GetWindow(box, GW_OWNER);
    if (!PressOk(box, STEP_TIMEOUT)) return ::testing::AssertionFailure() << "box stays open";
    if (shown != text) return ::testing::AssertionFailure() << "box text \"" << shown << "\"";
    if (owner != nullptr) return ::testing::AssertionFailure() << "the box has an owner";
    return ::testing::AssertionSuccess();
  }
};

TEST_F(Commands, CopyFromF2AndFromItsCommandPutsTheWholeChartOnTheClipboard) {
  for (int way = 0; way < 2; ++way) {
    SCOPED_TRACE(way == 0 ? "F2" : "command 101");
    ASSERT_TRUE(PutClipboardText("before the copy"));
    PostKeyOrCommand(viewer.window, way, VK_F2, 101);
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

TEST_F(Commands, SecondCopyWritesTheClipboardAgain) {
  DWORD written = GetClipboardSequenceNumber();
  for (int i = 0; i < 2; ++i) {
    PostKey(viewer.window, VK_F2);
    ASSERT_TRUE(CopyBox("Clipboard Copy Successful", "Clipboard contains bitmap"));
    // Each Copy empties and fills the clipboard anew, as the viewer's window.
    EXPECT_GT(GetClipboardSequenceNumber(), written) << "copy " << i + 1;
    EXPECT_EQ(GetClipboardOwner(), viewer.window) << "copy " << i + 1;
    written = GetClipboardSequenceNumber();
  }
  Capture copied;
  ASSERT_TRUE(ClipboardBitmap(&copied));
  EXPECT_TRUE(copied.pixels == chart.pixels);
}

TEST_F(Commands, CopyWhileAnotherProgramHoldsTheClipboardChangesNothing) {
  ASSERT_TRUE(OpenClipboard(nullptr));  // held open here until the box is closed
  PostKey(viewer.window, VK_F2);
  ::testing::AssertionResult box = CopyBox("Clipboard Copy Failed", "Unable to open clipboard");
  CloseClipboard();
  EXPECT_TRUE(box);
  EXPECT_EQ(ClipboardText(), "before the copy");
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
}

// CTest runs this test through tests/print/spooler_jobs.sh, which checks
// that it leaves no job with the spooler.
TEST_F(Commands, PrintDialogIsOwnedByTheWindowAndCancelPrintsNothing) {
  for (int way = 0; way < 2; ++way) {
    SCOPED_TRACE(way == 0 ? "F3" : "command 102");
    PostKeyOrCommand(viewer.window, way, VK_F3, 102);
    HWND dialog = WaitDialog(&viewer.driven, "Print", STEP_TIMEOUT);
    ASSERT_TRUE(dialog != nullptr);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), viewer.window);
    ASSERT_TRUE(PressButton(dialog, IDCANCEL, STEP_TIMEOUT));
    // Nothing follows a cancelled dialog: no box, and the window goes on.
    Sleep(300);
    std::string caption;
    EXPECT_EQ(FindAnyDialog(viewer.driven.processId, &caption), nullptr) << caption;
  }
  EXPECT_TRUE(viewer.CloseWithExit(0));
}

}  // namespace
