// The comparison as text: the report, and each change's line for the page.
#pragma once
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "chart/ChartSvg.h"
#include "diff/DiffCompare.h"

// The text of each change as the text report has it, in report order, with
// the new index of the advance whose box shows it (-1 for a removed advance
// or unit, or a unit under no advance); heading lines are not among them.
std::vector<ChartNote> ChangeLines(const RulesCopy& before, const RulesCopy& after,
                                   const RulesDiff& diff);

// What the reports tell besides the changes, made by the caller: the
// names the text report gives OLD and NEW where it places a change (as a
// terminal may show them), and NEW's warnings as the checker writes them,
// each a text line (with its line feed) and a JSON record.
struct DiffContext {
  std::string oldName;
  std::string newName;
  std::vector<std::string> warningLines;
  nlohmann::ordered_json warnings = nlohmann::ordered_json::array();
};

// The rules file's line of a change: NEW's, or OLD's for what NEW no
// longer has; 0 for none.
int32_t DiffLine(const RulesCopy& before, const RulesCopy& after, const Change& c);

// The whole text report: each change placed at its line, NEW's (OLD's for
// what NEW no longer has), the warnings after them; or "No differences"
// and the warnings.
std::string DiffText(const RulesCopy& before, const RulesCopy& after, const RulesDiff& diff,
                     const DiffContext& context);
