// The parts of lorvane-check: the warnings, the walks of the lists and the reports.
// The warnings tell what the viewer passes over silently; the reports (text
// and JSON) show a loaded rules file.
#pragma once
#include <stdint.h>

struct Advance;
struct UnitType;

// Receives the text of one warning; the text is valid during the call only.
typedef void (*WarningSink)(const char* text);

// Finds every warning of the loaded file and hands each to sink, advances
// first in list order, then unit types in file order. Returns the count.
int ForEachWarning(WarningSink sink);

// The advances the viewer sees: the root, then the list up to the first
// record with an empty name. Index 0 is the root; -1 for an advance not
// among them (or none).
int AdvanceIndex(const Advance* advance);

// The unit types in file order, one per line of the unit section (a unit
// with an empty name does not end this list). Index -1 for none.
int UnitCount();
int UnitIndex(const UnitType* unit);

// Number of unit types hung under the advance (at most 100).
int AdvanceUnitCount(const Advance* advance);

void PrintTextReport(bool withMetrics);
// False when the document could not be built or written.
bool PrintJsonReport(bool withMetrics);

// The file being loaded, named before a refusal's message; none for the
// single file of the other reports.
extern const char* RefusedFile;
