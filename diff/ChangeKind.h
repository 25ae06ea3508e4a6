// The kinds of change a comparison reports, and what each output makes of
// them: the one table to extend with a new kind.
#pragma once
#include <iterator>

// The kinds of change, in the order they are reported; each indexes the
// table below, ChangeKinds.
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

// The mark a kind of change puts on the box of the advance it concerns,
// in the newer file's chart (classes of chart/svg.css), as bits.
enum ChartMark { MARK_NONE = 0, MARK_ADDED = 1, MARK_CHANGED = 2, MARK_MOVED = 4 };

struct ChangeKindRow {
  ChangeKind kind;      // the kind it describes: the row's place, which the assert below checks
  const char* name;     // its key in --json, under "advances" or "units"
  const char* heading;  // the text report's line over its changes, and the page's
  const char* summary;  // its word in the summary line
  const char* place;    // the text report's word after a change's FILE:LINE
  bool unit;            // a unit type's change; else an advance's
  ChartMark mark;
};

// Routes are not marked (a moved prerequisite changes many of them), nor
// are units, which have no box of their own.
inline constexpr ChangeKindRow ChangeKinds[] = {
    {ADVANCE_ADDED, "added", "Advances added", "added", "added", false, MARK_ADDED},
    {ADVANCE_REMOVED, "removed", "Advances removed", "removed", "removed", false, MARK_NONE},
    {ADVANCE_RENAMED, "renamed", "Advances renamed", "renamed", "renamed", false, MARK_CHANGED},
    {ADVANCE_RECODED, "recoded", "Advances recoded", "recoded", "recoded", false, MARK_CHANGED},
    {ADVANCE_CHANGED, "changed", "Advance fields changed", "fields", "changed", false,
     MARK_CHANGED},
    {PREREQUISITES_CHANGED, "prerequisites", "Prerequisites changed", "prerequisites", "relinked",
     false, MARK_CHANGED},
    {LEVEL_MOVED, "levels", "Levels moved", "levels", "moved", false, MARK_MOVED},
    {ROUTE_CHANGED, "routes", "Routes changed", "routes", "route of", false, MARK_NONE},
    {UNIT_ADDED, "added", "Units added", "added", "unit added", true, MARK_NONE},
    {UNIT_REMOVED, "removed", "Units removed", "removed", "unit removed", true, MARK_NONE},
    {UNIT_MOVED, "moved", "Units moved", "moved", "unit moved", true, MARK_NONE},
    {UNIT_CHANGED, "changed", "Unit figures changed", "figures", "unit changed", true, MARK_NONE},
};

// True when each row stands at the place of its kind.
constexpr bool KindsInOrder() {
  for (int kind = 0; kind < CHANGE_KINDS; ++kind) {
    if (ChangeKinds[kind].kind != kind) return false;
  }
  return true;
}
static_assert(std::size(ChangeKinds) == CHANGE_KINDS && KindsInOrder(),
              "a row per kind of change, in the enum's order");
