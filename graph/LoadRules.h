// The whole load: both sections, parsing, linking and levels.
#pragma once
#include <stdio.h>

// Cuts the advance and unit sections out of an open file.
void ReadRulesSections(FILE* file);

// Parses both sections, links the prerequisites and ranks the advances.
void BuildResearchGraph();

// Both of the above, on an open file which the caller closes.
void LoadRulesFile(FILE* file);

// Opens the named rules file, reads its sections, closes it, then builds
// the graph.
void LoadRules(const char* path);

// Forgets everything loaded, so that another file can be loaded in the same
// process (tests, benchmarks and the fuzzer).
void ResetRules();
