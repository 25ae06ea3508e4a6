// lorvane-check --diff: both files loaded one after the other, each copied
// before the next load replaces it, then compared and reported.
#include <stdio.h>

#include <string>

#include "chart/ChartPage.h"
#include "chart/ChartSvg.h"
#include "chart/LoadRules.h"
#include "chart/Metrics.h"
#include "check/Check.h"
#include "check/Diff.h"
#include "check/Export.h"

namespace {

// A refusal of either file ends the process with the viewer's message,
// which names the file.
void Load(const char* path, const int32_t* font, RulesCopy* copy) {
  RefusedFile = path;
  LoadRules(path);
  // The chart's size at the metrics in force: the viewer's detail font
  // unless --metrics gives another.
  if (font != nullptr) {
    SetChartMetrics(font[0], font[1], font[2]);
  } else {
    SetChartMetrics(11, 13, 0);
  }
  RefusedFile = nullptr;
  CopyLoadedRules(path, copy);
}

}  // namespace

int RunDiff(const char* oldPath, const char* newPath, const int32_t* font, bool json,
            const char* svgPath, const char* htmlPath) {
  RulesCopy before;
  Load(oldPath, font, &before);
  ResetRules();
  RulesCopy after;
  Load(newPath, font, &after);
  RulesDiff diff;
  CompareRules(before, after, &diff);
  if (svgPath != nullptr || htmlPath != nullptr) {
    ChartMarks marks = DiffMarks(before, after, diff);
    std::string text;
    if (svgPath != nullptr) {
      MakeSvgDocument(&text, &marks);
      if (!SaveFile(svgPath, text)) return EXIT_REFUSED;
    }
    if (htmlPath != nullptr) {
      MakeHtmlPage(&text, &marks);
      if (!SaveFile(htmlPath, text)) return EXIT_REFUSED;
    }
    return EXIT_LOADED;
  }
  std::string text = json ? DiffJson(before, after, diff) : DiffText(before, after, diff);
  if (text.empty() || fwrite(text.data(), 1, text.size(), stdout) != text.size()) return EXIT_WRITE;
  return 0;
}
