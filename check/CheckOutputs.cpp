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

std::string PageTitle(const char* rulesPath, const char* title) {
  if (title == nullptr) {
    title = rulesPath;
    for (const char* c = rulesPath; *c != 0; ++c) {
      if (*c == '/' || *c == '\\') title = c + 1;
    }
  }
  // The page isolates it from the words around it (a right-to-left
  // override stays inside).
  return IsolatedArgument(title);
}

void SetExportMetrics() { SetChartMetrics(11, 13, 0); }

void MakeCheckedSvg(std::string* text, const ExportContext& context) {
  MakeSvgDocument(text, context.marks);
}

void MakeCheckedPage(std::string* text, const ExportContext& context) {
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
  // The messages in UTF-8 as the JSON report has them, as many as the page
  // lists; of the rest, the count and the advances not named yet.
  struct Listing {
    PageContent* page;
    std::vector<bool> named;  // by advance index
  } listing = {&content, std::vector<bool>((size_t)content.advances + 1, false)};
  ForEachWarning(
      [](void* context, const Diagnostic* warning) {
        Listing& l = *static_cast<Listing*>(context);
        ++l.page->warningCount;
        bool known = warning->advance >= 0 && (size_t)warning->advance < l.named.size();
        if (l.page->warnings.size() < PAGE_WARNINGS_SHOWN) {
          std::string message;
          AppendUtf8(&message, warning->message.c_str());
          l.page->warnings.push_back(PageWarning{message, warning->advance});
        } else if (known && !l.named[warning->advance]) {
          l.page->moreWarned.push_back(warning->advance);
        }
        if (known) l.named[warning->advance] = true;
      },
      &listing);
  MakeHtmlPage(content, text);
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
    if (!withMetrics) SetExportMetrics();
    for (OutputFile& file : *outputs) file.make(&file.text);
    if (!SaveFiles(*outputs)) return EXIT_REFUSED;
  }
  if (routeText != nullptr) {
    return PrintRoute(targets, haveText != nullptr ? &researched : nullptr, json);
  }
  return haveText != nullptr ? PrintAvailable(researched, json) : 0;
}
