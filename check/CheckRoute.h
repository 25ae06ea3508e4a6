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

// The advances the targets need through their prerequisite links, the
// root left out, the targets among them, by level then list order.
std::vector<const Advance*> RouteOf(const std::vector<const Advance*>& targets);

// Prints the route to the targets: every advance they depend on through
// their prerequisite links, the root left out, by level then list order,
// one a line with its code and level; one target comes last, several are
// among the route where they fall; then the count of the others. As JSON
// for one target {"target": N, "route": [the others]}, for several
// {"targets": [...], "route": [all, the targets too]}, indexes as in the
// JSON report. With the researched advances (check/CheckPlan.h, null for
// none), the route holds only those not researched, the count line says
// how many of the others are left and how many researched ("already
// researched" when every target is), and the JSON adds "have" (the
// researched advances in list order, the root left out) and "researched"
// (the count). Returns 0, or EXIT_WRITE after a message.
int PrintRoute(const std::vector<const Advance*>& targets, const std::vector<bool>* researched,
               bool json);
