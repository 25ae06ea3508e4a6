// Route lengths of many advances of a copy at once.
#pragma once
#include <stdint.h>

#include <vector>

#include "diff/DiffCopy.h"

// How many advances each target needs, as --route lists them: every
// advance reached through the prerequisite links, the root and the target
// left out.
std::vector<int64_t> CountRoutes(const std::vector<DiffAdvance>& advances,
                                 const std::vector<int>& targets);
