// The marks of a comparison on the newer file's chart and page.
#pragma once
#include "chart/ChartSvg.h"
#include "diff/DiffCompare.h"

// The chart's marks for the newer file: for each advance the classes
// "added", "changed" (fields, name, code or prerequisites) and "moved"
// (level) that apply, with their legend; the notes are the
// changes, each its heading and line, made from the copies and the
// comparison when asked for: those must outlive the marks.
ChartMarks DiffMarks(const RulesCopy& before, const RulesCopy& after, const RulesDiff& diff);
