// The HTML page around the chart's SVG.
#include "chart/ChartPage.h"

#include "chart/ChartSvg.h"

// The page's own files, embedded at build time (cmake/EmbedFile.cmake).
extern const char PageScript[];
extern const char PageStyle[];

void MakeHtmlPage(std::string* out) {
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
      "</div>\n"
      "<div id=\"chart\">\n";
  AppendChartSvg(out);
  *out += "</div>\n<script>\n";
  *out += PageScript;
  *out +=
      "</script>\n"
      "</body>\n"
      "</html>\n";
}
