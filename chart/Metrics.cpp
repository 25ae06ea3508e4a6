// Chart dimensions from the detail font's metrics and the level statistics.
#include "chart/Metrics.h"

#include <string.h>

#include "rules/Fatal.h"

int32_t ScreenWidth;
int32_t ScreenHeight;
int32_t CharWidth;
int32_t BoxWidth;
int32_t ColumnGap;
int32_t LineHeight;
int32_t RowGap;
int32_t LevelHeight[MAX_LEVELS];
int32_t ChartWidth;
int32_t ChartHeight;
int32_t ChartLines;

const ReportedMetric ReportedMetrics[] = {
    {"CharWidth", &CharWidth, false},   {"BoxWidth", &BoxWidth, false},
    {"ColumnGap", &ColumnGap, false},   {"LineHeight", &LineHeight, false},
    {"RowGap", &RowGap, false},         {"LevelHeight", LevelHeight, true},
    {"ChartWidth", &ChartWidth, false}, {"ChartHeight", &ChartHeight, false},
    {"ChartLines", &ChartLines, false},
};
const int ReportedMetricCount = sizeof ReportedMetrics / sizeof ReportedMetrics[0];

namespace {

// Every metric is computed in 64 bits and must come back into 32.
int32_t Fit(int64_t value) {
  if (value > INT32_MAX) {
    Fatal(1, REFUSED_CHART_TOO_LARGE, "The chart would be larger than %d pixels", INT32_MAX);
  }
  return (int32_t)value;
}

}  // namespace

void ResetChartMetrics() {
  ScreenWidth = 0;
  ScreenHeight = 0;
  CharWidth = 0;
  BoxWidth = 0;
  ColumnGap = 0;
  LineHeight = 0;
  RowGap = 0;
  memset(LevelHeight, 0, sizeof LevelHeight);
  ChartWidth = 0;
  ChartHeight = 0;
  ChartLines = 0;
}

void SetChartMetrics(int32_t maxCharWidth, int32_t height, int32_t externalLeading) {
  int64_t lineHeight = (int64_t)height + externalLeading;
  // ChartLines divides by LineHeight, and boxes without width cannot be drawn.
  if (maxCharWidth < 1 || lineHeight < 1) {
    Fatal(1, REFUSED_FONT, "The chart font \"MS Sans Serif\" has no usable size");
  }
  CharWidth = maxCharWidth;
  BoxWidth = Fit(13 * (int64_t)CharWidth);
  ColumnGap = BoxWidth / 2;
  LineHeight = Fit(lineHeight);
  RowGap = Fit(8 * (int64_t)LineHeight);
  ChartWidth = Fit(((int64_t)BoxWidth + ColumnGap) * MaxLevelCount);
  int64_t chartHeight = 0;
  for (int32_t level = 0; level <= MaxLevel && level < MAX_LEVELS; level++) {
    int64_t lines = LevelMaxUnits[level] == 0 ? 2 : 2 * (int64_t)LevelMaxUnits[level] + 3;
    LevelHeight[level] = Fit(lines * LineHeight);
    chartHeight = Fit(chartHeight + LevelHeight[level] + RowGap);
  }
  ChartHeight = (int32_t)chartHeight;
  ChartLines = ChartHeight / LineHeight;
}

void SetChartMetrics(const FontMetrics& font) {
  SetChartMetrics(font.maxCharWidth, font.height, font.externalLeading);
}
