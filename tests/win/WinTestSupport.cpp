#include "WinTestSupport.h"

#include <stdio.h>

#include "app/MainWin.h"
#include "chart/Draw.h"
#include "chart/LoadRules.h"
#include "rules/Alloc.h"
#include "rules/Fatal.h"

void FatalStop(int exitCode) { throw FatalError{exitCode, TextBuffer}; }

static char RulesFile[MAX_PATH];

void LoadRulesText(const std::string& text) {
  char directory[MAX_PATH];
  GetTempPathA(MAX_PATH, directory);
  GetTempFileNameA(directory, "lrv", 0, RulesFile);
  FILE* file = fopen(RulesFile, "wb");
  ASSERT_NE(file, nullptr);
  fwrite(text.data(), 1, text.size(), file);
  fclose(file);
  LoadRules(RulesFile);
}

void ForgetRules() {
  ResetRules();
  if (RulesFile[0] != '\0') DeleteFileA(RulesFile);
  RulesFile[0] = '\0';
}

BITMAPINFO TopDown32BitInfo(int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // rows from the top down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

void Canvas::Open(int width, int height) {
  BITMAPINFO info = TopDown32BitInfo(width, height);
  void* bits = NULL;
  dc = CreateCompatibleDC(NULL);
  bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
  previous = SelectObject(dc, bitmap);
  SelectObject(dc, GetStockObject(WHITE_BRUSH));
  PatBlt(dc, 0, 0, width, height, PATCOPY);
  SetTextColor(dc, 0x000000);
  SetBkColor(dc, 0xFFFFFF);
  SetBkMode(dc, TRANSPARENT);
}

void Canvas::Close() {
  if (dc == NULL) return;
  SelectObject(dc, previous);
  SelectObject(dc, GetStockObject(BLACK_PEN));
  SelectObject(dc, GetStockObject(SYSTEM_FONT));
  DeleteDC(dc);
  DeleteObject(bitmap);
  dc = NULL;
}

static HHOOK BoxHook;
static BoxAnswers* Answers;

static LRESULT CALLBACK AnswerBox(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND box = (HWND)wParam;
    char className[32] = "";
    GetClassNameA(box, className, sizeof className);
    bool known = false;
    if (Answers != NULL) {
      for (HWND seen : Answers->seen) known = known || seen == box;
    }
    if (strcmp(className, "#32770") == 0 && Answers != NULL && !known) {
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

void StartAnsweringBoxes(BoxAnswers* answers) {
  Answers = answers;
  BoxHook = SetWindowsHookExA(WH_CBT, AnswerBox, NULL, GetCurrentThreadId());
  ASSERT_NE(BoxHook, nullptr);
}

void StopAnsweringBoxes() {
  if (BoxHook != NULL) UnhookWindowsHookEx(BoxHook);
  BoxHook = NULL;
  Answers = NULL;
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
