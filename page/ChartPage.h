// The chart as one self-contained HTML page (page/page.html): the SVG
// inline, with small scripts (page/*.js) to search the tree, list and mark
// the route of selected advances, zoom, pan and print, keep the player's
// plan, draw an overview and colour by epoch or category; a style
// (page/chart.css); the title, the file's counts and its warnings; the
// units table, made by its script from the page's data.
#pragma once
#include <string>
#include <vector>

#include "chart/UnitTable.h"

struct PageWarning {
  std::string text;  // as the checker words it, in UTF-8
  int advance;       // the index of the advance it concerns (0 the root), or -1
};

// The warnings the page lists: a file can have hundreds of thousands, which
// no one reads in a page and which would make it slow to load; the rest
// are counted, and the JSON report has them all.
enum { PAGE_WARNINGS_SHOWN = 1000 };

struct ChartMarks;

struct PageContent {
  std::string title;  // UTF-8
  int advances;       // in the file, the root left out
  int levels;         // the deepest level
  int units;
  std::vector<PageWarning> warnings;  // the first PAGE_WARNINGS_SHOWN at most
  int warningCount = 0;               // all of them (0: as many as listed)
  // The advances that only the warnings past those listed concern, in
  // order, each once: the chart marks them too.
  std::vector<int> moreWarned;
  std::vector<UnitRow> unitRows;  // in file order
  // A comparison's marks on the chart, with its legend and list of changes
  // (chart/ChartSvg.h), or none.
  const ChartMarks* marks = nullptr;
};

// The whole page of the loaded rules, the chart metrics set.
void MakeHtmlPage(const PageContent& content, std::string* out);
