// The JSON report: the text report's content as one document, built with nlohmann-json.
// Its keys are the records' own field names and the statistics' own names.
#include <stdio.h>

#include <exception>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>

#include "chart/ChartText.h"
#include "chart/Metrics.h"
#include "chart/UnitText.h"
#include "chart/Utf8Text.h"
#include "check/Check.h"
#include "graph/Levels.h"
#include "rules/Advance.h"
#include "rules/Fatal.h"
#include "rules/UnitType.h"

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
  return Json{{"name", JsonText(advance->name)},
              {"code", JsonText(advance->code)},
              {"aiValue", advance->aiValue},
              {"modifier", advance->modifier},
              {"prereqCode1", JsonText(advance->prereqCode1)},
              {"prereqCode2", JsonText(advance->prereqCode2)},
              {"epoch", advance->epoch},
              {"category", advance->category},
              {"level", advance->level},
              {"childCount", advance->childCount},
              {"prereq1", Index(AdvanceIndex(advance->prereq1))},
              {"prereq2", Index(AdvanceIndex(advance->prereq2))},
              {"children", children},
              {"units", units}};
}

Json UnitRecord(const UnitType* unit) {
  FormatUnitCost(unit);
  std::string cost = JsonText(TextBuffer);
  FormatFiguresLine(unit);
  std::string figures = JsonText(TextBuffer);
  return Json{{"name", JsonText(unit->name)},
              {"obsoleteCode", JsonText(unit->obsoleteCode)},
              {"domain", unit->domain},
              {"move", unit->move},
              {"range", unit->range},
              {"attack", unit->attack},
              {"defense", unit->defense},
              {"hitPoints", unit->hitPoints},
              {"firepower", unit->firepower},
              {"cost", unit->cost},
              {"hold", unit->hold},
              {"role", unit->role},
              {"prereqCode", JsonText(unit->prereqCode)},
              {"flags", unit->flags},
              {"prereq", Index(AdvanceIndex(unit->prereq))},
              {"costText", cost},
              {"roleText", JsonText(UnitRoleText(unit))},
              {"flagsText", JsonText(UnitFlagsText(unit->flags))},
              {"figuresLine", figures}};
}

Json MetricsRecord() {
  return Json{{"CharWidth", CharWidth},   {"BoxWidth", BoxWidth},
              {"ColumnGap", ColumnGap},   {"LineHeight", LineHeight},
              {"RowGap", RowGap},         {"LevelHeight", LevelList(LevelHeight)},
              {"ChartWidth", ChartWidth}, {"ChartHeight", ChartHeight},
              {"ChartLines", ChartLines}};
}

// The warnings twice: as texts, and as records with the line and the advance.
void AddWarning(void* context, const Diagnostic* diagnostic) {
  Json* lists = static_cast<Json*>(context);
  std::string message = JsonText(diagnostic->message.c_str());
  Json record = {{"line", diagnostic->line},
                 {"severity", diagnostic->severity == SEVERITY_ERROR ? "error" : "warning"},
                 {"message", message}};
  if (diagnostic->advance >= 0) record["advance"] = diagnostic->advance;
  (*lists)[0].push_back(std::move(message));
  (*lists)[1].push_back(std::move(record));
}

Json Report(bool withMetrics) {
  Json advances = Json::array();
  for (const Advance* a = &RootAdvance; a != nullptr && a->name[0] != 0; a = a->next) {
    advances.push_back(AdvanceRecord(a));
  }
  Json units = Json::array();
  int count = UnitCount();
  const UnitType* unit = &FirstUnitType;
  for (int i = 0; i < count && unit != nullptr; ++i, unit = unit->next) {
    units.push_back(UnitRecord(unit));
  }
  Json warnings = Json::array({Json::array(), Json::array()});
  ForEachWarning(AddWarning, &warnings);

  // Room for every member first: the library's ordered objects copy each
  // member, deeply, every time they grow.
  Json report = Json::object();
  report.get_ref<Json::object_t&>().reserve(9);
  report["advances"] = std::move(advances);
  report["units"] = std::move(units);
  report["MaxLevel"] = MaxLevel;
  report["LevelCount"] = LevelList(LevelCount);
  report["MaxLevelCount"] = MaxLevelCount;
  report["LevelMaxUnits"] = LevelList(LevelMaxUnits);
  if (withMetrics) report["metrics"] = MetricsRecord();
  report["warnings"] = std::move(warnings[0]);
  report["diagnostics"] = std::move(warnings[1]);
  return report;
}

}  // namespace

bool PrintJsonReport(bool withMetrics) {
  // The library reports a failure (memory, say) by an exception; it ends
  // here, as a report that could not be written.
  try {
    std::string text = Report(withMetrics).dump(2, ' ', true) + "\n";
    return fwrite(text.data(), 1, text.size(), stdout) == text.size();
  } catch (const std::exception&) {
    return false;
  }
}
