// The checker's outputs besides the report: the chart as SVG and as an
// HTML page, and the research route to one advance.
#pragma once
#include <string>

#include "check/ExitCodes.h"

// Writes the text to path through a temporary file beside it, renamed over
// the target once complete, so that a failure leaves an earlier file as it
// was. False, after a message on standard error, when that fails.
bool SaveFile(const char* path, const std::string& text);

// Prints the route to the advance with this code (the first that carries
// it, "nil" the root), else the first whose name equals the text, ASCII
// letters' case aside: every advance it depends on through its
// prerequisite links, the root left out, by level then list order, one a
// line with its code and level, the advance itself last, then the count.
// As JSON: {"target": N, "route": [indexes in that order]}, indexes as in
// the JSON report. Returns the exit code: 0, or EXIT_NO_ADVANCE after a
// message.
int PrintRoute(const char* text, bool json);

// Writes the SVG and the page asked for (by the default metrics 11,13,0
// unless the caller set others), then prints the route asked for. Returns
// the exit code: 1 when a file cannot be written.
int RunExports(const char* svgPath, const char* htmlPath, const char* routeText, bool withMetrics,
               bool json);
