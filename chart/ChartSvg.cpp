// The SVG painter of the chart walk.
#include "chart/ChartSvg.h"

#include <math.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>

#include <unordered_map>

#include "chart/ChartWalk.h"
#include "chart/Metrics.h"
#include "chart/Utf8Text.h"
#include "rules/Advance.h"
#include "rules/UnitType.h"

namespace {

struct SvgTarget {
  std::string* out;
  std::unordered_map<const Advance*, int> index;  // 0 the root, then list order
  int ascent;                                     // from the top of a text cell to the baseline
};

const char* const FontClass[] = {"name", "detail", "unit"};

int IndexOf(const SvgTarget* svg, const Advance* advance) {
  auto found = svg->index.find(advance);
  return found == svg->index.end() ? -1 : found->second;
}

// Formatted numbers and markup; every use fits the buffer.
void Appendf(std::string* out, const char* format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  int length = vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (length > 0) {
    out->append(text, (size_t)length < sizeof text ? (size_t)length : sizeof text - 1);
  }
}

// A prerequisite's name, or the code that named nothing.
void AppendPrerequisite(std::string* out, const char* code, const Advance* prereq) {
  if (prereq != nullptr) {
    AppendXmlText(out, prereq->name);
    return;
  }
  *out += "&quot;";
  AppendXmlText(out, code);
  *out += "&quot; (names no advance)";
}

// What a pointer shows over the box: name, code, level, prerequisites, units.
void AppendTitle(std::string* out, const Advance* advance) {
  *out += "<title>";
  AppendXmlText(out, advance->name);
  *out += " [";
  AppendXmlText(out, advance->code);
  Appendf(out, "], level %d\nprerequisites: ", advance->level);
  if (advance == &RootAdvance) {
    *out += "none";
  } else {
    AppendPrerequisite(out, advance->prereqCode1, advance->prereq1);
    *out += ", ";
    AppendPrerequisite(out, advance->prereqCode2, advance->prereq2);
  }
  for (int k = 0; k < MAX_UNITS && advance->units[k] != nullptr; ++k) {
    *out += k == 0 ? "\nunits: " : ", ";
    AppendXmlText(out, advance->units[k]->name);
  }
  *out += "</title>\n";
}

void BeginAdvance(void* target, const Advance* advance) {
  SvgTarget* svg = (SvgTarget*)target;
  std::string* out = svg->out;
  Appendf(out, "<g class=\"advance\" id=\"a%d\" data-code=\"", IndexOf(svg, advance));
  AppendXmlText(out, advance->code);
  Appendf(out, "\" data-level=\"%d\"", advance->level);
  // The links as the file gives them, also where no line is drawn.
  if (advance->prereq1 != nullptr) {
    Appendf(out, " data-prereq1=\"%d\"", IndexOf(svg, advance->prereq1));
  }
  if (advance->prereq2 != nullptr) {
    Appendf(out, " data-prereq2=\"%d\"", IndexOf(svg, advance->prereq2));
  }
  *out += ">";
  AppendTitle(out, advance);
}

void EndAdvance(void* target, const Advance*) { *((SvgTarget*)target)->out += "</g>\n"; }

// The stroke's middle on the middle of the viewer's outline pixels.
void Box(void* target, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  Appendf(((SvgTarget*)target)->out, "<rect x=\"%d.5\" y=\"%d.5\" width=\"%d\" height=\"%d\"/>\n",
          left, top, right - left - 1, bottom - top - 1);
}

void Link(void* target, const Advance* advance, const Advance* prereq, bool nearLink, int32_t x1,
          int32_t y1, int32_t x2, int32_t y2) {
  SvgTarget* svg = (SvgTarget*)target;
  std::string* out = svg->out;
  Appendf(out,
          "<line class=\"%s\" data-from=\"%d\" data-to=\"%d\" x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" "
          "y2=\"%.1f\"",
          nearLink ? "near" : "far", IndexOf(svg, advance), IndexOf(svg, prereq), x1 + 0.5,
          y1 + 0.5, x2 + 0.5, y2 + 0.5);
  if (!nearLink) {
    // The dotted pen repeats 3 pixels on, 3 off, counted along the line's
    // longer axis; the dashes are measured along the line itself.
    double dx = x2 - x1;
    double dy = y2 - y1;
    double steps = abs(x2 - x1) > abs(y2 - y1) ? abs(x2 - x1) : abs(y2 - y1);
    double dash = steps > 0 ? 3 * sqrt(dx * dx + dy * dy) / steps : 3;
    Appendf(out, " stroke-dasharray=\"%.3f\"", dash);
  }
  *out += "/>\n";
}

void Text(void* target, ChartFont font, int32_t x, int32_t y, const char* text) {
  SvgTarget* svg = (SvgTarget*)target;
  Appendf(svg->out, "<text class=\"%s\" x=\"%d\" y=\"%d\">", FontClass[font], x, y + svg->ascent);
  AppendXmlText(svg->out, text);
  *svg->out += "</text>\n";
}

// The cost follows the name in the text's own flow.
void UnitName(void* target, int32_t x, int32_t y, const char* name, const char* cost) {
  SvgTarget* svg = (SvgTarget*)target;
  std::string* out = svg->out;
  Appendf(out, "<text class=\"unit\" x=\"%d\" y=\"%d\">", x, y + svg->ascent);
  AppendXmlText(out, name);
  *out += "<tspan class=\"detail\">";
  AppendXmlText(out, cost);
  *out += "</tspan></text>\n";
}

void Separator(void* target, int32_t left, int32_t y, int32_t right) {
  Appendf(((SvgTarget*)target)->out,
          "<line class=\"separator\" x1=\"%d\" y1=\"%d.5\" x2=\"%d\" y2=\"%d.5\"/>\n", left, y,
          right, y);
}

}  // namespace

void AppendChartSvg(std::string* out) {
  SvgTarget svg;
  svg.out = out;
  int index = 0;
  for (const Advance* a = &RootAdvance; a != nullptr && a->name[0] != 0; a = a->next) {
    svg.index[a] = index++;
  }
  // The viewer's fonts have cells of LineHeight pixels (13 on the standard
  // display), 11 of them above the baseline and an em of 11.
  svg.ascent = (LineHeight * 11 + 6) / 13;

  Appendf(out,
          "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"chart\" width=\"%d\" "
          "height=\"%d\" viewBox=\"0 0 %d %d\" xml:space=\"preserve\">\n",
          ChartWidth, ChartHeight, ChartWidth, ChartHeight);
  Appendf(out,
          "<style>\n"
          ".chart { background: #fff }\n"
          ".chart text { font-family: \"MS Sans Serif\", sans-serif; font-size: %dpx; "
          "white-space: pre; fill: #000 }\n",
          svg.ascent);
  *out +=
      ".chart .name, .chart .unit { font-weight: bold }\n"
      ".chart .unit { font-style: italic }\n"
      ".chart .detail { font-weight: normal; font-style: normal }\n"
      ".chart rect { fill: #fff; stroke: #000; shape-rendering: crispEdges }\n"
      ".chart line { stroke-width: 1px }\n"
      ".chart .separator { stroke: #000; shape-rendering: crispEdges }\n"
      ".chart .near { stroke: #f00 }\n"
      ".chart .far { stroke: #00f }\n"
      "</style>\n";
  ChartPainter painter = {&svg, BeginAdvance, EndAdvance, Box, Link, Text, UnitName, Separator};
  WalkChart(&painter, &RootAdvance);
  *out += "</svg>\n";
}

void MakeSvgDocument(std::string* out) {
  *out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  AppendChartSvg(out);
}
