// lorvane-check end to end on files the viewer refuses, on chart metrics
// it cannot use, and on wrong command lines.
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

struct RefusedFile {
  const char* fixture;
  const char* message;
};

void PrintTo(const RefusedFile& c, std::ostream* os) { *os << c.fixture; }

class CheckRefusedFile : public testing::TestWithParam<RefusedFile> {};

TEST_P(CheckRefusedFile, PrintsTheViewersMessage) {
  ExpectRefused({FixturePath(std::string("refused/") + GetParam().fixture)}, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, CheckRefusedFile,
    testing::Values(
        RefusedFile{"no-civilize.txt", "Rules file has no \"@CIVILIZE\" line"},
        RefusedFile{"no-improve.txt", "Rules file ends before the \"@IMPROVE\" line"},
        RefusedFile{"no-units.txt", "Rules file has no \"@UNITS\" line"},
        RefusedFile{"no-terrain.txt", "Rules file ends before the \"@TERRAIN\" line"},
        RefusedFile{"missing-semicolon.txt",
                    "Missing \";\" in advance line \"Bronze Casting, 6, 1, Sto, nil, 1, 4 Brz\""},
        RefusedFile{"missing-comma-advance.txt",
                    "Missing \",\" in advance line \"Stone Tools, 1, 0, nil, nil ; Sto\""},
        RefusedFile{"missing-comma-unit.txt",
                    "Missing \",\" in unit line \"Spearmen, nil, 0, 1, 0, 2, 1, 10, 1, 2, 0, 0, "
                    "Sto\""},
        RefusedFile{"long-prereq-advance.txt",
                    "Code \"Sto \" is longer than 3 characters in advance line \"Bronze Casting, "
                    "6, 1, Sto , nil, 1, 4 ; Brz\""},
        RefusedFile{"long-prereq-unit.txt",
                    "Code \"Stone\" is longer than 3 characters in unit line \"Militia, nil, 0, 1, "
                    "0, 1, 1, 10, 1, 1, 0, 1, Stone, 0\""},
        RefusedFile{"cycle.txt", "Advance \"Egg\" depends on itself through its prerequisites"},
        RefusedFile{"self-cycle.txt",
                    "Advance \"Ouroboros\" depends on itself through its prerequisites"}),
    [](const testing::TestParamInfo<RefusedFile>& info) {
      std::string name = info.param.fixture;
      name = name.substr(0, name.find('.'));
      for (char& c : name) {
        if (c == '-') c = '_';
      }
      return name;
    });

TEST(CheckRefused, MissingFile) {
  std::string path = FixturePath("refused/no-such-file.txt");
  ExpectRefused({path}, "Vel2 rules file \"" + path + "\" not found");
}

TEST(CheckRefused, DirectoryCountsAsMissing) {
  std::string path = FixturePath("refused");
  ExpectRefused({path}, "Vel2 rules file \"" + path + "\" not found");
}

TEST(CheckRefused, LongPathIsCutInsideTheQuotes) {
  std::string path = "/no-such-directory/" + std::string(150, 'd') + "/" + std::string(150, 'f');
  std::string head = "Vel2 rules file \"";
  std::string tail = "\" not found";
  std::string message = head + path.substr(0, 255 - head.size() - tail.size()) + tail;
  ASSERT_EQ(message.size(), 255u);
  ExpectRefused({path}, message);
}

TEST(CheckRefused, LongLineIsCutInTheMessage) {
  std::string line = "Endless" + std::string(220, 'e') + ", 1, 0, nil, nil, 0, 0 Xyz";
  ASSERT_LE(line.size(), 255u);
  std::string rules = "@CIVILIZE\n" + line + "\n@IMPROVE\n@UNITS\n@TERRAIN\n";
  std::string head = "Missing \";\" in advance line \"";
  std::string message = head + line.substr(0, 255 - head.size() - 1) + "\"";
  ExpectRefused({WriteScratchFile("long-line.txt", rules)}, message);
}

std::string AdvanceLine(const std::string& name, const std::string& code,
                        const std::string& prereq) {
  return name + ", 1, 0, " + prereq + ", " + prereq + ", 0, 0 ; " + code + "\n";
}

std::string Code(int n) {
  return std::string(1, (char)('A' + n / 100)) + (char)('0' + n / 10 % 10) + (char)('0' + n % 10);
}

TEST(CheckRefused, HundredthLevel) {
  std::string rules = "@CIVILIZE\n";
  for (int k = 1; k <= 100; ++k) {
    rules += AdvanceLine("Step " + std::to_string(k), Code(k), k == 1 ? "nil" : Code(k - 1));
  }
  rules += "@IMPROVE\n@UNITS\n@TERRAIN\n";
  ExpectRefused({WriteScratchFile("too-deep.txt", rules)},
                "Advance \"Step 100\" lies more than 99 levels below \"Primary Root\"");
}

TEST(CheckRefused, HundredAndFirstDependantOfTheRoot) {
  std::string rules = "@CIVILIZE\n";
  for (int k = 0; k < 101; ++k) rules += AdvanceLine("Branch " + std::to_string(k), Code(k), "nil");
  rules += "@IMPROVE\n@UNITS\n@TERRAIN\n";
  // The message begins with a blank.
  ExpectRefused({WriteScratchFile("wide.txt", rules)},
                " More than 100 advances directly linked to \"Primary Root\"");
}

TEST(CheckRefused, HundredAndFirstUnitOfAnAdvance) {
  std::string rules = "@CIVILIZE\n" + AdvanceLine("Crowded", "Crw", "nil") + "@IMPROVE\n@UNITS\n";
  for (int k = 0; k < 101; ++k) {
    rules += "Crowd " + std::to_string(k) + ", nil, 0, 1, 0, 1, 1, 10, 1, 1, 0, 0, Crw, 0\n";
  }
  rules += "@TERRAIN\n";
  ExpectRefused({WriteScratchFile("crowded.txt", rules)},
                "More than 100 units directly linked to \"Crowded\"");
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
  Json report;
  std::string error;
  ASSERT_TRUE(ParseJson(result.out, &report, &error)) << error;
  EXPECT_EQ(report["metrics"]["ChartWidth"].Int(), 2147483615);
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
  EXPECT_EQ(result.err, "lorvane-check: " + problem +
                            "\nusage: lorvane-check [--json] [--metrics W,H,E] RULES.TXT\n"
                            "       lorvane-check --version\n");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckUsage,
    testing::Values(UsageCase{{}, "no rules file given"},
                    UsageCase{{"--json"}, "no rules file given"},
                    UsageCase{{"--metrics", "9,13,0"}, "no rules file given"},
                    UsageCase{{"--bogus", "SMALL"}, "unknown option --bogus"},
                    UsageCase{{"SMALL", "-j"}, "unknown option -j"},
                    UsageCase{{"SMALL", "SMALL"}, "more than one rules file: SMALL"},
                    UsageCase{{"SMALL", "--metrics"}, "--metrics needs W,H,E"},
                    UsageCase{{"--metrics", "9,13", "SMALL"}, "--metrics needs W,H,E, not 9,13"},
                    UsageCase{{"--metrics", "9,13,0,1", "SMALL"},
                              "--metrics needs W,H,E, not 9,13,0,1"},
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
  EXPECT_EQ(result.out,
            "usage: lorvane-check [--json] [--metrics W,H,E] RULES.TXT\n"
            "       lorvane-check --version\n");
  EXPECT_EQ(result.err, "");
}

}  // namespace
