// The HTML page around the chart's SVG: the skeleton's places filled in.
#include "page/ChartPage.h"

#include <string.h>

#include <nlohmann/json.hpp>

#include "chart/ChartSvg.h"
#include "chart/Utf8Text.h"
#include "page_assets.h"  // the page's files, embedded at build time
#include "svg_style.h"

namespace {

void AppendCount(std::string* out, int count, const char* word) {
  *out += std::to_string(count);
  *out += ' ';
  *out += word;
  if (count != 1) *out += 's';
}

void AppendWarnings(std::string* out, const PageContent& content) {
  const std::vector<PageWarning>& warnings = content.warnings;
  size_t shown =
      warnings.size() < PAGE_WARNINGS_SHOWN ? warnings.size() : (size_t)PAGE_WARNINGS_SHOWN;
  *out += "<ul id=\"warnings\"";
  if (!content.moreWarned.empty()) {
    *out += " data-warned=\"";
    for (size_t i = 0; i < content.moreWarned.size(); ++i) {
      if (i > 0) *out += ' ';
      *out += std::to_string(content.moreWarned[i]);
    }
    *out += '"';
  }
  *out += ">\n";
  for (size_t i = 0; i < shown; ++i) {
    const PageWarning& warning = warnings[i];
    *out += "<li";
    if (warning.advance >= 0) {
      *out += " data-index=\"";
      *out += std::to_string(warning.advance);
      *out += '"';
    }
    *out += '>';
    AppendXmlUtf8(out, warning.text);
    *out += "</li>\n";
  }
  *out += "</ul>\n";
  if (warnings.empty()) *out += "<p>No warnings</p>\n";
  size_t count = (size_t)content.warningCount > warnings.size() ? (size_t)content.warningCount
                                                                : warnings.size();
  if (count > shown) {
    *out += "<p id=\"warnings-more\">and ";
    *out += std::to_string(count - shown);
    *out += " more (see <code>lorvane-check --json</code>)</p>\n";
  }
}

// A comparison's panel: the legend of the marks, each a box drawn by the
// chart's own style, and the list of changes; an entry that an advance
// shows carries its index and selects it.
void AppendChanges(std::string* out, const ChartMarks& marks) {
  *out += "<section id=\"changes-panel\">\n<h2>Changes</h2>\n<ul id=\"marks\">\n";
  for (const auto& entry : marks.legend) {
    *out +=
        "<li><svg class=\"chart\" width=\"24\" height=\"14\" aria-hidden=\"true\"><g "
        "class=\"advance ";
    *out += entry.first;
    *out += "\"><rect x=\"1.5\" y=\"1.5\" width=\"21\" height=\"11\"/></g></svg> ";
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
  *out += "</ul>\n</section>\n";
}

// The units table: a heading button per column (numbers marked, for
// sorting), the domains present to filter by, and the rows as data that
// page/units.js makes into the table when the panel is first opened (a
// thousand rows of markup cost every load more than all else but the
// chart). A row is its advance's index (or null) and its cells.
void AppendUnits(std::string* out, const std::vector<UnitRow>& rows) {
  std::vector<std::string> domains;
  for (const UnitRow& row : rows) {
    const std::string& domain = row.cells[COLUMN_DOMAIN];
    bool seen = false;
    for (const std::string& d : domains) seen = seen || d == domain;
    if (!seen) domains.push_back(domain);
  }
  *out += "<p><label>Domain <select id=\"units-domain\"><option value=\"\">all</option>";
  for (const std::string& domain : domains) {
    *out += "<option>";
    AppendXmlUtf8(out, domain);
    *out += "</option>";
  }
  *out += "</select></label></p>\n<table id=\"units\">\n<thead><tr>";
  for (const UnitColumn& column : UnitColumns) {
    *out += column.number ? "<th scope=\"col\" class=\"number\">" : "<th scope=\"col\">";
    *out += "<button type=\"button\">";
    *out += column.heading;
    *out += "</button></th>";
  }
  *out += "</tr></thead>\n<tbody></tbody>\n</table>\n";
  nlohmann::json data = nlohmann::json::array();
  for (const UnitRow& row : rows) {
    nlohmann::json cells = nlohmann::json::array();
    cells.push_back(row.advance >= 0 ? nlohmann::json(row.advance) : nlohmann::json(nullptr));
    for (const std::string& cell : row.cells) cells.push_back(cell);
    data.push_back(std::move(cells));
  }
  // "<" only ever stands inside a string: escaped, no text of the file can
  // end the script element or open a comment in it.
  *out += "<script type=\"application/json\" id=\"units-rows\">";
  for (char c : data.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace)) {
    if (c == '<') {
      *out += "\\u003c";
    } else {
      *out += c;
    }
  }
  *out += "</script>\n";
}

// What a place of the skeleton stands for.
void AppendPlace(std::string* out, const std::string& name, const PageContent& content) {
  if (name == "title") {
    AppendXmlUtf8(out, content.title);
  } else if (name == "counts") {
    AppendCount(out, content.advances, "advance");
    *out += ", ";
    AppendCount(out, content.levels, "level");
    *out += ", ";
    AppendCount(out, content.units, "unit");
  } else if (name == "script-hash") {
    for (const EmbeddedScript& script : PageScripts) {
      if (&script != PageScripts) *out += ' ';
      *out += script.hash;
    }
  } else if (name == "style-hashes") {
    *out += PageStyleHash;
    *out += ' ';
    *out += SvgStyleHash;
  } else if (name == "style") {
    *out += PageStyle;
  } else if (name == "svg") {
    AppendChartSvg(out, content.marks);
  } else if (name == "changes") {
    if (content.marks != nullptr) AppendChanges(out, *content.marks);
  } else if (name == "warnings") {
    AppendWarnings(out, content);
  } else if (name == "units") {
    AppendUnits(out, content.unitRows);
  } else if (name == "scripts") {
    // Each a <script> of its own, admitted by its own hash.
    for (const EmbeddedScript& script : PageScripts) {
      *out += "<script>";
      *out += script.text;
      *out += "</script>\n";
    }
  }
}

}  // namespace

void MakeHtmlPage(const PageContent& content, std::string* out) {
  out->clear();
  const char* at = PageHtml;
  for (;;) {
    const char* open = strstr(at, "{{");
    const char* close = open != nullptr ? strstr(open, "}}") : nullptr;
    if (close == nullptr) break;
    out->append(at, (size_t)(open - at));
    AppendPlace(out, std::string(open + 2, (size_t)(close - open - 2)), content);
    at = close + 2;
  }
  *out += at;
}
