// The checker's option table in-process: every option in the usage text,
// and which combination error wins when several are broken.
#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "check/CheckOptions.h"

namespace {

Options Read(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "lorvane-check");
  arguments.push_back("r.txt");
  return ReadOptions((int)arguments.size(), const_cast<char**>(arguments.data()));
}

}  // namespace

TEST(CheckOptions, EveryOptionIsInTheUsageText) {
  for (int k = 0; k < OptionCount; ++k) {
    EXPECT_NE(strstr(UsageText, UsageOf(OptionTable[k]).c_str()), nullptr)
        << UsageOf(OptionTable[k]);
  }
}

// The editor's server reads no rules file, so no other option goes with
// it: a new option must be one of its row's exclusions.
TEST(CheckOptions, NoOtherOptionGoesWithTheLanguageServer) {
  for (int k = 0; k < OptionCount; ++k) {
    const OptionRow& row = OptionTable[k];
    // --help and --version are answered before any combination is read.
    if (row.slot == &Options::lsp || row.slot == &Options::help || row.slot == &Options::version) {
      continue;
    }
    std::vector<const char*> arguments = {"--lsp", row.name};
    if (row.value != nullptr) arguments.push_back("x");
    Options options = Read(arguments);
    EXPECT_EXIT(CheckCombinations(options), testing::ExitedWithCode(2), "^lorvane-check: ")
        << row.name;
  }
}

struct CombinationCase {
  std::vector<const char*> arguments;
  const char* error;  // the first line's problem; nullptr: they combine
};

class CheckCombinationOrder : public testing::TestWithParam<CombinationCase> {};

TEST_P(CheckCombinationOrder, TheFirstRowBrokenWordsTheError) {
  Options options = Read(GetParam().arguments);
  if (GetParam().error == nullptr) {
    CheckCombinations(options);
    return;
  }
  EXPECT_EXIT(CheckCombinations(options), testing::ExitedWithCode(2),
              std::string("^lorvane-check: ") + GetParam().error + "\nusage: ");
}

INSTANTIATE_TEST_SUITE_P(
    Table, CheckCombinationOrder,
    testing::Values(
        CombinationCase{{"--title", "T", "--diff", "o", "--json", "--svg", "x", "--route", "a"},
                        "--title goes with --html"},
        CombinationCase{{"--diff", "o", "--title", "T", "--json", "--svg", "x"},
                        "--json goes with a report, --route or --have"},
        CombinationCase{{"--diff", "o", "--route", "a", "--html", "-", "--svg", "-"},
                        "--svg - and --route would both write to standard output"},
        CombinationCase{{"--route", "a", "--diff", "o", "--svg", "x"},
                        "--diff does not go with --route or --have"},
        CombinationCase{{"--have", "a", "--diff", "o"},
                        "--diff does not go with --route or --have"},
        CombinationCase{{"--json", "--have", "a", "--svg", "x"}, nullptr},
        CombinationCase{{"--json", "--route", "a", "--svg", "x", "--html", "y", "--title", "T"},
                        nullptr},
        CombinationCase{{"--json", "--diff", "o", "--metrics", "1,1,0"}, nullptr}));
