// The outputs that replace the report: --svg, --html, --route and --have.
#include "check/CheckOutputs.h"

#include <stddef.h>

#include <string>
#include <vector>

#include "chart/ChartSvg.h"
#include "chart/Metrics.h"
#include "chart/Utf8Text.h"
#include "check/CheckPlan.h"
#include "check/CheckRoute.h"
#include "check/CheckUnits.h"
#include "check/ExitCodes.h"
#include "console/ConsoleText.h"
#include "graph/Levels.h"
#include "page/ChartPage.h"
#include "rules/Advance.h"
#include "rules/Lists.h"
#include "warnings/Warnings.h"

namespace {

// True when the bytes are well-formed UTF-8 (no overlong forms, no
// surrogates, nothing past U+10FFFF).
bool IsUtf8(const unsigned char* s) {
  while (*s != 0) {
    int more = *s < 0x80                  ? 0
               : *s >= 0xC2 && *s <= 0xDF ? 1
               : *s >= 0xE0 && *s <= 0xEF ? 2
               : *s >= 0xF0 && *s <= 0xF4 ? 3
                                          : -1;
    if (more < 0) return false;
    unsigned lead = *s++;
    for (int k = 0; k < more; ++k, ++s) {
      bool low = k == 0 && ((lead == 0xE0 && *s < 0xA0) || (lead == 0xF0 && *s < 0x90));
      bool high = k == 0 && ((lead == 0xED && *s > 0x9F) || (lead == 0xF4 && *s > 0x8F));
      if ((*s & 0xC0) != 0x80 || low || high) return false;
    }
  }
  return true;
}

}  // namespace

std::string PageTitle(const char* rulesPath, const char* title) {
  if (title == nullptr) {
    title = rulesPath;
    for (const char* c = rulesPath; *c != 0; ++c) {
      if (*c == '/' || *c == '\\') title = c + 1;
    }
  }
  // A command-line text as it is when it reads as UTF-8, else each byte
  // through Windows-1252, as the rules file's own texts. The page isolates
  // it from the words around it (a right-to-left override stays inside).
  std::string utf8;
  if (IsUtf8((const unsigned char*)title)) {
    utf8 = ShownArgument(title);
  } else {
    AppendUtf8(&utf8, title);
  }
  return utf8;
}

void MakeCheckedSvg(TextOut* out, const ExportContext& context) {
  MakeSvgDocument(out, context.marks);
}

void MakeCheckedPage(TextOut* out, const ExportContext& context) {
  PageContent content;
  content.marks = context.marks;
  content.title = context.title;
  content.advances = 0;
  for (const Advance* a = RootAdvance.next; a != nullptr && a->name[0] != 0; a = a->next) {
    ++content.advances;
  }
  content.levels = MaxLevel;
  content.units = UnitCount();
  content.unitRows = UnitTableRows();
  // The messages in UTF-8 as the JSON report has them.
  for (const Diagnostic& warning : CollectWarnings()) {
    std::string message;
    AppendUtf8(&message, warning.message.c_str());
    content.warnings.push_back(PageWarning{message, warning.advance});
  }
  MakeHtmlPage(content, out);
}

int RunOutputs(std::vector<OutputFile>* outputs, const char* routeText, const char* haveText,
               bool withMetrics, bool json) {
  // Everything that can fail without a file is done before any is written.
  std::vector<const Advance*> targets;
  if (routeText != nullptr) {
    int found = FindRouteTargets(routeText, &targets);
    if (found != 0) return found;
  }
  std::vector<bool> researched;
  if (haveText != nullptr) {
    int found = FindResearched(haveText, &researched);
    if (found != 0) return found;
  }
  if (!outputs->empty()) {
    // The viewer's detail font on the standard display: "MS Sans Serif" at
    // 96 dpi, 11 pixels at its widest, cells 13 pixels high.
    if (!withMetrics) SetChartMetrics(11, 13, 0);
    if (!SaveFiles(*outputs)) return EXIT_REFUSED;
  }
  if (routeText != nullptr) {
    return PrintRoute(targets, haveText != nullptr ? &researched : nullptr, json);
  }
  return haveText != nullptr ? PrintAvailable(researched, json) : 0;
}
