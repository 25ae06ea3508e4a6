// The kinds of change a comparison reports, and what each output makes of
// them: the one table to extend with a new kind.
#pragma once

// The kinds of change, in the order they are reported; each indexes the
// table below.
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
  const char* name;     // its key in --json, under "advances" or "units"
  const char* heading;  // the text report's line over its changes, and the page's
  const char* summary;  // its word in the summary line
  const char* place;    // the text report's word after a change's FILE:LINE
  bool unit;            // a unit type's change; else an advance's
  ChartMark mark;
};

extern const ChangeKindRow ChangeKinds[CHANGE_KINDS];
