// The kinds of change a comparison reports, and what each output makes of
// them.
#include "diff/ChangeKind.h"

// Routes are not marked (a moved prerequisite changes many of them), nor
// are units, which have no box of their own.
const ChangeKindRow ChangeKinds[CHANGE_KINDS] = {
    {"added", "Advances added", "added", false, MARK_ADDED},
    {"removed", "Advances removed", "removed", false, MARK_NONE},
    {"renamed", "Advances renamed", "renamed", false, MARK_CHANGED},
    {"recoded", "Advances recoded", "recoded", false, MARK_CHANGED},
    {"changed", "Advance fields changed", "fields", false, MARK_CHANGED},
    {"prerequisites", "Prerequisites changed", "prerequisites", false, MARK_CHANGED},
    {"levels", "Levels moved", "levels", false, MARK_MOVED},
    {"routes", "Routes changed", "routes", false, MARK_NONE},
    {"added", "Units added", "added", true, MARK_NONE},
    {"removed", "Units removed", "removed", true, MARK_NONE},
    {"moved", "Units moved", "moved", true, MARK_NONE},
    {"changed", "Unit figures changed", "figures", true, MARK_NONE},
};
