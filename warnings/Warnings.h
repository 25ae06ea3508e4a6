// The checker's warnings: what the viewer passes over silently in a loaded
// rules file.
#pragma once
#include <stdint.h>

#include <string>
#include <vector>

#include "warnings/Kinds.h"

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
  DiagnosticKind kind;
  // The bytes of the record's line as the reader keeps it (TextLine) that
  // it is about, a field's, from column on; column -1 for the whole line.
  int32_t column;
  int32_t width;
  // What mends the line, where the checker knows: the text that replaces
  // the bytes fixColumn to fixColumn + fixWidth (a code meant, a name
  // without its blank). fixColumn -1 for none.
  int32_t fixColumn;
  int32_t fixWidth;
  std::string fix;
};

// Receives one warning, valid during the call only, with the caller's context.
typedef void (*DiagnosticSink)(void* context, const Diagnostic* diagnostic);

// Finds every warning of the loaded file and hands each to sink, advances
// first in list order, then unit types in file order. Returns the count.
int ForEachWarning(DiagnosticSink sink, void* context);

// Every warning of the loaded file, in that order.
std::vector<Diagnostic> CollectWarnings();
