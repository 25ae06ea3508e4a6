// The checker's outputs besides the report: the chart as SVG and as an
// HTML page, written safely, and the research route to advances.
#pragma once
#include <stdio.h>

#include <string>
#include <vector>

#include "check/ExitCodes.h"

struct Advance;
struct ChartMarks;

// One export to write: the option that asked for it, the path given ("-"
// for standard output), what makes its text and, once made, the text.
struct OutputFile {
  const char* option;
  const char* path;
  void (*make)(std::string* text);
  std::string text;
};

// Where the files are checked against each other and the rules file: an
// output that is the rules file (the same file however named or linked)
// or that another output names too is refused, with a message naming both.
// rules is the open rules file. False after the message.
bool CheckOutputPaths(FILE* rules, const char* rulesPath, const std::vector<OutputFile>& files);

// Writes every file, or replaces none: "-" goes to standard output; an
// existing target that is not a regular file (a device, a FIFO) is written
// in place; any other is written to a new temporary file beside the file
// it names (through a symbolic link), which takes the permissions (and
// owner) of the file it replaces and is renamed over it once every file is
// written. A file no one may write is refused first. A failure, SIGINT or
// SIGTERM removes the temporary files, leaving every target as it was.
// False after a message on standard error.
bool SaveFiles(const std::vector<OutputFile>& files);

// The advances that the comma-separated codes or names of a --route
// argument name, each once, in the order given: a code first ("nil" the
// root, else the first advance that carries it), then a name, ASCII
// letters' case aside, both compared as the outputs show them. Returns 0,
// or EXIT_NO_ADVANCE after a message naming the first that names nothing.
int FindRouteTargets(const char* text, std::vector<const Advance*>* targets);

// The page's title: the text given, or the rules file's name when it is
// null. MakeCheckedPage, an OutputFile's maker, takes it from here.
void SetPageTitle(const char* rulesPath, const char* title);

// The page of the loaded rules (chart/ChartPage.h) with the title, the
// file's counts and its warnings; with a comparison's marks.
void MakeCheckedPage(std::string* text);
void MakeCheckedPage(std::string* text, const ChartMarks* marks);

// Makes every export's text (by the default metrics 11,13,0 unless the
// caller set others) and saves them, then prints the route asked for, or,
// with --have alone, what can be researched now. Nothing is written when
// a route target or a researched advance is not found. Returns the exit
// code.
int RunExports(std::vector<OutputFile>* outputs, const char* routeText, const char* haveText,
               bool withMetrics, bool json);

// Prints the route to the targets: every advance they depend on through
// their prerequisite links, the root left out, by level then list order,
// one a line with its code and level; one target comes last, several are
// among the route where they fall; then the count of the others. As JSON
// for one target {"target": N, "route": [the others]}, for several
// {"targets": [...], "route": [all, the targets too]}, indexes as in the
// JSON report. With the researched advances (FindResearched), the route
// holds only those not researched, the count line says how many of the
// others are left and how many researched ("already researched" when
// every target is), and the JSON adds "have" (the researched advances in
// list order, the root left out) and "researched" (the count). Returns 0,
// or EXIT_WRITE after a message.
int PrintRoute(const std::vector<const Advance*>& targets, const std::vector<bool>* researched,
               bool json);

// The researched advances of a --have argument, by index: those it names
// (as FindRouteTargets finds them) and every advance they need, the root
// not counted. Returns 0, or EXIT_NO_ADVANCE after FindRouteTargets' message.
int FindResearched(const char* text, std::vector<bool>* researched);

// Prints the advances that can be researched now: not researched, every
// prerequisite researched (the root always is), in list order, as route
// lines, then the counts; as JSON {"have": [...], "available": [...]}.
// Returns 0, or EXIT_WRITE after a message.
int PrintAvailable(const std::vector<bool>& researched, bool json);
