// A warning or error of the checker as every report writes it: a line of
// text and a JSON record, the same in each report that lists them (the
// text report, --json's diagnostics, --diff's warnings).
#pragma once
#include <nlohmann/json.hpp>
#include <string>

#include "warnings/Warnings.h"

// "FILE:LINE: warning: MESSAGE" and a line feed, as compilers write them,
// for editors: shownPath the rules file as the terminal shows it, the
// message read as Windows-1252.
std::string DiagnosticLine(const std::string& shownPath, const Diagnostic& diagnostic);

// {"line": N, "severity": "warning"|"error", "kind": "...", "message": "...",
// "advance": I, "loop": [I, ...]}: the message read as Windows-1252, "advance" only
// where there is one, "loop" only for a loop of prerequisites.
nlohmann::ordered_json DiagnosticJson(const Diagnostic& diagnostic);

// The refusal of the last load (rules/Fatal.h) as a diagnostic: the
// viewer's message, a refused cycle followed by its loop, at the line it
// names; its kind the refusal's.
Diagnostic RefusalDiagnostic();
