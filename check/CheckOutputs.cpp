// The outputs and the reports of the option table's rows: --svg, --html, --route, --have and
// --units, and the report of a run that names none.
#include "check/CheckOutputs.h"

#include <stddef.h>

#include <string>
#include <vector>

#include "chart/ChartSvg.h"
#include "chart/Metrics.h"
#include "chart/Utf8Text.h"
#include "check/CheckJson.h"
#include "check/CheckOptions.h"
#include "check/CheckPlan.h"
#include "check/CheckRoute.h"
#include "check/CheckText.h"
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

void SetExportMetrics() { SetChartMetrics(DefaultFontMetrics); }

void MakeCheckedSvg(std::string* text, const ExportContext& context) {
  MakeSvgDocument(text, context.marks);
}

void MakeCheckedPage(std::string* text, const ExportContext& context) {
  PageContent content;
  content.marks = context.marks;
  content.title = context.title;
  content.advances = AdvanceCount() - 1;
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

int RouteReport(const ReportRun& run) {
  return RunOutputs(run.outputs, run.options->route.value, run.options->have.value, run.withMetrics,
                    run.json);
}

int PlanReport(const ReportRun& run) {
  return RunOutputs(run.outputs, nullptr, run.options->have.value, run.withMetrics, run.json);
}

int UnitsReport(const ReportRun& run) {
  UnitTableFormat format = run.json ? UNITS_JSON : run.options->csv.given ? UNITS_CSV : UNITS_TEXT;
  return PrintUnitTable(format) ? EXIT_LOADED : REPORT_UNWRITTEN;
}

int DefaultReport(const ReportRun& run) {
  if (!run.outputs->empty())
    return RunOutputs(run.outputs, nullptr, nullptr, run.withMetrics, run.json);
  if (run.json) return PrintJsonReport(run.withMetrics) ? EXIT_LOADED : REPORT_UNWRITTEN;
  PrintTextReport(run.path, run.withMetrics);
  return EXIT_LOADED;
}
