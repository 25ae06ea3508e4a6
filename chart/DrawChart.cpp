// The chart drawn with GDI: the viewer's painter of the chart walk.
#include <string.h>

#include "chart/ChartWalk.h"
#include "chart/Draw.h"

namespace {

HFONT FontOf(ChartFont font) {
  return font == NAME_FONT ? NameFont : font == UNIT_FONT ? UnitFont : DetailFont;
}

void DrawNothing(void*, const Advance*) {}

void DrawBox(void* target, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  HDC hdc = (HDC)target;
  SelectObject(hdc, GetStockObject(BLACK_PEN));
  Rectangle(hdc, left, top, right, bottom);
}

void DrawLink(void* target, const Advance*, const Advance*, bool nearLink, int32_t x1, int32_t y1,
              int32_t x2, int32_t y2) {
  HDC hdc = (HDC)target;
  SelectObject(hdc, nearLink ? NearPen : FarPen);
  MoveToEx(hdc, x1, y1, nullptr);
  LineTo(hdc, x2, y2);
}

void DrawTextAt(void* target, ChartFont font, int32_t x, int32_t y, const char* text) {
  HDC hdc = (HDC)target;
  SelectObject(hdc, FontOf(font));
  TextOutA(hdc, x, y, text, (int)strlen(text));
}

// The cost goes where the name ends, as measured in UnitFont.
void DrawUnitName(void* target, int32_t x, int32_t y, const char* name, const char* cost) {
  HDC hdc = (HDC)target;
  SelectObject(hdc, UnitFont);
  TextOutA(hdc, x, y, name, (int)strlen(name));
  SIZE nameSize = {};
  GetTextExtentPoint32A(hdc, name, (int)strlen(name), &nameSize);
  SelectObject(hdc, DetailFont);
  TextOutA(hdc, x + nameSize.cx, y, cost, (int)strlen(cost));
}

void DrawSeparator(void* target, int32_t left, int32_t y, int32_t right) {
  HDC hdc = (HDC)target;
  MoveToEx(hdc, left, y, nullptr);
  SelectObject(hdc, GetStockObject(BLACK_PEN));
  LineTo(hdc, right, y);
}

ChartPainter GdiPainter(HDC hdc) {
  ChartPainter painter = {hdc,      DrawNothing, DrawNothing,  DrawBox,
                          DrawLink, DrawTextAt,  DrawUnitName, DrawSeparator};
  return painter;
}

}  // namespace

void DrawAdvance(HDC hdc, int32_t x, int32_t y, Advance* advance) {
  ChartPainter painter = GdiPainter(hdc);
  WalkAdvance(&painter, x, y, advance);
}

void DrawChart(HDC hdc, Advance* first) {
  ChartPainter painter = GdiPainter(hdc);
  WalkChart(&painter, first);
}
