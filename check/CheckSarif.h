// --sarif: the rules file's warnings, or its refusal, as a SARIF 2.1.0 log
// for code scanning.
#pragma once
#include <string>

#include "warnings/Warnings.h"

struct ExportContext;
struct TextOut;

// The log of the diagnostics of the rules file at rulesPath (as given on
// the command line): the tool with a rule for every kind, a result for
// each diagnostic at the file's path relative to the current folder.
std::string SarifLog(const char* rulesPath, const std::vector<Diagnostic>& diagnostics);

// The export's maker (the option table's row): the loaded file's warnings.
void MakeCheckedSarif(TextOut* out, const ExportContext& context);
