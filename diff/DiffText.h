// The comparison as text: the report, and each change's line for the page.
#pragma once
#include <stddef.h>

#include <functional>
#include <nlohmann/json.hpp>
#include <string>

#include "chart/ChartSvg.h"
#include "chart/TextOut.h"
#include "diff/DiffCompare.h"

// The text of change k (of diff.changes) as the text report has it, with
// the new index of the advance whose box shows it (-1 for a removed
// advance or unit, or a unit under no advance).
ChartNote ChangeLine(const RulesCopy& before, const RulesCopy& after, const RulesDiff& diff,
                     size_t k);

// What the reports tell besides the changes, made by the caller: the
// names the text report gives OLD and NEW where it places a change (as a
// terminal may show them), and NEW's warnings as the checker writes them:
// how many, and each made when the report comes to it, as a text line
// (with its line feed) or a JSON record.
struct DiffContext {
  std::string oldName;
  std::string newName;
  size_t warnings = 0;
  std::function<std::string(size_t place)> warningLine;
  std::function<nlohmann::ordered_json(size_t place)> warningRecord;
};

// The rules file's line of a change: NEW's, or OLD's for what NEW no
// longer has; 0 for none.
int32_t DiffLine(const RulesCopy& before, const RulesCopy& after, const Change& c);

// The whole text report, written as it is made: each change placed at its
// line, NEW's (OLD's for what NEW no longer has), the warnings after them;
// or "No differences" and the warnings.
void DiffText(const RulesCopy& before, const RulesCopy& after, const RulesDiff& diff,
              const DiffContext& context, TextOut* out);
