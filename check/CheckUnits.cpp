// The units table (--units): every unit in file order as aligned text,
// as JSON or as CSV, the columns of chart/UnitTable.h.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include <exception>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "chart/UnitTable.h"
#include "check/CheckUnits.h"
#include "rules/Lists.h"
#include "rules/UnitType.h"

namespace {

typedef nlohmann::ordered_json Json;

// Characters, not bytes: every cell is UTF-8.
size_t Width(const std::string& text) {
  size_t width = 0;
  for (char c : text) width += ((unsigned char)c & 0xC0) != 0x80;
  return width;
}

void Pad(std::string* line, const std::string& cell, size_t width, bool right) {
  std::string blanks(width - Width(cell), ' ');
  *line += right ? blanks + cell : cell + blanks;
}

std::string TextTable(const std::vector<UnitRow>& rows) {
  size_t widths[COLUMN_COLUMNS];
  for (int c = 0; c < COLUMN_COLUMNS; ++c) {
    widths[c] = Width(UnitColumns[c].heading);
    for (const UnitRow& row : rows) {
      // An empty advance shows as "-": its code names no advance.
      size_t width = row.cells[c].empty() ? 1 : Width(row.cells[c]);
      if (width > widths[c]) widths[c] = width;
    }
  }
  std::string out;
  auto line = [&](const std::string* cells) {
    std::string text;
    for (int c = 0; c < COLUMN_COLUMNS; ++c) {
      if (c > 0) text += "  ";
      Pad(&text, cells[c].empty() ? "-" : cells[c], widths[c], UnitColumns[c].number);
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    out += text + '\n';
  };
  std::string headings[COLUMN_COLUMNS];
  for (int c = 0; c < COLUMN_COLUMNS; ++c) headings[c] = UnitColumns[c].heading;
  line(headings);
  for (const UnitRow& row : rows) line(row.cells);
  return out;
}

// A spreadsheet takes a cell that begins with one of these for a formula
// (a name such as "=cmd|' /C calc'!A0" or "@SUM(A1)" would run): a text
// cell that does is written after a "'", which spreadsheets read as "this
// is text" and do not show. A program reading the CSV as data sees the
// "'" as part of the text. Number columns are never marked: "-3" stays a
// number.
bool LooksLikeFormula(const std::string& cell) {
  return !cell.empty() && strchr("=+-@\t\r", cell[0]) != nullptr;
}

// RFC 4180: a field with a comma, a quote or a line break in double
// quotes, its quotes doubled; lines end in CR LF.
void AppendCsvField(std::string* out, const std::string& text, bool number) {
  std::string field = !number && LooksLikeFormula(text) ? "'" + text : text;
  if (field.find_first_of(",\"\r\n") == std::string::npos) {
    *out += field;
    return;
  }
  *out += '"';
  for (char c : field) {
    if (c == '"') *out += '"';
    *out += c;
  }
  *out += '"';
}

// After a UTF-8 byte order mark, which tells a spreadsheet the encoding
// (without it, some guess the system's code page and garble every name
// outside ASCII).
std::string CsvTable(const std::vector<UnitRow>& rows) {
  std::string out = "\xEF\xBB\xBF";
  for (int c = 0; c < COLUMN_COLUMNS; ++c) {
    if (c > 0) out += ',';
    AppendCsvField(&out, UnitColumns[c].heading, false);
  }
  out += "\r\n";
  for (const UnitRow& row : rows) {
    for (int c = 0; c < COLUMN_COLUMNS; ++c) {
      if (c > 0) out += ',';
      AppendCsvField(&out, row.cells[c], UnitColumns[c].number);
    }
    out += "\r\n";
  }
  return out;
}

// {"units": [...]}: each unit's columns by their keys, numbers as numbers,
// the advance null when the code names none, and that advance's index as
// the JSON report gives it ("prereq").
std::string JsonTable(const std::vector<UnitRow>& rows) {
  Json units = Json::array();
  for (const UnitRow& row : rows) {
    Json record = Json::object();
    for (int c = 0; c < COLUMN_COLUMNS; ++c) {
      const std::string& cell = row.cells[c];
      if (UnitColumns[c].number) {
        record[UnitColumns[c].key] = strtoll(cell.c_str(), nullptr, 10);
      } else if (c == COLUMN_ADVANCE && row.advance < 0) {
        record[UnitColumns[c].key] = nullptr;
      } else {
        record[UnitColumns[c].key] = cell;
      }
    }
    record["prereq"] = row.advance < 0 ? Json(nullptr) : Json(row.advance);
    units.push_back(std::move(record));
  }
  Json document = Json::object();
  document["units"] = std::move(units);
  return document.dump(2, ' ', true) + '\n';
}

}  // namespace

std::vector<UnitRow> UnitTableRows() {
  std::vector<UnitRow> rows((size_t)UnitCount());
  const UnitType* unit = &FirstUnitType;
  for (UnitRow& row : rows) {
    MakeUnitRow(unit, &row);
    unit = unit->next;
  }
  return rows;
}

bool PrintUnitTable(UnitTableFormat format) {
  // The library reports a failure (memory, say) by an exception: a table
  // that could not be written.
  try {
    std::vector<UnitRow> rows = UnitTableRows();
    std::string text = format == UNITS_JSON  ? JsonTable(rows)
                       : format == UNITS_CSV ? CsvTable(rows)
                                             : TextTable(rows);
#ifdef _WIN32
    // The CSV's own CR LF, not one the console's text mode makes of LF.
    if (format == UNITS_CSV) _setmode(_fileno(stdout), _O_BINARY);
#endif
    return fwrite(text.data(), 1, text.size(), stdout) == text.size();
  } catch (const std::exception&) {
    return false;
  }
}
