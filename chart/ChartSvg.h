// The chart as SVG, drawn by the same walk as the viewer's bitmap: chart
// pixels as user units, one group per advance, the links in drawing order.
#pragma once
#include <string>
#include <vector>

// Classes added to the advances' groups (a comparison's marks, say), by
// the advances' indexes, separated by blanks; style holds their rules.
struct ChartMarks {
  std::vector<std::string> classes;
  std::string style;
};

// Appends the <svg> element of the whole chart: the rules loaded and the
// chart metrics set. Texts are converted from Windows-1252 to UTF-8.
void AppendChartSvg(std::string* out, const ChartMarks* marks = nullptr);

// The standalone SVG document: an XML declaration and the <svg> element.
void MakeSvgDocument(std::string* out, const ChartMarks* marks = nullptr);
