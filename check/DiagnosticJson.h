// A warning or error of the checker as a JSON record, the same in every
// report that lists them (--json's diagnostics, --diff's warnings).
#pragma once
#include <nlohmann/json.hpp>

#include "check/Check.h"

// {"line": N, "severity": "warning"|"error", "message": "...", "advance": I,
// "loop": [I, ...]}: the message read as Windows-1252, "advance" only
// where there is one, "loop" only for a loop of prerequisites.
nlohmann::ordered_json DiagnosticJson(const Diagnostic& diagnostic);
