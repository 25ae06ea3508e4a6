// The parts of lorvane-check: the warnings, the walks of the lists and the reports.
// The warnings tell what the viewer passes over silently; the reports (text
// and JSON) show a loaded rules file.
#pragma once
#include <stdint.h>

#include <string>
#include <unordered_map>
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
  // For a loop of prerequisites: the advances' indexes, each needing the
  // next and the last the first; empty otherwise.
  std::vector<int32_t> loop;
};

// Receives one warning, valid during the call only, with the caller's context.
typedef void (*DiagnosticSink)(void* context, const Diagnostic* diagnostic);

// Finds every warning of the loaded file and hands each to sink, advances
// first in list order, then unit types in file order. Returns the count.
int ForEachWarning(DiagnosticSink sink, void* context);

// Every warning of the loaded file, in that order.
std::vector<Diagnostic> CollectWarnings();

// Has the warnings look at the bytes of the next load as the reader reads
// them (rules/Reader.h), to tell a file saved as UTF-8.
void WatchEncoding();
// Whether the watched file is UTF-8: it begins with a byte order mark, or
// it holds multi-byte sequences and no byte that UTF-8 does not allow.
bool FileIsUtf8();
// The line of the mark, or of the first sequence.
int32_t Utf8Line();
// The warning about such a file, with a name of it (its bytes as read,
// empty when none has a letter outside ASCII) as meant and as shown.
std::string Utf8Message(const std::string& exampleName);
// The warning about a name cut in a UTF-8 file that has no more than the
// letters allowed as UTF-8; empty when that is not the case.
std::string Utf8CutMessage(const char* kind, const std::string& raw, const char* stored);

// The prerequisite loop of a refused load (graph/Levels.h), through
// advances that both have their links; empty when none was refused.
std::vector<const Advance*> RefusedLoop();
// One loop per group of advances that need each other in a file that
// loads (each runs through an advance on level 0), the loop starting at
// the group's first advance in file order; groups in that order too.
std::vector<std::vector<const Advance*>> PassedLoops();
// "Name [Cod] -> ... -> Name [Cod]", back at the first; a long loop cut.
std::string LoopText(const std::vector<const Advance*>& loop);

// Finds, for a code that names no advance, one it was likely meant to be.
class CodeSuggester {
 public:
  // The advance whose code differs only in case, or else in one character.
  const Advance* Find(const char* unknown);
  // "; did you mean Cod (Name)?", or empty.
  std::string Hint(const char* unknown);

 private:
  void Build();
  const Advance* Search(const std::string& code);
  bool built = false;
  std::unordered_map<std::string, const Advance*> keys;
  std::unordered_map<std::string, const Advance*> answers;  // by unknown code
};

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
