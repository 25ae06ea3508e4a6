// The checker's exports: the chart as SVG and as an HTML page, made from
// the loaded rules and written safely, with the route when one is asked.
#pragma once
#include <string>
#include <vector>

#include "save/SaveFile.h"

struct ChartMarks;
struct Options;

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

// The chart metrics of every export made without --metrics:
// DefaultFontMetrics (chart/Metrics.h), the viewer's detail font on the
// standard display.
void SetExportMetrics();

// The makers of the outputs (the option table's rows name them): the SVG
// document, and the page of the loaded rules (page/ChartPage.h) with the title, the
// file's counts and its warnings.
void MakeCheckedSvg(std::string* text, const ExportContext& context);
void MakeCheckedPage(std::string* text, const ExportContext& context);

// Makes every export's text (by DefaultFontMetrics unless the caller set
// others) and saves them, then prints the route asked for
// (routeText null for none), or, with --have alone (haveText), what can be
// researched now. Nothing is written when a route target or a researched
// advance is not found. Returns the exit code.
int RunOutputs(std::vector<OutputFile>* outputs, const char* routeText, const char* haveText,
               bool withMetrics, bool json);

// What a report of the option table's rows is given: the options, the
// rules file's path, the exports to write before it prints, and whether
// --metrics and --json were given.
struct ReportRun {
  const Options* options;
  const char* path;
  std::vector<OutputFile>* outputs;
  bool withMetrics;
  bool json;
};

// A report that could not be written: main says so (exit 3).
inline constexpr int REPORT_UNWRITTEN = -1;

// The reports of the rows, each returning the exit code: --route (with
// --have's researched advances), --have alone (what can be researched
// now), --units (as text, JSON or CSV).
int RouteReport(const ReportRun& run);
int PlanReport(const ReportRun& run);
int UnitsReport(const ReportRun& run);
// The report of a run whose options name none: the exports alone, or
// without any the JSON or the text report.
int DefaultReport(const ReportRun& run);
