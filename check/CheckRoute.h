// The research route to advances: --route's targets and the list of what
// they need.
#pragma once
#include <vector>

struct Advance;

// The advances that the comma-separated codes or names of a --route
// argument name, each once, in the order given: a code first ("nil" the
// root, else the first advance that carries it), then a name, ASCII
// letters' case aside, both compared as the outputs show them. Returns 0,
// or EXIT_NO_ADVANCE after a message naming the first that names nothing.
int FindRouteTargets(const char* text, std::vector<const Advance*>* targets);

// Prints the route to the targets: every advance they depend on through
// their prerequisite links, the root left out, by level then list order,
// one a line with its code and level; one target comes last, several are
// among the route where they fall; then the count of the others. As JSON
// for one target {"target": N, "route": [the others]}, for several
// {"targets": [...], "route": [all, the targets too]}, indexes as in the
// JSON report. Returns 0, or EXIT_WRITE after a message.
int PrintRoute(const std::vector<const Advance*>& targets, bool json);
