// Chart dimensions, all derived from the detail font and the level
// statistics. Pixels of the screen.
#pragma once
#include <stdint.h>

#include "graph/Levels.h"

extern int32_t ScreenWidth;
extern int32_t ScreenHeight;
extern int32_t CharWidth;
extern int32_t BoxWidth;
extern int32_t ColumnGap;
extern int32_t LineHeight;
extern int32_t RowGap;
extern int32_t LevelHeight[MAX_LEVELS];
extern int32_t ChartWidth;
extern int32_t ChartHeight;
extern int32_t ChartLines;

// The detail font's tmMaxCharWidth, tmHeight and tmExternalLeading.
struct FontMetrics {
  int32_t maxCharWidth;
  int32_t height;
  int32_t externalLeading;
};

// The viewer's detail font on the standard display: "MS Sans Serif" at 96
// dpi, 11 pixels at its widest, cells 13 pixels high. The exports and the
// comparison take it unless --metrics gives others.
inline constexpr FontMetrics DefaultFontMetrics = {11, 13, 0};

// Sets every metric but the screen size from the detail font's metrics. A
// font without width or height, or a chart beyond 32-bit pixel sizes, ends
// the program.
void SetChartMetrics(int32_t maxCharWidth, int32_t height, int32_t externalLeading);
void SetChartMetrics(const FontMetrics& font);

// The metrics the reports show, in their order: each a value, or one value
// per level, 0 to MaxLevel.
struct ReportedMetric {
  const char* name;  // the variable's name, as --metrics's report and JSON name it
  const int32_t* value;
  bool perLevel;
};
extern const ReportedMetric ReportedMetrics[];
extern const int ReportedMetricCount;

// Every metric, the screen size too, back to 0.
void ResetChartMetrics();
