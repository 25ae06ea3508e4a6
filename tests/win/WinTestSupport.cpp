// The Windows tests' canvas, box answering and example rules.
#include "WinTestSupport.h"

#include <string.h>

#include <algorithm>

#include "chart/Draw.h"
#include "driver.h"

void Canvas::Open(int width, int height) {
  dc = CreateCompatibleDC(nullptr);
  bitmap = CreateTopDown32BitSection(dc, width, height, nullptr);
  previous = SelectObject(dc, bitmap);
  ClearChart(dc, width, height);
}

void Canvas::Close() {
  if (dc == nullptr) return;
  SelectObject(dc, previous);
  SelectObject(dc, GetStockObject(BLACK_PEN));
  SelectObject(dc, GetStockObject(SYSTEM_FONT));
  DeleteDC(dc);
  DeleteObject(bitmap);
  dc = nullptr;
}

namespace {

HHOOK BoxHook;
BoxAnswers* Answers;

LRESULT CALLBACK AnswerBox(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND box = (HWND)wParam;
    char className[32] = "";
    GetClassNameA(box, className, sizeof className);
    if (Answers != nullptr && strcmp(className, "#32770") == 0 &&
        std::find(Answers->seen.begin(), Answers->seen.end(), box) == Answers->seen.end()) {
      Answers->seen.push_back(box);
      char text[512] = "";
      GetWindowTextA(box, text, sizeof text);
      Answers->caption = text;
      Answers->captions.push_back(text);
      text[0] = '\0';
      GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
      Answers->text = text;
      Answers->owner = GetWindow(box, GW_OWNER);
      ++Answers->count;
      int button = Answers->button;
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   (LPARAM)GetDlgItem(box, button));
    }
  }
  return CallNextHookEx(BoxHook, code, wParam, lParam);
}

}  // namespace

void StartAnsweringBoxes(BoxAnswers* answers) {
  Answers = answers;
  BoxHook = SetWindowsHookExA(WH_CBT, AnswerBox, nullptr, GetCurrentThreadId());
  ASSERT_NE(BoxHook, nullptr);
}

void StopAnsweringBoxes() {
  if (BoxHook != nullptr) UnhookWindowsHookEx(BoxHook);
  BoxHook = nullptr;
  Answers = nullptr;
}

// Root alone on level 0, five advances on level 1 (the first with two
// units), four on level 2 (the first with one unit). The last one hangs
// under an advance of level 1 and under the root.
extern const char* const EXAMPLE_RULES =
    "@CIVILIZE\n"
    "Alpha One, 1, 0, nil, nil, 0, 0 ; A1\n"
    "Alpha Two, 2, 1, nil, nil, 1, 1 ; A2\n"
    "Alpha Three, 3, 0, nil, nil, 2, 2 ; A3\n"
    "Alpha Four, 4, 0, nil, nil, 3, 3 ; A4\n"
    "Alpha Five, 5, 0, nil, nil, 0, 4 ; A5\n"
    "Beta One, 1, 0, A1, A2, 0, 0 ; B1\n"
    "Beta Two, 1, 0, A2, A2, 0, 0 ; B2\n"
    "Beta Three, 1, 0, A3, A4, 0, 0 ; B3\n"
    "Beta Four, 1, 0, A5, nil, 0, 0 ; B4\n"
    "@IMPROVE\n"
    "@UNITS\n"
    "Spearmen, nil, 0, 1, 0, 1, 2, 1, 1, 2, 0, 1, A1, 0\n"
    "Archers, nil, 0, 1, 0, 3, 2, 1, 1, 3, 0, 0, A1, 0\n"
    "Chariot, nil, 0, 2, 0, 3, 1, 1, 1, 3, 0, 0, B1, 0\n"
    "@TERRAIN\n";
