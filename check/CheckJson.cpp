// The JSON report: the text report's content as one document, built with nlohmann-json.
// Its keys are the records' own field names and the statistics' own names.
#include "check/CheckJson.h"

#include <stdio.h>

#include <exception>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>

#include "chart/ChartText.h"
#include "chart/Metrics.h"
#include "chart/UnitText.h"
#include "chart/Utf8Text.h"
#include "graph/Levels.h"
#include "rules/Advance.h"
#include "rules/FieldNames.h"
#include "rules/Lists.h"
#include "rules/TextBuffer.h"
#include "rules/UnitType.h"
#include "warnings/Diagnostics.h"
#include "warnings/Warnings.h"

namespace {

typedef nlohmann::ordered_json Json;

// Rules-file text as the viewer draws it, through the Windows ANSI code
// page (chart/Utf8Text.h), so that a name reads the same here as in the
// chart and its exports. The library takes UTF-8 only.
std::string JsonText(const char* text) {
  std::string utf8;
  AppendUtf8(&utf8, text);
  return utf8;
}

Json Index(int index) { return index < 0 ? Json(nullptr) : Json(index); }

// An object built member by member in the order given, with room for all
// of them first, without the library's search for an existing key and the
// copies of an initializer list: a record of each of 100,000 advances.
struct Record {
  Json json = Json::object();
  Record(size_t members) { json.get_ref<Json::object_t&>().reserve(members); }
  template <typename T>
  Record& Add(const char* name, T&& value) {
    json.get_ref<Json::object_t&>().emplace_back(name, Json(std::forward<T>(value)));
    return *this;
  }
};

Json LevelList(const int32_t* values) {
  Json list = Json::array();
  for (int level = 0; level <= MaxLevel && level < MAX_LEVELS; ++level) {
    list.push_back(values[level]);
  }
  return list;
}

Json AdvanceRecord(const Advance* advance) {
  Json children = Json::array();
  for (int i = 0; i < advance->childCount && i < MAX_DEPENDANTS; ++i) {
    children.push_back(Index(AdvanceIndex(advance->children[i])));
  }
  Json units = Json::array();
  int count = AdvanceUnitCount(advance);
  for (int k = 0; k < count; ++k) units.push_back(Index(UnitIndex(advance->units[k])));
  const FieldName* field = AdvanceFields;
  Record record(14);
  record.Add(field[ADVANCE_NAME].key, JsonText(advance->name))
      .Add(field[ADVANCE_CODE].key, JsonText(advance->code))
      .Add(field[ADVANCE_AI_VALUE].key, advance->aiValue)
      .Add(field[ADVANCE_MODIFIER].key, advance->modifier)
      .Add(field[ADVANCE_PREREQ1].key, JsonText(advance->prereqCode1))
      .Add(field[ADVANCE_PREREQ2].key, JsonText(advance->prereqCode2))
      .Add(field[ADVANCE_EPOCH].key, advance->epoch)
      .Add(field[ADVANCE_CATEGORY].key, advance->category)
      .Add("level", advance->level)
      .Add("childCount", advance->childCount)
      .Add("prereq1", Index(AdvanceIndex(advance->prereq1)))
      .Add("prereq2", Index(AdvanceIndex(advance->prereq2)))
      .Add("children", std::move(children))
      .Add("units", std::move(units));
  return std::move(record.json);
}

Json UnitRecord(const UnitType* unit) {
  FormatUnitCost(unit);
  std::string cost = JsonText(TextBuffer);
  FormatFiguresLine(unit);
  std::string figures = JsonText(TextBuffer);
  // The unit line's fields in its order, then what the load and the chart make of them.
  Record record(19);
  for (const FieldName& field : UnitFields) {
    const char* text = UnitText(unit, (UnitField)field.field);
    if (text != nullptr) {
      record.Add(field.key, JsonText(text));
    } else {
      record.Add(field.key, UnitNumber(unit, (UnitField)field.field));
    }
  }
  record.Add("prereq", Index(AdvanceIndex(unit->prereq)))
      .Add("costText", std::move(cost))
      .Add("roleText", JsonText(UnitRoleText(unit)))
      .Add("flagsText", JsonText(UnitFlagsText(unit->flags)))
      .Add("figuresLine", std::move(figures));
  return std::move(record.json);
}

Json MetricsRecord() {
  Json record = Json::object();
  for (int m = 0; m < ReportedMetricCount; ++m) {
    const ReportedMetric& metric = ReportedMetrics[m];
    record[metric.name] = metric.perLevel ? LevelList(metric.value) : Json(*metric.value);
  }
  return record;
}

// The warnings twice: as texts, and as records with the line and the advance.
void AddWarning(void* context, const Diagnostic* diagnostic) {
  Json* lists = static_cast<Json*>(context);
  Json record = DiagnosticJson(*diagnostic);
  (*lists)[0].push_back(record["message"]);
  (*lists)[1].push_back(std::move(record));
}

// The report goes out member by member and record by record, each as the
// library writes it at its depth in the whole document: a document of a
// whole large file took most of the time and the memory, to build and to
// free.
struct ReportWriter {
  bool written = true;

  void Raw(const std::string& text) {
    if (written) written = fwrite(text.data(), 1, text.size(), stdout) == text.size();
  }

  // The value, pretty-printed, its lines after the first indented by depth.
  void Value(const Json& value, int depth) {
    std::string text = value.dump(2, ' ', true);
    std::string indented;
    indented.reserve(text.size() + text.size() / 8);
    size_t start = 0;
    for (size_t feed; (feed = text.find('\n', start)) != std::string::npos; start = feed + 1) {
      indented.append(text, start, feed + 1 - start);
      indented.append((size_t)(2 * depth), ' ');
    }
    indented.append(text, start, std::string::npos);
    Raw(indented);
  }

  void Member(const char* name, bool first) {
    Raw(std::string(first ? "{\n  \"" : ",\n  \"") + name + "\": ");
  }

  // A list of records, one made at a time.
  template <typename Record>
  void List(int count, Record record) {
    if (count == 0) return Raw("[]");
    Raw("[\n");
    for (int i = 0; i < count && written; ++i) {
      Raw(i == 0 ? "    " : ",\n    ");
      Value(record(i), 2);
    }
    Raw("\n  ]");
  }
};

bool WriteReport(bool withMetrics) {
  ReportWriter out;
  const Advance* advance = &RootAdvance;
  out.Member("advances", true);
  out.List(AdvanceCount(), [&](int) {
    Json record = AdvanceRecord(advance);
    advance = advance->next;
    return record;
  });
  const UnitType* unit = &FirstUnitType;
  out.Member("units", false);
  out.List(UnitCount(), [&](int) {
    Json record = UnitRecord(unit);
    unit = unit->next;
    return record;
  });
  out.Member("MaxLevel", false);
  out.Value(Json(MaxLevel), 1);
  out.Member("LevelCount", false);
  out.Value(LevelList(LevelCount), 1);
  out.Member("MaxLevelCount", false);
  out.Value(Json(MaxLevelCount), 1);
  out.Member("LevelMaxUnits", false);
  out.Value(LevelList(LevelMaxUnits), 1);
  if (withMetrics) {
    out.Member("metrics", false);
    out.Value(MetricsRecord(), 1);
  }
  Json warnings = Json::array({Json::array(), Json::array()});
  ForEachWarning(AddWarning, &warnings);
  out.Member("warnings", false);
  out.Value(warnings[0], 1);
  out.Member("diagnostics", false);
  out.Value(warnings[1], 1);
  out.Raw("\n}\n");
  return out.written;
}

}  // namespace

bool PrintJsonReport(bool withMetrics) {
  // The library reports a failure (memory, say) by an exception; it ends
  // here, as a report that could not be written.
  try {
    return WriteReport(withMetrics);
  } catch (const std::exception&) {
    return false;
  }
}
