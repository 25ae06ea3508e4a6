// The fonts and pens the chart is drawn with, and the blank bitmap it is drawn on.
#include "chart/Draw.h"

HFONT DetailFont;
HFONT NameFont;
HFONT UnitFont;
HPEN NearPen;
HPEN FarPen;

namespace {

HFONT CreateChartFont(int weight, BOOL italic) {
  return CreateFontA(10, 0, 0, 0, weight, italic, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS,
                     "MS Sans Serif");
}

}  // namespace

void CreateChartObjects() {
  DetailFont = CreateChartFont(FW_NORMAL, FALSE);
  NameFont = CreateChartFont(FW_BOLD, FALSE);
  UnitFont = CreateChartFont(FW_BOLD, TRUE);
  NearPen = CreatePen(PS_SOLID, 1, 0x000000FF);  // pure red
  FarPen = CreatePen(PS_DOT, 1, 0x00FF0000);     // pure blue
}

void DeleteChartObjects(HDC dc) {
  // A font or pen still selected into a device context cannot be deleted.
  if (dc != nullptr) {
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
  }
  DeleteObject(NearPen);
  DeleteObject(FarPen);
  DeleteObject(NameFont);
  DeleteObject(DetailFont);
  DeleteObject(UnitFont);
}

void ClearChart(HDC dc, int32_t width, int32_t height) {
  SelectObject(dc, GetStockObject(WHITE_BRUSH));
  PatBlt(dc, 0, 0, width, height, PATCOPY);
  SetTextColor(dc, 0x00000000);
  SetBkColor(dc, 0x00FFFFFF);
  SetBkMode(dc, TRANSPARENT);
}
