// lorvane-check's command line: the table of its options, what each takes,
// needs and excludes, and how the usage text shows it.
#pragma once
#include <string>

struct ExportContext;
struct ReportRun;

// One option of the command line as given: whether it was, and its value.
struct OptionValue {
  bool given;
  const char* value;
};

struct Options {
  OptionValue json, metrics, svg, html, sarif, title, route, have, diff, units, csv, werror, lsp,
      help, version;
  const char* path;
};

// Every option, the one place that knows them. Combinations are checked
// in the table's order, so the first row broken words the error.
struct OptionRow {
  const char* name;
  const char* value;  // the value's name as the usage shows it, or nullptr for none
  OptionValue Options::*slot;
  const char* needs;     // an option it goes with only, or nullptr
  const char* excludes;  // options it does not go with, blank-separated, or nullptr
  const char* unless;    // options that lift the exclusion, blank-separated, or nullptr
  const char* problem;   // the usage error, after the option's name, for either
  // Writes to standard output itself, so no export may be given as "-".
  bool takesStandardOutput;
  // An export: what makes its text (check/CheckOutputs.h), or nullptr.
  void (*make)(std::string* text, const ExportContext& context);
  // A report of its own (check/CheckOutputs.h), or nullptr: a run prints
  // the report of the first row given that has one (ChosenReport), and
  // with none the text or JSON report (DefaultReport). Returns the exit
  // code.
  int (*report)(const ReportRun& run);
};

extern const OptionRow OptionTable[];
extern const int OptionCount;

// The usage text, embedded at build time from check/usage.txt.
extern const char UsageText[];

// The option as the usage text shows it: its name and its value's name.
std::string UsageOf(const OptionRow& row);

// The command line read into the table's slots. A wrong one (an unknown
// option, one given twice, a missing value, two rules files) ends the
// program with its usage error.
Options ReadOptions(int argc, char** argv);

// The first row given, in the table's order, that has a report of its own,
// or nullptr.
const OptionRow* ChosenReport(const Options& options);

// Ends the program with the usage error of the first row, in the table's
// order, whose needs or exclusions the options break.
void CheckCombinations(const Options& options);

// Prints "lorvane-check: PROBLEMARGUMENT" and the usage text to standard
// error and exits with EXIT_USAGE.
[[noreturn]] void UsageError(const char* problem, const char* argument);
