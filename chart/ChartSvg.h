// The chart as SVG, drawn by the same walk as the viewer's bitmap: chart
// pixels as user units, one group per advance, the links in drawing order.
#pragma once
#include <stddef.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "chart/TextOut.h"

// One entry of a list beside the chart: its text (rules-file bytes) and
// the index of the advance it shows, -1 for none.
struct ChartNote {
  std::string text;
  int index;
};

// Marks on the chart (a comparison's, say): classes added to the advances'
// groups, by the advances' indexes, separated by blanks, and their style
// rules. The page adds a legend (each mark's class with its meaning) and
// the list of what the marks stand for.
struct ChartMarks {
  std::vector<std::string> classes;
  std::string style;
  std::vector<std::pair<std::string, std::string>> legend;  // class, meaning
  // The list, made an entry at a time as the page is written: its length,
  // and the entry at a place in it.
  size_t noteCount = 0;
  std::function<ChartNote(size_t place)> note;
};

// Appends the <svg> element of the whole chart, flushed after each advance:
// the rules loaded and the chart metrics set. Texts are converted from
// Windows-1252 to UTF-8.
void AppendChartSvg(TextOut* out, const ChartMarks* marks = nullptr);

// The standalone SVG document: an XML declaration and the <svg> element;
// in a string, or written as it is made.
void MakeSvgDocument(std::string* out);
void MakeSvgDocument(std::string* out, const ChartMarks* marks);
void MakeSvgDocument(TextOut* out, const ChartMarks* marks);
