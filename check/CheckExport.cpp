// The outputs that replace the report: --svg, --html and --route.
#include <stddef.h>

#include <string>
#include <vector>

#include "chart/Metrics.h"
#include "check/Export.h"

int RunExports(std::vector<OutputFile>* outputs, const char* routeText, bool withMetrics,
               bool json) {
  // Everything that can fail without a file is done before any is written.
  std::vector<const Advance*> targets;
  if (routeText != nullptr) {
    int found = FindRouteTargets(routeText, &targets);
    if (found != 0) return found;
  }
  if (!outputs->empty()) {
    // The viewer's detail font on the standard display: "MS Sans Serif" at
    // 96 dpi, 11 pixels at its widest, cells 13 pixels high.
    if (!withMetrics) SetChartMetrics(11, 13, 0);
    for (OutputFile& file : *outputs) file.make(&file.text);
    if (!SaveFiles(*outputs)) return EXIT_REFUSED;
  }
  return routeText != nullptr ? PrintRoute(targets, json) : 0;
}
