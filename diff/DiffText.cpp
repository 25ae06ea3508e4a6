// The comparison as text: one change a line under a heading per kind, each
// placed at its line as compilers place messages, then NEW's warnings and
// a summary line; stable, so that it can go into a mod's change log.
// ChangeLines keeps the rules file's bytes, for the page to convert.
#include "diff/DiffText.h"

#include <stdio.h>

#include <string>
#include <vector>

#include "chart/ChartText.h"
#include "chart/Utf8Text.h"

namespace {

std::string Number(int64_t value) { return std::to_string((long long)value); }

std::string Label(const DiffAdvance& advance) { return advance.name + " [" + advance.code + "]"; }

// A link's end as the text report shows a prerequisite.
std::string End(const RulesCopy& copy, int index, const std::string& code) {
  if (index >= 0) return Label(copy.advances[index]);
  return "\"" + code + "\" (names no advance)";
}

// An advance's prerequisites, those of the slots (bit 0 the first).
std::string Prerequisites(const RulesCopy& copy, int index, int slots = 3) {
  const DiffAdvance& a = copy.advances[index];
  std::string text;
  for (int k = 0; k < 2; ++k) {
    if ((slots & (1 << k)) == 0) continue;
    if (!text.empty()) text += ", ";
    text += End(copy, a.prereq[k], a.prereqCode[k]);
  }
  return text;
}

std::string FieldValue(int field, int64_t value) {
  std::string text = Number(value);
  if (field == ADVANCE_EPOCH) text += std::string(" (") + EpochName((unsigned)value) + ")";
  if (field == ADVANCE_CATEGORY) text += std::string(" (") + CategoryName((unsigned)value) + ")";
  return text;
}

std::string UnitValue(const DiffUnit& unit, int field) {
  if (field == UNIT_NAME) return "\"" + unit.name + "\"";
  if (field == UNIT_OBSOLETE) return unit.obsoleteCode;
  return Number(unit.figures[field]);
}

std::string LineOf(const RulesCopy& before, const RulesCopy& after, const RulesDiff& diff,
                   const Change& c) {
  bool unit = ChangeKinds[c.kind].unit;
  const DiffAdvance* a = c.oldIndex >= 0 && !unit ? &before.advances[c.oldIndex] : nullptr;
  const DiffAdvance* b = c.newIndex >= 0 && !unit ? &after.advances[c.newIndex] : nullptr;
  const DiffUnit* u = c.oldIndex >= 0 && unit ? &before.units[c.oldIndex] : nullptr;
  const DiffUnit* v = c.newIndex >= 0 && unit ? &after.units[c.newIndex] : nullptr;
  switch (c.kind) {
    case ADVANCE_ADDED:
      return Label(*b) + ", level " + Number(b->level);
    case ADVANCE_REMOVED:
      return Label(*a) + ", level " + Number(a->level);
    case ADVANCE_RENAMED:
      return a->name + " -> " + b->name + " [" + b->code + "]";
    case ADVANCE_RECODED:
      return b->name + " [" + a->code + "] -> [" + b->code + "]";
    case ADVANCE_CHANGED:
      return Label(*b) + ": " + AdvanceFields[c.field].key + " " + FieldValue(c.field, c.from) +
             " -> " + FieldValue(c.field, c.to);
    case PREREQUISITES_CHANGED:
      return Label(*b) + ": " + Prerequisites(before, c.oldIndex) + " -> " +
             Prerequisites(after, c.newIndex);
    case LEVEL_MOVED: {
      std::string text = Label(*b) + ": level " + Number(c.from) + " -> " + Number(c.to);
      const Change* relink = c.cause >= 0 ? RelinkOf(diff, c.cause) : nullptr;
      if (relink != nullptr) {
        text += ", through " + Label(after.advances[c.cause]) + ": " +
                Prerequisites(before, relink->oldIndex, (int)relink->from) + " -> " +
                Prerequisites(after, relink->newIndex, (int)relink->to);
      }
      return text;
    }
    case ROUTE_CHANGED:
      return Label(*b) + ": " + Number(c.from) + " -> " + Number(c.to) + " advances";
    case UNIT_ADDED:
      return v->name + ", under " + End(after, v->prereq, v->prereqCode);
    case UNIT_REMOVED:
      return u->name + ", under " + End(before, u->prereq, u->prereqCode);
    case UNIT_MOVED:
      return v->name + ": " + End(before, u->prereq, u->prereqCode) + " -> " +
             End(after, v->prereq, v->prereqCode);
    case UNIT_CHANGED:
      return v->name + ": " + UnitFields[c.field].key + " " + UnitValue(*u, c.field) + " -> " +
             UnitValue(*v, c.field);
    case CHANGE_KINDS:
      break;
  }
  return std::string();
}

// The advance whose box shows the change.
int BoxOf(const RulesCopy& after, const Change& c) {
  if (c.newIndex < 0) return -1;
  return ChangeKinds[c.kind].unit ? after.units[c.newIndex].prereq : c.newIndex;
}

}  // namespace

std::vector<ChartNote> ChangeLines(const RulesCopy& before, const RulesCopy& after,
                                   const RulesDiff& diff) {
  std::vector<ChartNote> lines;
  lines.reserve(diff.changes.size());
  for (const Change& c : diff.changes) {
    lines.push_back(ChartNote{LineOf(before, after, diff, c), BoxOf(after, c)});
  }
  return lines;
}

int32_t DiffLine(const RulesCopy& before, const RulesCopy& after, const Change& c) {
  bool unit = ChangeKinds[c.kind].unit;
  const RulesCopy& copy = c.newIndex >= 0 ? after : before;
  int index = c.newIndex >= 0 ? c.newIndex : c.oldIndex;
  if (index < 0) return 0;
  return unit ? copy.units[(size_t)index].line : copy.advances[(size_t)index].line;
}

std::string DiffText(const RulesCopy& before, const RulesCopy& after, const RulesDiff& diff,
                     const DiffContext& context) {
  std::string text;
  if (diff.changes.empty()) text = "No differences\n";
  std::vector<ChartNote> lines = ChangeLines(before, after, diff);
  int kind = -1;
  for (size_t k = 0; k < lines.size(); ++k) {
    const Change& c = diff.changes[k];
    if (c.kind != kind) {
      kind = c.kind;
      text += std::string(ChangeKinds[kind].heading) + " (" + Number(diff.count[kind]) + ")\n";
    }
    // FILE:LINE: as the warnings have it, for editors; what NEW no longer
    // has, at OLD's line.
    text += c.newIndex >= 0 ? context.newName : context.oldName;
    int32_t line = DiffLine(before, after, c);
    if (line > 0) text += ":" + Number(line);
    text += std::string(": ") + ChangeKinds[kind].place + " ";
    // Names as every output shows them: UTF-8, no control character.
    AppendUtf8(&text, lines[k].text.c_str());
    text += "\n";
  }
  if (!context.warningLines.empty()) {
    text += "Warnings (" + Number((int64_t)context.warningLines.size()) + ")\n";
    for (const std::string& warning : context.warningLines) text += warning;
  }
  if (diff.changes.empty()) return text;
  // Each kind's count, the advances' then the units', then the warnings'.
  text += "Summary:";
  for (int kind = 0; kind < CHANGE_KINDS; ++kind) {
    const ChangeKindRow& row = ChangeKinds[kind];
    if (kind == 0 || row.unit != ChangeKinds[kind - 1].unit) {
      text += kind == 0 ? " " : "; ";
      text += row.unit ? "units " : "advances ";
    } else {
      text += ", ";
    }
    text += std::string(row.summary) + " " + Number(diff.count[kind]);
  }
  text += "; warnings " + Number((int64_t)context.warningLines.size());
  text += "; MaxLevel " + Number(before.maxLevel) + " -> " + Number(after.maxLevel) + "; chart " +
          Number(before.chartWidth) + "x" + Number(before.chartHeight) + " -> " +
          Number(after.chartWidth) + "x" + Number(after.chartHeight) + "\n";
  return text;
}
