// The outputs that replace the report: --svg, --html and --route.
#include <stddef.h>

#include <string>

#include "chart/ChartPage.h"
#include "chart/ChartSvg.h"
#include "chart/Metrics.h"
#include "check/Export.h"

int RunExports(const char* svgPath, const char* htmlPath, const char* routeText, bool withMetrics,
               bool json) {
  if (svgPath != nullptr || htmlPath != nullptr) {
    // The viewer's detail font on the standard display: "MS Sans Serif" at
    // 96 dpi, 11 pixels at its widest, cells 13 pixels high.
    if (!withMetrics) SetChartMetrics(11, 13, 0);
    std::string text;
    if (svgPath != nullptr) {
      MakeSvgDocument(&text);
      if (!SaveFile(svgPath, text)) return 1;
    }
    if (htmlPath != nullptr) {
      MakeHtmlPage(&text);
      if (!SaveFile(htmlPath, text)) return 1;
    }
  }
  return routeText != nullptr ? PrintRoute(routeText, json) : 0;
}
