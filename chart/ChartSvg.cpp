// The SVG painter of the chart walk.
#include "chart/ChartSvg.h"

#include <stdlib.h>
#include <string.h>

#include <charconv>
#include <iterator>

#include "chart/ChartText.h"
#include "chart/ChartWalk.h"
#include "chart/Metrics.h"
#include "chart/Utf8Text.h"
#include "rules/Advance.h"
#include "rules/Lists.h"
#include "rules/UnitType.h"
#include "svg_style.h"  // the chart's stylesheet, chart/svg.css, embedded at build time

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
  int32_t textRight;    // the current box's last column that a text may use
  bool dotsUsed[2][6];  // [axis][phase]
};

// By ChartFont.
const char* const FontClass[] = {"name", "detail", "unit"};
static_assert(std::size(FontClass) == UNIT_FONT + 1, "a class per font");

// Browsers have no "MS Sans Serif" and draw the texts in a wider font. An
// upper bound of a text's width in the fonts they fall back to: each
// printable ASCII character's advance in thousandths of an em, the widest
// of DejaVu Sans, Nimbus Sans and Liberation Sans (bold covers bold
// italic); any other character counts as the widest of all.
const uint16_t BoldWidth[95] = {
    349,  457, 521, 838, 696, 1002, 873, 307,  458, 458, 523, 838, 380, 416,  380, 366,
    696,  696, 696, 696, 696, 696,  696, 696,  696, 696, 400, 400, 838, 838,  838, 611,
    1000, 774, 763, 734, 831, 684,  684, 821,  837, 373, 556, 775, 638, 996,  837, 851,
    733,  851, 771, 721, 683, 813,  774, 1104, 771, 725, 726, 458, 366, 458,  838, 556,
    500,  675, 716, 593, 716, 679,  436, 716,  712, 343, 343, 666, 343, 1042, 712, 688,
    716,  716, 494, 596, 479, 712,  652, 924,  646, 652, 583, 712, 366, 712,  838};
const uint16_t RegularWidth[95] = {
    318, 401, 460, 838, 637, 951, 780, 275, 391, 391, 500, 838, 318, 361,  318, 337, 637, 637, 637,
    637, 637, 637, 637, 637, 637, 637, 337, 337, 838, 838, 838, 556, 1015, 685, 687, 722, 771, 667,
    611, 778, 752, 295, 500, 667, 558, 863, 749, 788, 667, 788, 722, 667,  611, 732, 685, 989, 686,
    667, 686, 391, 337, 391, 838, 556, 500, 613, 635, 550, 635, 616, 353,  635, 634, 278, 278, 580,
    278, 975, 634, 612, 635, 635, 412, 521, 393, 634, 592, 818, 592, 592,  525, 637, 337, 637, 838};
const int32_t WidestChar = 1104;

int64_t WidthBound(const char* text, bool bold) {
  int64_t width = 0;
  for (const unsigned char* c = (const unsigned char*)text; *c != 0; ++c) {
    bool ascii = *c >= 32 && *c < 127;
    width += !ascii ? WidestChar : bold ? BoldWidth[*c - 32] : RegularWidth[*c - 32];
  }
  return width;
}

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
    // The same prerequisite twice is one.
    if (advance->prereq2 != advance->prereq1 ||
        strcmp(advance->prereqCode1, advance->prereqCode2) != 0) {
      *out += ", ";
      AppendPrerequisite(out, advance->prereqCode2, advance->prereq2);
    }
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
  *out += "\" data-epoch=\"";
  AppendInt(out, advance->epoch);
  *out += "\" data-category=\"";
  AppendInt(out, advance->category);
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
  // A box is reached by Tab and named for a screen reader, which then
  // leaves its texts out.
  *out += " tabindex=\"0\" role=\"button\" aria-label=\"";
  AppendXmlText(out, advance->name);
  *out += ", ";
  *out += EpochName(advance->epoch);
  *out += ", ";
  *out += CategoryName(advance->category);
  *out += ", level ";
  AppendInt(out, advance->level);
  *out += "\">";
  AppendTitle(out, advance);
}

void EndAdvance(void* target, const Advance*) { *((SvgTarget*)target)->out += "</g>\n"; }

// The stroke's middle on the middle of the viewer's outline pixels.
void Box(void* target, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  SvgTarget* svg = (SvgTarget*)target;
  // A pixel of white between a text and the outline's inner edge.
  svg->textRight = right - 3;
  std::string* out = svg->out;
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
// A text that might reach past its box in a browser's font is squeezed to
// the room there is (width: its bound in thousandths of an em).
void AppendTextStart(SvgTarget* svg, const char* className, int32_t x, int32_t y, int64_t width) {
  std::string* out = svg->out;
  *out += "<text class=\"";
  *out += className;
  *out += "\" x=\"";
  AppendInt(out, x);
  *out += "\" y=\"";
  AppendInt(out, (int64_t)y + svg->ascent);
  int64_t room = (int64_t)svg->textRight + 1 - x;
  if (width * svg->ascent > room * 1000 && room > 0) {
    *out += "\" textLength=\"";
    AppendInt(out, room);
    *out += "\" lengthAdjust=\"spacingAndGlyphs";
  }
  *out += "\">";
}

void Text(void* target, ChartFont font, int32_t x, int32_t y, const char* text) {
  SvgTarget* svg = (SvgTarget*)target;
  AppendTextStart(svg, FontClass[font], x, y, WidthBound(text, font != DETAIL_FONT));
  AppendXmlText(svg->out, text);
  *svg->out += "</text>\n";
}

// The cost follows the name in the text's own flow.
void UnitName(void* target, int32_t x, int32_t y, const char* name, const char* cost) {
  SvgTarget* svg = (SvgTarget*)target;
  std::string* out = svg->out;
  AppendTextStart(svg, "unit", x, y, WidthBound(name, true) + WidthBound(cost, false));
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
  size_t count = (size_t)AdvanceCount();
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
  // The font size as an attribute keeps the style the same for every
  // chart, so that the page can allow it by its hash.
  *out += "\" font-size=\"";
  AppendInt(out, svg.ascent);
  *out += "\" xml:space=\"preserve\">\n<style>";
  *out += SvgStyle;
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
