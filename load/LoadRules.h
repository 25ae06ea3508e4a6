// The whole load, from the rules file to the ranked graph, and the reset of
// everything a load and the chart metrics set.
#pragma once
#include <stddef.h>
#include <stdio.h>

// Opens the named rules file, reads its sections, closes it, then parses,
// links and ranks.
void LoadRules(const char* path);

// The same on a file already open in binary mode, which the caller closes.
void LoadRulesFile(FILE* file);

// The same on the bytes of a file held in memory (an editor's text).
void LoadRulesText(const char* bytes, size_t size);

// Forgets everything loaded and every chart metric, so that another file
// can be loaded in the same process (tests, benchmarks and the fuzzer).
void ResetRules();
