#include <stdio.h>
#include <string.h>

#include "chart/ChartText.h"
#include "chart/Draw.h"
#include "chart/Metrics.h"
#include "graph/Levels.h"
#include "rules/Advance.h"
#include "rules/Fatal.h"
#include "rules/UnitType.h"

HFONT DetailFont;
HFONT NameFont;
HFONT UnitFont;
HPEN NearPen;
HPEN FarPen;

static void DrawTextBuffer(HDC hdc, int32_t x, int32_t y) {
  TextOutA(hdc, x, y, TextBuffer, (int)strlen(TextBuffer));
}

static int32_t ChildIndex(const Advance* prereq, const Advance* child) {
  for (int32_t j = 0; j < prereq->childCount && j < MAX_DEPENDANTS; ++j) {
    if (prereq->children[j] == child) return j;
  }
  return 0;  // linking lists every dependant, so this is never reached
}

// The line from the top of the advance's box to the bottom of the box of
// its prerequisite p; the ends at one prerequisite are spread in the order
// of its dependants.
static void DrawLink(HDC hdc, int32_t x, int32_t y, const Advance* advance, const Advance* p,
                     int32_t i) {
  int32_t s = CharWidth / 2;
  int32_t q = s / 2;
  SelectObject(hdc, advance->level - 1 == p->level ? NearPen : FarPen);
  int32_t startX = x + BoxWidth / 2 + i * s - q;
  int32_t startY = y - LineHeight / 2 - 1;
  int32_t j = ChildIndex(p, advance);
  int32_t endX = p->chartX + BoxWidth / 2 + j * s - ((p->childCount - 1) * s) / 2;
  int32_t endY = p->chartY + LevelHeight[p->level] + LineHeight / 2 - 1;
  MoveToEx(hdc, startX, startY, NULL);
  LineTo(hdc, endX, endY);
}

static void DrawUnit(HDC hdc, int32_t x, int32_t y, const UnitType* unit) {
  snprintf(TextBuffer, TEXT_BUFFER_SIZE, "%s", unit->name);
  SelectObject(hdc, UnitFont);
  DrawTextBuffer(hdc, x, y);
  SIZE nameSize = {};
  GetTextExtentPoint32A(hdc, TextBuffer, (int)strlen(TextBuffer), &nameSize);

  FormatUnitCost(unit);
  SelectObject(hdc, DetailFont);
  DrawTextBuffer(hdc, x + nameSize.cx, y);

  FormatFiguresLine(unit);
  DrawTextBuffer(hdc, x, y + LineHeight);
}

void DrawAdvance(HDC hdc, int32_t x, int32_t y, Advance* advance) {
  int32_t level = advance->level;
  int32_t left = x - CharWidth / 2;
  int32_t right = x + BoxWidth + CharWidth / 2;

  SelectObject(hdc, GetStockObject(BLACK_PEN));
  Rectangle(hdc, left, y - LineHeight / 2, right, y + LevelHeight[level] + LineHeight / 2);
  advance->chartX = x;
  advance->chartY = y;

  if (level > 0) {
    DrawLink(hdc, x, y, advance, advance->prereq1, 0);
    if (advance->prereq2 != advance->prereq1) DrawLink(hdc, x, y, advance, advance->prereq2, 1);
  }

  snprintf(TextBuffer, TEXT_BUFFER_SIZE, "%s", advance->name);
  SelectObject(hdc, NameFont);
  DrawTextBuffer(hdc, x, y - 1);

  FormatDetailLine(advance);
  SelectObject(hdc, DetailFont);
  DrawTextBuffer(hdc, x, y + LineHeight);

  if (advance->units[0] == NULL && LevelMaxUnits[level] == 0) return;
  int32_t separatorY = y + 2 * LineHeight + LineHeight / 2;
  MoveToEx(hdc, left, separatorY, NULL);
  SelectObject(hdc, GetStockObject(BLACK_PEN));
  LineTo(hdc, right, separatorY);

  for (int32_t k = 0; k < MAX_UNITS && advance->units[k] != NULL; ++k) {
    DrawUnit(hdc, x, y + (3 + 2 * k) * LineHeight, advance->units[k]);
  }
}

void DrawChart(HDC hdc, Advance* first) {
  int32_t y = LineHeight;
  for (int32_t level = 0; level <= MaxLevel; ++level) {
    int32_t x = ((MaxLevelCount - LevelCount[level]) * (BoxWidth + ColumnGap)) / 2 + CharWidth;
    for (Advance* advance = first; advance->name[0] != '\0'; advance = advance->next) {
      if (advance->level != level) continue;
      DrawAdvance(hdc, x, y, advance);
      x += BoxWidth + ColumnGap;
    }
    y += LevelHeight[level] + RowGap;
  }
}
