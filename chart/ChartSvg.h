// The chart as SVG, drawn by the same walk as the viewer's bitmap: chart
// pixels as user units, one group per advance, the links in drawing order.
#pragma once
#include <string>

// Appends the <svg> element of the whole chart: the rules loaded and the
// chart metrics set. Texts are converted from Windows-1252 to UTF-8.
void AppendChartSvg(std::string* out);

// The standalone SVG document: an XML declaration and the <svg> element.
void MakeSvgDocument(std::string* out);
