// Drawing the research tree into a device context.
#pragma once
#include <stdint.h>
#include <windows.h>

struct Advance;

// The drawing objects, made by CreateChartObjects and deleted by
// DeleteChartObjects; the drawing only selects them.
extern HFONT DetailFont;  // detail lines, unit costs and figures
extern HFONT NameFont;    // advance names
extern HFONT UnitFont;    // unit names
extern HPEN NearPen;      // link to a prerequisite one level up
extern HPEN FarPen;       // link to a prerequisite further up

// DetailFont, NameFont and UnitFont: "MS Sans Serif" 10 pixels high,
// normal, bold, and bold italic; NearPen, solid pure red, and FarPen,
// dotted pure blue.
void CreateChartObjects();
// Selects the stock pen and font into dc (the device context drawn into,
// or none) so that nothing of ours stays selected, and deletes the five.
void DeleteChartObjects(HDC dc);

// Makes the bitmap selected into dc ready for DrawChart: white over width x
// height, with the white brush selected and black text on a transparent
// background.
void ClearChart(HDC dc, int32_t width, int32_t height);

// Selects DetailFont into hdc (and leaves it there), reads the screen size
// and the font's text metrics, and sets every chart metric from them.
void ComputeChartMetrics(HDC hdc);

// Draws the whole chart, row by row, from the root advance first. The
// caller has selected the white brush, filled the chart, and set black
// text on a transparent background.
void DrawChart(HDC hdc, Advance* first);

// Draws one box with its text origin at (x, y), its links up to its
// prerequisites, and its texts; records (x, y) in chartX, chartY.
void DrawAdvance(HDC hdc, int32_t x, int32_t y, Advance* advance);
