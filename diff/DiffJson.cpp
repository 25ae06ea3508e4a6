// The comparison as one JSON document (nlohmann-json), its items in the
// text report's order under the same kinds.
#include "diff/DiffJson.h"

#include <exception>
#include <nlohmann/json.hpp>
#include <string>

#include "chart/ChartText.h"
#include "chart/Utf8Text.h"

namespace {

typedef nlohmann::ordered_json Json;

// Rules-file text as the other outputs show it (chart/Utf8Text.h).
std::string Text(const std::string& text) {
  std::string utf8;
  AppendUtf8(&utf8, text.c_str());
  return utf8;
}

Json Index(int index) { return index < 0 ? Json(nullptr) : Json(index); }

// A link's end in its own file: its index, the code, the name (null for a
// code that names nothing).
Json End(const RulesCopy& copy, int index, const std::string& code) {
  return Json{{"index", Index(index)},
              {"code", Text(code)},
              {"name", index >= 0 ? Json(Text(copy.advances[index].name)) : Json(nullptr)}};
}

// An advance's prerequisites, those of the slots (bit 0 the first).
Json Ends(const RulesCopy& copy, int index, int slots = 3) {
  const DiffAdvance& a = copy.advances[index];
  Json ends = Json::array();
  for (int k = 0; k < 2; ++k) {
    if ((slots & (1 << k)) != 0) ends.push_back(End(copy, a.prereq[k], a.prereqCode[k]));
  }
  return ends;
}

Json AdvanceItem(const RulesCopy& before, const RulesCopy& after, const RulesDiff& diff,
                 const Change& c) {
  const DiffAdvance& shown =
      c.newIndex >= 0 ? after.advances[c.newIndex] : before.advances[c.oldIndex];
  Json item = {{"old", Index(c.oldIndex)},
               {"new", Index(c.newIndex)},
               {"code", Text(shown.code)},
               {"name", Text(shown.name)},
               {"line", DiffLine(before, after, c)}};
  switch (c.kind) {
    case ADVANCE_ADDED:
    case ADVANCE_REMOVED:
      item["level"] = shown.level;
      break;
    case ADVANCE_RENAMED:
      item["field"] = AdvanceFields[ADVANCE_NAME].key;
      item["from"] = Text(before.advances[c.oldIndex].name);
      item["to"] = Text(shown.name);
      break;
    case ADVANCE_RECODED:
      item["field"] = AdvanceFields[ADVANCE_CODE].key;
      item["from"] = Text(before.advances[c.oldIndex].code);
      item["to"] = Text(shown.code);
      break;
    case ADVANCE_CHANGED:
      item["field"] = AdvanceFields[c.field].key;
      item["from"] = c.from;
      item["to"] = c.to;
      if (c.field == ADVANCE_EPOCH) {
        item["fromName"] = EpochName((unsigned)c.from);
        item["toName"] = EpochName((unsigned)c.to);
      } else if (c.field == ADVANCE_CATEGORY) {
        item["fromName"] = CategoryName((unsigned)c.from);
        item["toName"] = CategoryName((unsigned)c.to);
      }
      break;
    case PREREQUISITES_CHANGED:
      item["field"] = "prerequisites";
      item["from"] = Ends(before, c.oldIndex);
      item["to"] = Ends(after, c.newIndex);
      break;
    case LEVEL_MOVED: {
      item["field"] = "level";
      item["from"] = c.from;
      item["to"] = c.to;
      const Change* relink = c.cause >= 0 ? RelinkOf(diff, c.cause) : nullptr;
      if (relink != nullptr) {
        const DiffAdvance& cause = after.advances[c.cause];
        item["cause"] = Json{{"old", relink->oldIndex},
                             {"new", c.cause},
                             {"code", Text(cause.code)},
                             {"name", Text(cause.name)},
                             {"line", cause.line},
                             {"from", Ends(before, relink->oldIndex, (int)relink->from)},
                             {"to", Ends(after, relink->newIndex, (int)relink->to)}};
      } else {
        item["cause"] = nullptr;
      }
      break;
    }
    case ROUTE_CHANGED:
      item["field"] = "route";
      item["from"] = c.from;
      item["to"] = c.to;
      break;
    case UNIT_ADDED:
    case UNIT_REMOVED:
    case UNIT_MOVED:
    case UNIT_CHANGED:
    case CHANGE_KINDS:
      break;
  }
  return item;
}

Json UnitValue(const DiffUnit& unit, int field) {
  if (field == UNIT_NAME) return Text(unit.name);
  if (field == UNIT_OBSOLETE) return Text(unit.obsoleteCode);
  return unit.figures[field];
}

Json UnitItem(const RulesCopy& before, const RulesCopy& after, const Change& c) {
  const DiffUnit* u = c.oldIndex >= 0 ? &before.units[c.oldIndex] : nullptr;
  const DiffUnit* v = c.newIndex >= 0 ? &after.units[c.newIndex] : nullptr;
  Json item = {{"old", Index(c.oldIndex)},
               {"new", Index(c.newIndex)},
               {"name", Text((v != nullptr ? v : u)->name)},
               {"line", DiffLine(before, after, c)}};
  switch (c.kind) {
    case UNIT_ADDED:
      item["advance"] = End(after, v->prereq, v->prereqCode);
      break;
    case UNIT_REMOVED:
      item["advance"] = End(before, u->prereq, u->prereqCode);
      break;
    case UNIT_MOVED:
      item["field"] = "advance";
      item["from"] = End(before, u->prereq, u->prereqCode);
      item["to"] = End(after, v->prereq, v->prereqCode);
      break;
    case UNIT_CHANGED:
      item["field"] = UnitFields[c.field].key;
      item["from"] = UnitValue(*u, c.field);
      item["to"] = UnitValue(*v, c.field);
      break;
    case ADVANCE_ADDED:
    case ADVANCE_REMOVED:
    case ADVANCE_RENAMED:
    case ADVANCE_RECODED:
    case ADVANCE_CHANGED:
    case PREREQUISITES_CHANGED:
    case LEVEL_MOVED:
    case ROUTE_CHANGED:
    case CHANGE_KINDS:
      break;
  }
  return item;
}

Json FromTo(int64_t from, int64_t to) { return Json{{"from", from}, {"to", to}}; }

Json Report(const RulesCopy& before, const RulesCopy& after, const RulesDiff& diff,
            const DiffContext& context) {
  Json advances = Json::object();
  Json units = Json::object();
  Json advanceCounts = Json::object();
  Json unitCounts = Json::object();
  for (int kind = 0; kind < CHANGE_KINDS; ++kind) {
    const ChangeKindRow& row = ChangeKinds[kind];
    (row.unit ? units : advances)[row.name] = Json::array();
    (row.unit ? unitCounts : advanceCounts)[row.name] = diff.count[kind];
  }
  for (const Change& c : diff.changes) {
    const ChangeKindRow& row = ChangeKinds[c.kind];
    if (row.unit) {
      units[row.name].push_back(UnitItem(before, after, c));
    } else {
      advances[row.name].push_back(AdvanceItem(before, after, diff, c));
    }
  }
  Json summary = {{"advances", advanceCounts},
                  {"units", unitCounts},
                  {"warnings", context.warnings.size()},
                  {"MaxLevel", FromTo(before.maxLevel, after.maxLevel)},
                  {"ChartWidth", FromTo(before.chartWidth, after.chartWidth)},
                  {"ChartHeight", FromTo(before.chartHeight, after.chartHeight)}};
  Json report = Json::object();
  // The names as the text report shows them.
  report["old"] = context.oldName;
  report["new"] = context.newName;
  report["advances"] = std::move(advances);
  report["units"] = std::move(units);
  report["warnings"] = context.warnings;
  report["summary"] = std::move(summary);
  return report;
}

}  // namespace

std::string DiffJson(const RulesCopy& before, const RulesCopy& after, const RulesDiff& diff,
                     const DiffContext& context) {
  // The library reports a failure (memory, say) by an exception.
  try {
    return Report(before, after, diff, context).dump(2, ' ', true, Json::error_handler_t::replace) +
           "\n";
  } catch (const std::exception&) {
    return std::string();
  }
}
