// The outputs that replace the report: --svg, --html and --route.
#include <stddef.h>
#include <string.h>

#include <string>
#include <vector>

#include "chart/ChartPage.h"
#include "chart/ChartSvg.h"
#include "chart/Metrics.h"
#include "chart/Utf8Text.h"
#include "check/Check.h"
#include "check/Export.h"
#include "graph/Levels.h"
#include "rules/Advance.h"

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

// A command-line text for the page: as it is when it reads as UTF-8, else
// each byte through Windows-1252, as the rules file's own texts.
std::string PageText(const char* text) {
  if (IsUtf8((const unsigned char*)text)) return text;
  std::string converted;
  AppendUtf8(&converted, text);
  return converted;
}

// The title (the rules file's name unless given), the counts and the
// warnings of the loaded file.
void GatherPage(const char* rulesPath, const char* title, PageContent* content) {
  if (title == nullptr) {
    title = rulesPath;
    for (const char* c = rulesPath; *c != 0; ++c) {
      if (*c == '/' || *c == '\\') title = c + 1;
    }
  }
  content->title = PageText(title);
  content->advances = 0;
  for (const Advance* a = RootAdvance.next; a != nullptr && a->name[0] != 0; a = a->next) {
    ++content->advances;
  }
  content->levels = MaxLevel;
  content->units = UnitCount();
  // The messages in UTF-8 as the JSON report has them.
  for (const Diagnostic& warning : CollectWarnings()) {
    std::string text;
    AppendUtf8(&text, warning.message.c_str());
    content->warnings.push_back(PageWarning{text, warning.advance});
  }
}

}  // namespace

int RunExports(const char* svgPath, const char* htmlPath, const char* routeText, bool withMetrics,
               bool json, const char* rulesPath, const char* title) {
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
      PageContent content;
      GatherPage(rulesPath, title, &content);
      MakeHtmlPage(content, &text);
      if (!SaveFile(htmlPath, text)) return 1;
    }
  }
  return routeText != nullptr ? PrintRoute(routeText, json) : 0;
}
