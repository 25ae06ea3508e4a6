// Resolves prerequisite codes into links and dependant lists.
#pragma once
#include "rules/Advance.h"

// "nil" gives the root; any other code the first advance that carries it.
Advance* FindAdvance(const char* code);
void AddDependant(Advance* prereq, Advance* dependant);
void LinkPrerequisites();
