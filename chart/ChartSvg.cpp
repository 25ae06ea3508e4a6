// The SVG painter of the chart walk.
#include "chart/ChartSvg.h"

#include <stdlib.h>

#include <charconv>

#include "chart/ChartWalk.h"
#include "chart/Metrics.h"
#include "chart/Utf8Text.h"
#include "rules/Advance.h"
#include "rules/UnitType.h"

namespace {

// The far links' dots: the viewer's dotted pen is on for 3 pixels and off
// for 3, counted along the line's longer axis from its start. A line is
// painted with stripes across that axis, 3 pixels on and 3 off, whose
// phase puts the start at the beginning of an "on" stretch: the same
// pixels, and far quicker for a browser to draw than a dashed stroke.
enum { ALONG_X, ALONG_Y };

struct SvgTarget {
  std::string* out;
  const ChartMarks* marks;
  int ascent;           // from the top of a text cell to the baseline
  bool dotsUsed[2][6];  // [axis][phase]
};

const char* const FontClass[] = {"name", "detail", "unit"};

// Numbers without printf, which took half the time of an export.
void AppendInt(std::string* out, int64_t value) {
  char digits[24];
  std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, value);
  out->append(digits, (size_t)(end.ptr - digits));
}

// value + 0.5: the middle of a pixel.
void AppendHalf(std::string* out, int32_t value) {
  if (value < 0) {
    *out += '-';
    AppendInt(out, -(int64_t)value - 1);
  } else {
    AppendInt(out, value);
  }
  *out += ".5";
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
  *out += "], level ";
  AppendInt(out, advance->level);
  *out += "\nprerequisites: ";
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
  *out += "<g class=\"advance";
  const ChartMarks* marks = svg->marks;
  if (marks != nullptr && advance->index >= 0 && (size_t)advance->index < marks->classes.size() &&
      !marks->classes[advance->index].empty()) {
    *out += ' ';
    *out += marks->classes[advance->index];
  }
  *out += "\" id=\"a";
  AppendInt(out, advance->index);
  *out += "\" data-code=\"";
  AppendXmlText(out, advance->code);
  *out += "\" data-level=\"";
  AppendInt(out, advance->level);
  *out += '"';
  // The links as the file gives them, also where no line is drawn.
  if (advance->prereq1 != nullptr) {
    *out += " data-prereq1=\"";
    AppendInt(out, advance->prereq1->index);
    *out += '"';
  }
  if (advance->prereq2 != nullptr) {
    *out += " data-prereq2=\"";
    AppendInt(out, advance->prereq2->index);
    *out += '"';
  }
  *out += ">";
  AppendTitle(out, advance);
}

void EndAdvance(void* target, const Advance*) { *((SvgTarget*)target)->out += "</g>\n"; }

// The stroke's middle on the middle of the viewer's outline pixels.
void Box(void* target, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  std::string* out = ((SvgTarget*)target)->out;
  *out += "<rect x=\"";
  AppendHalf(out, left);
  *out += "\" y=\"";
  AppendHalf(out, top);
  *out += "\" width=\"";
  AppendInt(out, (int64_t)right - left - 1);
  *out += "\" height=\"";
  AppendInt(out, (int64_t)bottom - top - 1);
  *out += "\"/>\n";
}

void Link(void* target, const Advance* advance, const Advance* prereq, bool nearLink, int32_t x1,
          int32_t y1, int32_t x2, int32_t y2) {
  SvgTarget* svg = (SvgTarget*)target;
  std::string* out = svg->out;
  *out += nearLink ? "<line class=\"near\" data-from=\"" : "<line class=\"far\" data-from=\"";
  AppendInt(out, advance->index);
  *out += "\" data-to=\"";
  AppendInt(out, prereq->index);
  *out += "\" x1=\"";
  AppendHalf(out, x1);
  *out += "\" y1=\"";
  AppendHalf(out, y1);
  *out += "\" x2=\"";
  AppendHalf(out, x2);
  *out += "\" y2=\"";
  AppendHalf(out, y2);
  *out += '"';
  if (!nearLink) {
    // The stripes' phase: the first "on" pixel is the start, or 2 before it
    // where the line runs towards smaller coordinates.
    int64_t dx = (int64_t)x2 - x1;
    int64_t dy = (int64_t)y2 - y1;
    int axis = (dx < 0 ? -dx : dx) > (dy < 0 ? -dy : dy) ? ALONG_X : ALONG_Y;
    int64_t first = axis == ALONG_X ? (dx < 0 ? x1 - 2 : x1) : (dy < 0 ? y1 - 2 : y1);
    int phase = (int)((first % 6 + 6) % 6);
    svg->dotsUsed[axis][phase] = true;
    *out += axis == ALONG_X ? " stroke=\"url(#dots-x" : " stroke=\"url(#dots-y";
    AppendInt(out, phase);
    *out += ") #00f\"";
  }
  *out += "/>\n";
}

// A text's start tag; y is the top of its cell, the SVG's y its baseline.
void AppendTextStart(SvgTarget* svg, const char* className, int32_t x, int32_t y) {
  std::string* out = svg->out;
  *out += "<text class=\"";
  *out += className;
  *out += "\" x=\"";
  AppendInt(out, x);
  *out += "\" y=\"";
  AppendInt(out, (int64_t)y + svg->ascent);
  *out += "\">";
}

void Text(void* target, ChartFont font, int32_t x, int32_t y, const char* text) {
  SvgTarget* svg = (SvgTarget*)target;
  AppendTextStart(svg, FontClass[font], x, y);
  AppendXmlText(svg->out, text);
  *svg->out += "</text>\n";
}

// The cost follows the name in the text's own flow.
void UnitName(void* target, int32_t x, int32_t y, const char* name, const char* cost) {
  SvgTarget* svg = (SvgTarget*)target;
  std::string* out = svg->out;
  AppendTextStart(svg, "unit", x, y);
  AppendXmlText(out, name);
  *out += "<tspan class=\"detail\">";
  AppendXmlText(out, cost);
  *out += "</tspan></text>\n";
}

void Separator(void* target, int32_t left, int32_t y, int32_t right) {
  std::string* out = ((SvgTarget*)target)->out;
  *out += "<line class=\"separator\" x1=\"";
  AppendInt(out, left);
  *out += "\" y1=\"";
  AppendHalf(out, y);
  *out += "\" x2=\"";
  AppendInt(out, right);
  *out += "\" y2=\"";
  AppendHalf(out, y);
  *out += "\"/>\n";
}

// The stripes that the far links use: 6 pixels a period, 3 of them on.
void AppendDots(const SvgTarget* svg) {
  std::string* out = svg->out;
  *out += "<defs>\n";
  for (int axis = ALONG_X; axis <= ALONG_Y; ++axis) {
    for (int phase = 0; phase < 6; ++phase) {
      if (!svg->dotsUsed[axis][phase]) continue;
      *out += axis == ALONG_X ? "<pattern id=\"dots-x" : "<pattern id=\"dots-y";
      AppendInt(out, phase);
      *out += axis == ALONG_X ? "\" x=\"" : "\" y=\"";
      AppendInt(out, phase);
      *out += axis == ALONG_X ? "\" width=\"6\" height=\"6\" patternUnits=\"userSpaceOnUse\">"
                                "<rect width=\"3\" height=\"6\"/></pattern>\n"
                              : "\" width=\"6\" height=\"6\" patternUnits=\"userSpaceOnUse\">"
                                "<rect width=\"6\" height=\"3\"/></pattern>\n";
    }
  }
  *out += "</defs>\n";
}

}  // namespace

void AppendChartSvg(std::string* out, const ChartMarks* marks) {
  SvgTarget svg = {};
  svg.out = out;
  svg.marks = marks;
  size_t count = 0;
  for (const Advance* a = &RootAdvance; a != nullptr && a->name[0] != 0; a = a->next) ++count;
  // Room for a box of a few units with its links, so the text is seldom
  // copied as it grows.
  out->reserve(out->size() + 2048 + count * 1024);
  // The viewer's fonts have cells of LineHeight pixels (13 on the standard
  // display), 11 of them above the baseline and an em of 11.
  svg.ascent = (int)(((int64_t)LineHeight * 11 + 6) / 13);

  *out += "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"chart\" width=\"";
  AppendInt(out, ChartWidth);
  *out += "\" height=\"";
  AppendInt(out, ChartHeight);
  *out += "\" viewBox=\"0 0 ";
  AppendInt(out, ChartWidth);
  *out += ' ';
  AppendInt(out, ChartHeight);
  *out +=
      "\" xml:space=\"preserve\">\n"
      "<style>\n"
      ".chart { background: #fff }\n"
      ".chart text { font-family: \"MS Sans Serif\", sans-serif; font-size: ";
  AppendInt(out, svg.ascent);
  *out +=
      "px; white-space: pre; fill: #000 }\n"
      ".chart .name, .chart .unit { font-weight: bold }\n"
      ".chart .unit { font-style: italic }\n"
      ".chart .detail { font-weight: normal; font-style: normal }\n"
      ".chart rect { fill: #fff; stroke: #000; shape-rendering: crispEdges }\n"
      ".chart line { stroke-width: 1px }\n"
      ".chart .separator { stroke: #000; shape-rendering: crispEdges }\n"
      ".chart .near { stroke: #f00 }\n"
      ".chart pattern rect { fill: #00f; stroke: none }\n";
  if (marks != nullptr) *out += marks->style;
  *out += "</style>\n";
  ChartPainter painter = {&svg, BeginAdvance, EndAdvance, Box, Link, Text, UnitName, Separator};
  WalkChart(&painter, &RootAdvance);
  AppendDots(&svg);
  *out += "</svg>\n";
}

void MakeSvgDocument(std::string* out) { MakeSvgDocument(out, nullptr); }

void MakeSvgDocument(std::string* out, const ChartMarks* marks) {
  *out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  AppendChartSvg(out, marks);
}
