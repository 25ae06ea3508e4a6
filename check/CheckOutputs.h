// The checker's exports: the chart as SVG and as an HTML page, made from
// the loaded rules and written safely, with the route when one is asked.
#pragma once
#include <string>
#include <vector>

#include "save/SaveFile.h"

struct ChartMarks;

// What every export of one run is made with: the page's title (UTF-8) and
// a comparison's marks, or none.
struct ExportContext {
  std::string title;
  const ChartMarks* marks;
  const char* rulesPath;  // as given on the command line
};

// The page's title: the text given, or the rules file's name when it is
// null; a text that is not UTF-8 read as Windows-1252.
std::string PageTitle(const char* rulesPath, const char* title);

// The chart metrics of every export made without --metrics: the viewer's
// detail font on the standard display, "MS Sans Serif" at 96 dpi, 11
// pixels at its widest, cells 13 pixels high.
void SetExportMetrics();

// The makers of the outputs (the option table's rows name them): the SVG
// document, and the page of the loaded rules (page/ChartPage.h) with the title, the
// file's counts and its warnings.
void MakeCheckedSvg(std::string* text, const ExportContext& context);
void MakeCheckedPage(std::string* text, const ExportContext& context);

// Makes every export's text (by the default metrics 11,13,0 unless the
// caller set others) and saves them, then prints the route asked for
// (routeText null for none), or, with --have alone (haveText), what can be
// researched now. Nothing is written when a route target or a researched
// advance is not found. Returns the exit code.
int RunOutputs(std::vector<OutputFile>* outputs, const char* routeText, const char* haveText,
               bool withMetrics, bool json);
