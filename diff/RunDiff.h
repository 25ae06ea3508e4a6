// lorvane-check --diff once both files are loaded and copied.
#pragma once
#include "chart/ChartSvg.h"
#include "diff/DiffCopy.h"

// Compares the two copies. With marks, gives the newer file's chart marks
// for its SVG and page (the newer file still loaded, the chart metrics
// set); without, prints the text or JSON report to standard output. False
// when the report cannot be written.
bool RunDiff(const RulesCopy& before, const RulesCopy& after, bool json, ChartMarks* marks);
