// What differs between two rules files as the research tree sees them: a
// plain copy of each loaded file, the changes between two copies, and the
// text, JSON and page marks that show them.
#pragma once
#include <stdint.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "chart/ChartSvg.h"

struct OutputFile;

// Indexes are those of --json: 0 the root, then the advances (or the unit
// types) in file order; -1 for none.
struct DiffAdvance {
  std::string name;
  std::string code;
  std::string prereqCode[2];
  int prereq[2];
  int32_t aiValue;
  int32_t modifier;
  int epoch;
  int category;
  int level;
  int32_t line;  // the rules file's line; 0 for the root
};

// A unit type's values that can change, in the order --json lists them.
enum UnitField {
  UNIT_NAME,
  UNIT_OBSOLETE,
  UNIT_DOMAIN,
  UNIT_MOVE,
  UNIT_RANGE,
  UNIT_ATTACK,
  UNIT_DEFENSE,
  UNIT_HIT_POINTS,
  UNIT_FIREPOWER,
  UNIT_COST,
  UNIT_HOLD,
  UNIT_ROLE,
  UNIT_FLAGS,
  UNIT_FIELDS
};

// The names of the fields, as --json has them.
extern const char* const UnitFieldNames[UNIT_FIELDS];

struct DiffUnit {
  std::string name;
  std::string obsoleteCode;
  std::string prereqCode;
  int prereq;
  int32_t figures[UNIT_FIELDS];  // by UnitField; the two texts' slots unused
  int32_t line;
};

struct RulesCopy {
  std::string path;
  std::vector<DiffAdvance> advances;
  std::vector<DiffUnit> units;
  int maxLevel;
  int32_t chartWidth;  // at the chart metrics in force
  int32_t chartHeight;
};

// Copies the loaded rules; the chart metrics must be set.
void CopyLoadedRules(const char* path, RulesCopy* copy);

// The kinds of change, in the order they are reported.
enum ChangeKind {
  ADVANCE_ADDED,
  ADVANCE_REMOVED,
  ADVANCE_RENAMED,
  ADVANCE_RECODED,
  ADVANCE_CHANGED,
  PREREQUISITES_CHANGED,
  LEVEL_MOVED,
  ROUTE_CHANGED,
  UNIT_ADDED,
  UNIT_REMOVED,
  UNIT_MOVED,
  UNIT_CHANGED,
  CHANGE_KINDS
};

// The advance fields that can change besides the links.
enum AdvanceField { FIELD_AI_VALUE, FIELD_MODIFIER, FIELD_EPOCH, FIELD_CATEGORY };
extern const char* const AdvanceFieldNames[4];

// A level's cause besides an ancestor's new index.
enum { CAUSE_OWN = -1, CAUSE_UNKNOWN = -2 };

// One change. Indexes of advances for the advance kinds, of unit types for
// the unit kinds. field: an AdvanceField or a UnitField; from and to the
// numbers that changed (values, levels, route lengths; for prerequisites,
// which of the two links differ, bit 0 the first, bit 1 the second); cause,
// for a level, the new index of the ancestor whose prerequisites changed,
// CAUSE_OWN when the advance's own did.
struct Change {
  ChangeKind kind;
  int oldIndex;
  int newIndex;
  int field;
  int64_t from;
  int64_t to;
  int cause;
};

struct RulesDiff {
  std::vector<Change> changes;  // in report order
  int count[CHANGE_KINDS];
};

// The change of an advance's prerequisites, by its new index; none when
// they are the same.
const Change* RelinkOf(const RulesDiff& diff, int newIndex);

void CompareRules(const RulesCopy& before, const RulesCopy& after, RulesDiff* diff);

// How many advances each target needs, as --route lists them: every
// advance reached through the prerequisite links, the root and the target
// left out.
std::vector<int64_t> CountRoutes(const std::vector<DiffAdvance>& advances,
                                 const std::vector<int>& targets);

// The text of each change as the text report has it, in report order, with
// the new index of the advance whose box shows it (-1 for a removed advance
// or unit, or a unit under no advance); heading lines are not among them.
std::vector<ChartNote> ChangeLines(const RulesCopy& before, const RulesCopy& after,
                                   const RulesDiff& diff);

// The rules file's line of a change: NEW's, or OLD's for what NEW no
// longer has; 0 for none.
int32_t DiffLine(const RulesCopy& before, const RulesCopy& after, const Change& c);

// The text report's heading over the changes of a kind.
const char* ChangeHeading(ChangeKind kind);

// What the reports tell besides the changes, made by the caller: the
// names the text report gives OLD and NEW where it places a change (as a
// terminal may show them), and NEW's warnings as the checker writes them,
// each a text line (with its line feed) and a JSON record.
struct DiffContext {
  std::string oldName;
  std::string newName;
  std::vector<std::string> warningLines;
  nlohmann::ordered_json warnings = nlohmann::ordered_json::array();
};

// The whole text report: each change placed at its line, NEW's (OLD's for
// what NEW no longer has), the warnings after them; or "No differences"
// and the warnings.
std::string DiffText(const RulesCopy& before, const RulesCopy& after, const RulesDiff& diff,
                     const DiffContext& context);

// The JSON report; an empty text when it cannot be built.
std::string DiffJson(const RulesCopy& before, const RulesCopy& after, const RulesDiff& diff,
                     const DiffContext& context);

// The chart's marks for the newer file: for each advance the classes
// "added", "changed" (fields, name, code or prerequisites) and "moved"
// (level) that apply, with their legend; the notes are the
// changes, each its heading and line.
ChartMarks DiffMarks(const RulesCopy& before, const RulesCopy& after, const RulesDiff& diff);

// lorvane-check --diff once both files are loaded and copied (the newer
// one still loaded, the chart metrics set): prints the text or JSON
// report, or writes the outputs asked for, NEW's chart and page marked.
// Returns the exit code.
int RunDiff(const RulesCopy& before, const RulesCopy& after, bool json,
            std::vector<OutputFile>* outputs);
