// The comparison as text: the report, and each change's line for the page.
#pragma once
#include <string>
#include <vector>

#include "chart/ChartSvg.h"
#include "diff/DiffCompare.h"

// The text of each change as the text report has it, in report order, with
// the new index of the advance whose box shows it (-1 for a removed advance
// or unit, or a unit under no advance); heading lines are not among them.
std::vector<ChartNote> ChangeLines(const RulesCopy& before, const RulesCopy& after,
                                   const RulesDiff& diff);

// The whole text report, or "No differences".
std::string DiffText(const RulesCopy& before, const RulesCopy& after, const RulesDiff& diff);
