// Loops of prerequisites: the one a refusal names, and those a file that
// loads holds.
#pragma once
#include <string>
#include <vector>

struct Advance;

// The prerequisite loop of a refused load (graph/Levels.h), through
// advances that both have their links; empty when none was refused.
std::vector<const Advance*> RefusedLoop();
// One loop per group of advances that need each other in a file that
// loads (each runs through an advance on level 0), the loop starting at
// the group's first advance in file order; groups in that order too.
std::vector<std::vector<const Advance*>> PassedLoops();
// "Name [Cod] -> ... -> Name [Cod]", back at the first; a long loop cut.
std::string LoopText(const std::vector<const Advance*>& loop);
