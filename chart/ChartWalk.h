// The chart's geometry: every box, link, text and separator, computed once
// and handed to a painter in the viewer's drawing order. The viewer's GDI
// drawing and the SVG export are two painters of the same walk.
#pragma once
#include <stdint.h>

struct Advance;

enum ChartFont { NAME_FONT, DETAIL_FONT, UNIT_FONT };

// What a painter does with each element. target is the painter's own (a
// device context, an output text). Coordinates are chart pixels; texts are
// placed by the top-left corner of their cell.
struct ChartPainter {
  void* target;
  // Around the elements of one advance.
  void (*beginAdvance)(void* target, const Advance* advance);
  void (*endAdvance)(void* target, const Advance* advance);
  // The outline in the stock black pen; right and bottom exclusive.
  void (*box)(void* target, int32_t left, int32_t top, int32_t right, int32_t bottom);
  // A line from (x1, y1) up to (x2, y2), that end excluded: near when the
  // prerequisite is one level up (NearPen), far otherwise (FarPen).
  void (*link)(void* target, const Advance* advance, const Advance* prereq, bool nearLink,
               int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  void (*text)(void* target, ChartFont font, int32_t x, int32_t y, const char* text);
  // A unit's name in UnitFont and, right after it, its cost in DetailFont.
  void (*unitName)(void* target, int32_t x, int32_t y, const char* name, const char* cost);
  // From (left, y) to (right, y), the right end excluded, in the black pen.
  void (*separator)(void* target, int32_t left, int32_t y, int32_t right);
};

// The whole chart, row by row from the top, each row in list order from
// first (the root advance).
void WalkChart(const ChartPainter* painter, Advance* first);

// One advance with its box's text origin at (x, y): box, links up to its
// prerequisites, texts, separator and units. Records (x, y) in chartX and
// chartY right after the box, before anything else of it.
void WalkAdvance(const ChartPainter* painter, int32_t x, int32_t y, Advance* advance);
