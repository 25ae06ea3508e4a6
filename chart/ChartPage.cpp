// The HTML page around the chart's SVG.
#include "chart/ChartPage.h"

#include <string>

#include "chart/ChartSvg.h"
#include "chart/Utf8Text.h"

// The page's own files, embedded at build time (cmake/EmbedFile.cmake).
extern const char PageScript[];
extern const char PageStyle[];

namespace {

// The legend's swatches are one box each, drawn by the same style rules as
// the marked boxes.
void AppendMarksPanel(std::string* out, const ChartMarks& marks) {
  *out += "<details id=\"marks\" open>\n<summary>Changes: ";
  *out += std::to_string(marks.notes.size());
  *out += "</summary>\n<ul id=\"legend\">\n";
  for (const auto& entry : marks.legend) {
    *out += "<li><svg class=\"swatch\" width=\"24\" height=\"14\"><g class=\"advance " +
            entry.first + "\"><rect x=\"1.5\" y=\"1.5\" width=\"21\" height=\"11\"/></g></svg> ";
    AppendXmlText(out, entry.second.c_str());
    *out += "</li>\n";
  }
  *out += "</ul>\n<ul id=\"changes\">\n";
  for (const ChartNote& note : marks.notes) {
    if (note.index >= 0) {
      *out += "<li data-index=\"" + std::to_string(note.index) + "\" tabindex=\"0\">";
    } else {
      *out += "<li>";
    }
    AppendXmlText(out, note.text.c_str());
    *out += "</li>\n";
  }
  *out += "</ul>\n</details>\n";
}

}  // namespace

void MakeHtmlPage(std::string* out) { MakeHtmlPage(out, nullptr); }

void MakeHtmlPage(std::string* out, const ChartMarks* marks) {
  *out =
      "<!DOCTYPE html>\n"
      "<html lang=\"en\">\n"
      "<head>\n"
      "<meta charset=\"utf-8\">\n"
      "<title>Velmora 2 Research Tree</title>\n"
      "<style>\n";
  *out += PageStyle;
  *out +=
      "</style>\n"
      "</head>\n"
      "<body>\n"
      "<div id=\"bar\">\n"
      "<input id=\"find\" type=\"search\" placeholder=\"Find a name or code (/)\" "
      "aria-label=\"Find a name or code\">\n"
      "<button id=\"zoom-out\" title=\"Zoom out (Ctrl+wheel)\">&#8722;</button>\n"
      "<button id=\"zoom-in\" title=\"Zoom in (Ctrl+wheel)\">+</button>\n"
      "<button id=\"fit\">Fit to width</button>\n"
      "<span id=\"summary\"></span>\n"
      "</div>\n";
  if (marks != nullptr) AppendMarksPanel(out, *marks);
  *out += "<div id=\"chart\">\n";
  AppendChartSvg(out, marks);
  *out += "</div>\n<script>\n";
  *out += PageScript;
  *out +=
      "</script>\n"
      "</body>\n"
      "</html>\n";
}
