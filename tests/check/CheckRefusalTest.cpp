// lorvane-check end to end on metrics it cannot use, wrong command lines and write failures.
// The rules files the viewer refuses are cases of tests/hostile/cases.tsv.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "CheckRun.h"

namespace {

// A refusal prints the viewer's message and nothing else, in both modes.
void ExpectRefused(const std::vector<std::string>& args, const std::string& message) {
  for (bool json : {false, true}) {
    SCOPED_TRACE(json ? "json" : "text");
    std::vector<std::string> all = args;
    if (json) all.insert(all.begin(), "--json");
    CheckResult result = RunCheck(all);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, message + "\n");
    EXPECT_EQ(result.out, "");
  }
}

struct MetricsCase {
  const char* metrics;
  const char* message;
};

void PrintTo(const MetricsCase& c, std::ostream* os) { *os << "--metrics " << c.metrics; }

class CheckRefusedMetrics : public testing::TestWithParam<MetricsCase> {};

TEST_P(CheckRefusedMetrics, PrintsTheViewersMessage) {
  ExpectRefused({"--metrics", GetParam().metrics, FixturePath("small.txt")}, GetParam().message);
}

const char NoFont[] = "The chart font \"MS Sans Serif\" has no usable size";
const char TooLarge[] = "The chart would be larger than 2147483647 pixels";

// small.txt: MaxLevelCount 5, three levels with at most 0, 2 and 1 units.
INSTANTIATE_TEST_SUITE_P(Values, CheckRefusedMetrics,
                         testing::Values(MetricsCase{"0,13,0", NoFont},
                                         MetricsCase{"-9,13,0", NoFont},
                                         MetricsCase{"9,0,0", NoFont},
                                         MetricsCase{"9,13,-13", NoFont},
                                         // The width: one more than the widest that fits (below).
                                         MetricsCase{"22025474,13,0", TooLarge},
                                         // The line height itself, then the row gap, then the sum
                                         // of the rows (38 lines of 10^8 pixels).
                                         MetricsCase{"9,2147483647,1", TooLarge},
                                         MetricsCase{"9,2147483647,0", TooLarge},
                                         MetricsCase{"9,100000000,0", TooLarge}),
                         [](const testing::TestParamInfo<MetricsCase>& info) {
                           return std::to_string(info.index) + "_" +
                                  (info.param.message == NoFont ? "NoFont" : "TooLarge");
                         });

TEST(CheckMetrics, LargestChartThatFits) {
  // Five boxes of 13 W plus half of that: W 22025473 gives 2147483615
  // pixels, 32 short of 2^31 - 1; W 22025474 passes it.
  CheckResult result = RunCheck({"--json", "--metrics", "22025473,13,0", FixturePath("small.txt")});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(ParseReport(result.out)["metrics"]["ChartWidth"], 2147483615);
}

struct UsageCase {
  std::vector<std::string> args;
  const char* problem;
};

void PrintTo(const UsageCase& c, std::ostream* os) {
  *os << "lorvane-check";
  for (const std::string& arg : c.args) *os << " " << arg;
}

class CheckUsage : public testing::TestWithParam<UsageCase> {};

TEST_P(CheckUsage, PrintsTheUsageAndExitsTwo) {
  std::vector<std::string> args;
  for (const std::string& arg : GetParam().args) {
    args.push_back(arg == "SMALL" ? FixturePath("small.txt") : arg);
  }
  CheckResult result = RunCheck(args);
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.out, "");
  std::string problem = GetParam().problem;
  size_t small = problem.find("SMALL");
  if (small != std::string::npos) problem.replace(small, 5, FixturePath("small.txt"));
  EXPECT_EQ(result.err,
            "lorvane-check: " + problem + "\n" + ReadWholeFile(FixturePath("usage.txt")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckUsage,
    testing::Values(
        UsageCase{{}, "no rules file given"}, UsageCase{{"--json"}, "no rules file given"},
        UsageCase{{"--metrics", "9,13,0"}, "no rules file given"},
        UsageCase{{"--bogus", "SMALL"}, "unknown option --bogus"},
        UsageCase{{"SMALL", "-j"}, "unknown option -j"},
        UsageCase{{"SMALL", "SMALL"}, "more than one rules file: SMALL"},
        UsageCase{{"SMALL", "--metrics"}, "--metrics needs a value"},
        UsageCase{{"SMALL", "--route"}, "--route needs a value"},
        UsageCase{{"--json", "--svg", "x.svg", "SMALL"}, "--json goes with a report or --route"},
        UsageCase{{"--metrics", "9,13", "SMALL"}, "--metrics needs W,H,E, not 9,13"},
        UsageCase{{"--metrics", "9,13,0,1", "SMALL"}, "--metrics needs W,H,E, not 9,13,0,1"},
        UsageCase{{"--metrics", "9,x,0", "SMALL"}, "--metrics needs W,H,E, not 9,x,0"},
        UsageCase{{"--metrics", "9,13,", "SMALL"}, "--metrics needs W,H,E, not 9,13,"},
        UsageCase{{"--metrics", "2147483648,13,0", "SMALL"},
                  "--metrics needs W,H,E, not 2147483648,13,0"}),
    [](const testing::TestParamInfo<UsageCase>& info) {
      return "Case" + std::to_string(info.index);
    });

TEST(CheckUsage, DoubleDashEndsTheOptions) {
  std::string path = FixturePath("small.txt");
  // After "--" a name that starts with "-" is a path.
  CheckResult result = RunCheck({"--", "--json"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "Vel2 rules file \"--json\" not found\n");
  result = RunCheck({"--", path});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, ReadWholeFile(FixturePath("small.out")));
}

TEST(CheckUsage, HelpGoesToStandardOutput) {
  CheckResult result = RunCheck({"--help"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, ReadWholeFile(FixturePath("usage.txt")));
  EXPECT_EQ(result.err, "");
}

// A report that cannot be written (the disk is full) ends with exit code 3.
TEST(CheckWrite, FullDiskExitsThree) {
  for (bool json : {false, true}) {
    SCOPED_TRACE(json ? "json" : "text");
    std::vector<std::string> args = {FixturePath("small.txt")};
    if (json) args.insert(args.begin(), "--json");
    CheckResult result = RunCheck(args, "/dev/full");
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(result.err, "lorvane-check: cannot write the report\n");
  }
}

}  // namespace
