// lorvane-check --diff once both files are loaded and copied.
#pragma once
#include "chart/ChartSvg.h"
#include "diff/DiffCopy.h"
#include "diff/DiffText.h"

// Compares the two copies. With marks, gives the newer file's chart marks
// for its SVG and page (the newer file still loaded, the chart metrics
// set); without, prints the text or JSON report to standard output, with
// what the context adds. False when the report cannot be written.
bool RunDiff(const RulesCopy& before, const RulesCopy& after, bool json,
             const DiffContext& context, ChartMarks* marks);
