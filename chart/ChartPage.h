// The chart as one self-contained HTML page: the SVG inline, with a small
// script (chart/page/chart.js) to search the tree, mark an advance's route
// and what it opens, and zoom; and a style (chart/page/chart.css).
#pragma once
#include <string>

struct ChartMarks;

// The whole page of the loaded rules, the chart metrics set. With marks,
// the chart carries them, and a panel above it shows their legend and the
// list of notes, each selecting its advance when clicked.
void MakeHtmlPage(std::string* out);
void MakeHtmlPage(std::string* out, const ChartMarks* marks);
