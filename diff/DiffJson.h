// The comparison as one JSON document.
#pragma once
#include "chart/TextOut.h"
#include "diff/DiffCompare.h"
#include "diff/DiffText.h"

// The JSON report, written as it is made.
void DiffJson(const RulesCopy& before, const RulesCopy& after, const RulesDiff& diff,
              const DiffContext& context, TextOut* out);
