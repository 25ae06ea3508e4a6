// The checker's warnings: what the viewer passes over silently in a loaded
// rules file.
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
