// lorvane-check --diff's report, once both files are loaded, copied and compared.
#pragma once
#include "diff/DiffCompare.h"
#include "diff/DiffCopy.h"
#include "diff/DiffText.h"

// Prints the text or JSON report to standard output as it is made, with
// what the context adds. False when it cannot be written.
bool RunDiff(const RulesCopy& before, const RulesCopy& after, const RulesDiff& diff, bool json,
             const DiffContext& context);
