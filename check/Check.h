// The parts of lorvane-check: the warnings, the walks of the lists and the reports.
// The warnings tell what the viewer passes over silently; the reports (text
// and JSON) show a loaded rules file.
#pragma once
#include <stdint.h>

#include <string>
#include <vector>

struct Advance;
struct UnitType;

enum DiagnosticSeverity { SEVERITY_WARNING, SEVERITY_ERROR };

// One thing the checker says about the rules file.
struct Diagnostic {
  int32_t line;  // the rules file's line it is about, from 1; 0 when no one line is
  DiagnosticSeverity severity;
  std::string message;  // the rules file's bytes as read (Windows-1252)
  int32_t advance;      // the index of the advance it concerns (a unit's: its box's), or -1
};

// Receives one warning, valid during the call only, with the caller's context.
typedef void (*DiagnosticSink)(void* context, const Diagnostic* diagnostic);

// Finds every warning of the loaded file and hands each to sink, advances
// first in list order, then unit types in file order. Returns the count.
int ForEachWarning(DiagnosticSink sink, void* context);

// Every warning of the loaded file, in that order.
std::vector<Diagnostic> CollectWarnings();

// The unit types in file order, one per line of the unit section (a unit
// with an empty name does not end this list).
int UnitCount();

// An advance's or a unit's index as the reports give it (see the index
// fields of the records); -1 for none.
int AdvanceIndex(const Advance* advance);
int UnitIndex(const UnitType* unit);

// Number of unit types hung under the advance (at most 100).
int AdvanceUnitCount(const Advance* advance);

// The text report; the warnings name the rules file by path.
void PrintTextReport(const char* path, bool withMetrics);
// False when the document could not be built or written.
bool PrintJsonReport(bool withMetrics);

struct UnitRow;

// Every unit's row of the units table (chart/UnitTable.h), in file order.
std::vector<UnitRow> UnitTableRows();

enum UnitTableFormat { UNITS_TEXT, UNITS_JSON, UNITS_CSV };
// The units table in file order. False when it could not be written.
bool PrintUnitTable(UnitTableFormat format);
