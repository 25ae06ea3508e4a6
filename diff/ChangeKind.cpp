// The kinds of change a comparison reports, and what each output makes of
// them.
#include "diff/ChangeKind.h"

// Routes are not marked (a moved prerequisite changes many of them), nor
// are units, which have no box of their own.
const ChangeKindRow ChangeKinds[CHANGE_KINDS] = {
    {"added", "Advances added", "added", "added", false, MARK_ADDED},
    {"removed", "Advances removed", "removed", "removed", false, MARK_NONE},
    {"renamed", "Advances renamed", "renamed", "renamed", false, MARK_CHANGED},
    {"recoded", "Advances recoded", "recoded", "recoded", false, MARK_CHANGED},
    {"changed", "Advance fields changed", "fields", "changed", false, MARK_CHANGED},
    {"prerequisites", "Prerequisites changed", "prerequisites", "relinked", false, MARK_CHANGED},
    {"levels", "Levels moved", "levels", "moved", false, MARK_MOVED},
    {"routes", "Routes changed", "routes", "route of", false, MARK_NONE},
    {"added", "Units added", "added", "unit added", true, MARK_NONE},
    {"removed", "Units removed", "removed", "unit removed", true, MARK_NONE},
    {"moved", "Units moved", "moved", "unit moved", true, MARK_NONE},
    {"changed", "Unit figures changed", "figures", "unit changed", true, MARK_NONE},
};
