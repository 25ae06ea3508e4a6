// The comparison as one JSON document.
#pragma once
#include <string>

#include "diff/DiffCompare.h"
#include "diff/DiffText.h"

// The JSON report; an empty text when it cannot be built.
std::string DiffJson(const RulesCopy& before, const RulesCopy& after, const RulesDiff& diff,
                     const DiffContext& context);
