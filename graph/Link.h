// Resolves prerequisite codes into links and dependant lists.
#pragma once
#include "rules/Advance.h"

// "nil" gives the root; any other code the first advance that carries it.
// The codes are indexed at the first lookup, once the advance list is read.
Advance* FindAdvance(const char* code);
// Drops the index, which is built again at the next lookup.
void ResetCodeIndex();
void AddDependant(Advance* prereq, Advance* dependant);
void LinkPrerequisites();
