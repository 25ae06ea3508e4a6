// The whole load: both sections, parsing, linking and levels.
#pragma once
#include <stdio.h>

// Reads the sections from an open file (which the caller closes) and builds
// the ranked graph.
void LoadRulesFile(FILE* file);

// Opens, loads and closes the named rules file.
void LoadRules(const char* path);

// Forgets everything loaded, so that another file can be loaded in the same
// process (tests, benchmarks and the fuzzer).
void ResetRules();
