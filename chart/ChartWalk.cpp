// The chart's geometry, walked in the viewer's drawing order.
#include "chart/ChartWalk.h"

#include <stddef.h>
#include <string.h>

#include "chart/ChartText.h"
#include "chart/Metrics.h"
#include "graph/Levels.h"
#include "rules/Advance.h"
#include "rules/Alloc.h"
#include "rules/Fatal.h"
#include "rules/UnitType.h"

namespace {

int32_t ChildIndex(const Advance* prereq, const Advance* child) {
  for (int32_t j = 0; j < prereq->childCount && j < MAX_DEPENDANTS; ++j) {
    if (prereq->children[j] == child) return j;
  }
  return 0;  // linking lists every dependant, so this is never reached
}

// From the top of the advance's box to the bottom of the box of its
// prerequisite p; the ends at one prerequisite are spread in the order of
// its dependants.
void WalkLink(const ChartPainter* painter, int32_t x, int32_t y, const Advance* advance,
              const Advance* p, int32_t i) {
  int32_t s = CharWidth / 2;
  int32_t q = s / 2;
  int32_t startX = x + BoxWidth / 2 + i * s - q;
  int32_t startY = y - LineHeight / 2 - 1;
  int32_t j = ChildIndex(p, advance);
  int32_t endX = p->chartX + BoxWidth / 2 + j * s - ((p->childCount - 1) * s) / 2;
  int32_t endY = p->chartY + LevelHeight[p->level] + LineHeight / 2 - 1;
  painter->link(painter->target, advance, p, advance->level - 1 == p->level, startX, startY, endX,
                endY);
}

}  // namespace

void WalkAdvance(const ChartPainter* painter, int32_t x, int32_t y, Advance* advance) {
  void* target = painter->target;
  int32_t level = advance->level;
  int32_t left = x - CharWidth / 2;
  int32_t right = x + BoxWidth + CharWidth / 2;

  painter->beginAdvance(target, advance);
  painter->box(target, left, y - LineHeight / 2, right, y + LevelHeight[level] + LineHeight / 2);
  advance->chartX = x;
  advance->chartY = y;

  if (level > 0) {
    WalkLink(painter, x, y, advance, advance->prereq1, 0);
    if (advance->prereq2 != advance->prereq1) WalkLink(painter, x, y, advance, advance->prereq2, 1);
  }

  painter->text(target, NAME_FONT, x, y - 1, advance->name);
  FormatDetailLine(advance);
  painter->text(target, DETAIL_FONT, x, y + LineHeight, TextBuffer);

  if (advance->units[0] != nullptr || LevelMaxUnits[level] != 0) {
    painter->separator(target, left, y + 2 * LineHeight + LineHeight / 2, right);
    for (int32_t k = 0; k < MAX_UNITS && advance->units[k] != nullptr; ++k) {
      const UnitType* unit = advance->units[k];
      int32_t unitY = y + (3 + 2 * k) * LineHeight;
      FormatUnitCost(unit);
      painter->unitName(target, x, unitY, unit->name, TextBuffer);
      FormatFiguresLine(unit);
      painter->text(target, DETAIL_FONT, x, unitY + LineHeight, TextBuffer);
    }
  }
  painter->endAdvance(target, advance);
}

void WalkChart(const ChartPainter* painter, Advance* first) {
  // The metrics fit the chart into 32 bits; its coordinates reach a little
  // past it: a link's end on a box's bottom edge lies up to 56 character
  // widths right of the box's left (99 dependants, CharWidth / 2 apart),
  // and the row cursor ends two line heights below the last row.
  if ((int64_t)ChartWidth + 64 * (int64_t)CharWidth > INT32_MAX ||
      (int64_t)ChartHeight + 2 * (int64_t)LineHeight > INT32_MAX) {
    Fatal(1, REFUSED_CHART_TOO_LARGE, "The chart would be larger than %d pixels", INT32_MAX);
  }
  // The advances row by row, in list order within a row, from one walk of
  // the list: a walk a row reads every record a hundred times, and a large
  // file's records do not stay in the cache.
  size_t rowStart[MAX_LEVELS + 1] = {};
  for (Advance* advance = first; advance->name[0] != '\0'; advance = advance->next) {
    rowStart[advance->level + 1]++;
  }
  for (int32_t level = 0; level < MAX_LEVELS; ++level) rowStart[level + 1] += rowStart[level];
  Advance** rows = static_cast<Advance**>(AllocRecord(rowStart[MAX_LEVELS] * sizeof(Advance*)));
  size_t placed[MAX_LEVELS];
  memcpy(placed, rowStart, sizeof placed);
  for (Advance* advance = first; advance->name[0] != '\0'; advance = advance->next) {
    rows[placed[advance->level]++] = advance;
  }

  int32_t y = LineHeight;
  for (int32_t level = 0; level <= MaxLevel; ++level) {
    int32_t x = ((MaxLevelCount - LevelCount[level]) * (BoxWidth + ColumnGap)) / 2 + CharWidth;
    for (size_t i = rowStart[level]; i < rowStart[level + 1]; ++i) {
      WalkAdvance(painter, x, y, rows[i]);
      x += BoxWidth + ColumnGap;
    }
    y += LevelHeight[level] + RowGap;
  }
}
