// A player's plan for --have: the advances researched, and those that can be researched now.
#pragma once
#include <vector>

// The researched advances of a --have argument, by index: those it names
// (as FindRouteTargets finds them) and every advance they need, the root
// not counted. Returns 0, or EXIT_NO_ADVANCE after FindRouteTargets'
// message.
int FindResearched(const char* text, std::vector<bool>* researched);

// Prints the advances that can be researched now: not researched, every
// prerequisite researched (the root always is), in list order, as route
// lines, then the counts; as JSON {"have": [...], "available": [...]}.
// Returns 0, or EXIT_WRITE after a message.
int PrintAvailable(const std::vector<bool>& researched, bool json);
