// lorvane-check end to end on files that load: the text report, the JSON
// report, the chart metrics, the warnings and the sample rules file.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "CheckRun.h"

namespace {

Json ParseOrFail(const std::string& text) {
  Json value;
  std::string error;
  EXPECT_TRUE(ParseJson(text, &value, &error)) << error << "\n" << text;
  return value;
}

Json RunJson(const std::vector<std::string>& args) {
  CheckResult result = RunCheck(args);
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "");
  return ParseOrFail(result.out);
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

const std::vector<std::string> AdvanceKeys = {
    "name",     "code",  "aiValue",    "modifier", "prereqCode1", "prereqCode2", "epoch",
    "category", "level", "childCount", "prereq1",  "prereq2",     "children",    "units"};

const std::vector<std::string> UnitKeys = {
    "name",      "obsoleteCode", "domain",   "move",      "range",      "attack",     "defense",
    "hitPoints", "firepower",    "cost",     "hold",      "role",       "prereqCode", "flags",
    "prereq",    "costText",     "roleText", "flagsText", "figuresLine"};

TEST(CheckText, SmallFileGivesTheExpectedReport) {
  CheckResult result = RunCheck({FixturePath("small.txt")});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, ReadWholeFile(FixturePath("small.out")));
}

// The worked example of the chart metrics: rows of 1, 5 and 4 boxes with
// at most 0, 2 and 1 units, and a detail font 9 wide and 13 high.
const char WorkedMetricsText[] =
    "CharWidth 9\nBoxWidth 117\nColumnGap 58\nLineHeight 13\nRowGap 104\n"
    "LevelHeight 26 91 65\nChartWidth 875\nChartHeight 494\nChartLines 38\n";

TEST(CheckText, MetricsFollowTheStatistics) {
  CheckResult result = RunCheck({"--metrics", "9,13,0", FixturePath("small.txt")});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err, "");
  std::string expected = Replace(ReadWholeFile(FixturePath("small.out")), "Warnings 0\n",
                                 std::string(WorkedMetricsText) + "Warnings 0\n");
  EXPECT_EQ(result.out, expected);
}

TEST(CheckText, CarriageReturnLineEndsReadLikeLineFeeds) {
  std::string lf = ReadWholeFile(FixturePath("small.txt"));
  ASSERT_NE(lf.find('\n'), std::string::npos);
  ASSERT_EQ(lf.find('\r'), std::string::npos);
  std::string crlf = WriteScratchFile("crlf.txt", Replace(lf, "\n", "\r\n"));
  for (bool json : {false, true}) {
    SCOPED_TRACE(json ? "json" : "text");
    std::vector<std::string> lfArgs;
    std::vector<std::string> crlfArgs;
    if (json) {
      lfArgs.push_back("--json");
      crlfArgs.push_back("--json");
    }
    lfArgs.push_back(FixturePath("small.txt"));
    crlfArgs.push_back(crlf);
    CheckResult fromLf = RunCheck(lfArgs);
    CheckResult fromCrLf = RunCheck(crlfArgs);
    EXPECT_EQ(fromCrLf.exitCode, 0);
    EXPECT_EQ(fromCrLf.err, "");
    EXPECT_FALSE(fromLf.out.empty());
    EXPECT_EQ(fromCrLf.out, fromLf.out);
  }
}

struct AdvanceRow {
  const char* name;
  const char* code;
  long aiValue, modifier;
  const char* prereqCode1;
  const char* prereqCode2;
  long epoch, category, level;
  long prereq1, prereq2;  // -1 for null
  std::vector<long> children;
  std::vector<long> units;
};

// The root first, then the file's order: Harbour is listed before the
// advance it needs and still lands on level 2.
const std::vector<AdvanceRow> SmallAdvances = {
    {"Primary Root", "nil", 0, 0, "nil", "nil", 0, 0, 0, -1, -1, {1, 2, 3, 4, 5, 6}, {}},
    {"Harbour", "Hrb", 7, -2, "Riv", "nil", 2, 1, 2, 6, 0, {}, {2}},
    {"Stone Tools", "Sto", 1, 0, "nil", "nil", 0, 0, 1, 0, 0, {7}, {0, 1}},
    {"Fire Keeping", "Fir", 2, 1, "nil", "nil", 0, 2, 1, 0, 0, {7}, {}},
    {"Barter", "Bar", 3, -1, "nil", "nil", 1, 1, 1, 0, 0, {8}, {}},
    {"Counting", "Cnt", 4, 2, "nil", "nil", 2, 3, 1, 0, 0, {8, 9}, {}},
    {"River Boats", "Riv", 5, 0, "nil", "nil", 3, 4, 1, 0, 0, {1}, {}},
    {"Bronze Casting", "Brz", 6, 1, "Sto", "Fir", 1, 4, 2, 2, 3, {}, {}},
    {"Ledgers", "Led", 2, 0, "Bar", "Cnt", 2, 1, 2, 4, 5, {}, {}},
    {"Star Maps", "Sta", 1, 3, "Cnt", "Cnt", 3, 3, 2, 5, 5, {}, {}},
};

void ExpectLink(const Json& value, long expected, const std::string& what) {
  if (expected < 0) {
    EXPECT_TRUE(value.IsNull()) << what;
  } else {
    EXPECT_EQ(value.Int(), expected) << what;
  }
}

TEST(CheckJson, SmallFileAdvances) {
  Json report = RunJson({"--json", FixturePath("small.txt")});
  EXPECT_EQ(report.Keys(),
            (std::vector<std::string>{"advances", "units", "MaxLevel", "LevelCount",
                                      "MaxLevelCount", "LevelMaxUnits", "warnings"}));
  const Json& advances = report["advances"];
  ASSERT_EQ(advances.items.size(), SmallAdvances.size());
  for (size_t i = 0; i < SmallAdvances.size(); ++i) {
    const AdvanceRow& row = SmallAdvances[i];
    const Json& a = advances[i];
    SCOPED_TRACE(row.name);
    EXPECT_EQ(a.Keys(), AdvanceKeys);
    EXPECT_EQ(a["name"].text, row.name);
    EXPECT_EQ(a["code"].text, row.code);
    EXPECT_EQ(a["aiValue"].Int(), row.aiValue);
    EXPECT_EQ(a["modifier"].Int(), row.modifier);
    EXPECT_EQ(a["prereqCode1"].text, row.prereqCode1);
    EXPECT_EQ(a["prereqCode2"].text, row.prereqCode2);
    EXPECT_EQ(a["epoch"].Int(), row.epoch);
    EXPECT_EQ(a["category"].Int(), row.category);
    EXPECT_EQ(a["level"].Int(), row.level);
    EXPECT_EQ(a["childCount"].Int(), (long)row.children.size());
    ExpectLink(a["prereq1"], row.prereq1, "prereq1");
    ExpectLink(a["prereq2"], row.prereq2, "prereq2");
    EXPECT_EQ(a["children"].Ints(), row.children);
    EXPECT_EQ(a["units"].Ints(), row.units);
  }
  EXPECT_EQ(report["MaxLevel"].Int(), 2);
  EXPECT_EQ(report["LevelCount"].Ints(), (std::vector<long>{1, 5, 4}));
  EXPECT_EQ(report["MaxLevelCount"].Int(), 5);
  EXPECT_EQ(report["LevelMaxUnits"].Ints(), (std::vector<long>{0, 2, 1}));
  EXPECT_EQ(report["warnings"].kind, Json::ARRAY);
  EXPECT_TRUE(report["warnings"].items.empty());
}

struct UnitRow {
  const char* name;
  const char* obsoleteCode;
  long domain, move, range, attack, defense, hitPoints, firepower, cost, hold, role;
  const char* prereqCode;
  long flags, prereq;
  const char* costText;
  const char* roleText;
  const char* flagsText;
  const char* figuresLine;
};

const std::vector<UnitRow> SmallUnits = {
    {"Militia", "Brz", 0, 1, 0, 1, 1, 10, 1, 10, 0, 1, "Sto", 0, 2, " 10c", "Def", "",
     " 1a 1d 1(0)m 10h 1f Def"},
    {"Spearmen", "nil", 0, 1, 0, 2, 1, 10, 1, 20, 0, 0, "Sto", 4, 2, " 20c", "Atk", "/M",
     " 2a 1d 1(0)m 10h 1f Atk/M"},
    {"Barge", "nil", 2, 3, 0, 0, 1, 10, 1, 40, 2, 4, "Hrb", 16385, 1, " 40c", "Trn2", "/s2",
     " 0a 1d 3(0)m 10h 1f Trn2/s2"},
};

TEST(CheckJson, SmallFileUnits) {
  Json report = RunJson({"--json", FixturePath("small.txt")});
  const Json& units = report["units"];
  ASSERT_EQ(units.items.size(), SmallUnits.size());
  for (size_t i = 0; i < SmallUnits.size(); ++i) {
    const UnitRow& row = SmallUnits[i];
    const Json& u = units[i];
    SCOPED_TRACE(row.name);
    EXPECT_EQ(u.Keys(), UnitKeys);
    EXPECT_EQ(u["name"].text, row.name);
    EXPECT_EQ(u["obsoleteCode"].text, row.obsoleteCode);
    EXPECT_EQ(u["domain"].Int(), row.domain);
    EXPECT_EQ(u["move"].Int(), row.move);
    EXPECT_EQ(u["range"].Int(), row.range);
    EXPECT_EQ(u["attack"].Int(), row.attack);
    EXPECT_EQ(u["defense"].Int(), row.defense);
    EXPECT_EQ(u["hitPoints"].Int(), row.hitPoints);
    EXPECT_EQ(u["firepower"].Int(), row.firepower);
    EXPECT_EQ(u["cost"].Int(), row.cost);
    EXPECT_EQ(u["hold"].Int(), row.hold);
    EXPECT_EQ(u["role"].Int(), row.role);
    EXPECT_EQ(u["prereqCode"].text, row.prereqCode);
    EXPECT_EQ(u["flags"].Int(), row.flags);
    ExpectLink(u["prereq"], row.prereq, "prereq");
    EXPECT_EQ(u["costText"].text, row.costText);
    EXPECT_EQ(u["roleText"].text, row.roleText);
    EXPECT_EQ(u["flagsText"].text, row.flagsText);
    EXPECT_EQ(u["figuresLine"].text, row.figuresLine);
  }
}

TEST(CheckJson, WorkedExampleMetrics) {
  Json report = RunJson({"--json", "--metrics", "9,13,0", FixturePath("small.txt")});
  EXPECT_EQ(report.Keys(),
            (std::vector<std::string>{"advances", "units", "MaxLevel", "LevelCount",
                                      "MaxLevelCount", "LevelMaxUnits", "metrics", "warnings"}));
  const Json& m = report["metrics"];
  EXPECT_EQ(m.Keys(),
            (std::vector<std::string>{"CharWidth", "BoxWidth", "ColumnGap", "LineHeight", "RowGap",
                                      "LevelHeight", "ChartWidth", "ChartHeight", "ChartLines"}));
  EXPECT_EQ(m["CharWidth"].Int(), 9);
  EXPECT_EQ(m["BoxWidth"].Int(), 117);
  EXPECT_EQ(m["ColumnGap"].Int(), 58);
  EXPECT_EQ(m["LineHeight"].Int(), 13);
  EXPECT_EQ(m["RowGap"].Int(), 104);
  EXPECT_EQ(m["LevelHeight"].Ints(), (std::vector<long>{26, 91, 65}));
  EXPECT_EQ(m["ChartWidth"].Int(), 875);
  EXPECT_EQ(m["ChartHeight"].Int(), 494);
  EXPECT_EQ(m["ChartLines"].Int(), 38);
}

TEST(CheckJson, ExternalLeadingAddsToTheLineHeight) {
  // LineHeight 10 + 3; the option may also come after the path.
  Json report = RunJson({FixturePath("small.txt"), "--metrics", "9,10,3", "--json"});
  EXPECT_EQ(report["metrics"]["LineHeight"].Int(), 13);
  EXPECT_EQ(report["metrics"]["ChartHeight"].Int(), 494);
}

// Every warning, in order: advances in list order, then units in file
// order. The checker still exits 0.
const std::vector<std::string> ExpectedWarnings = {
    "Advance \"Lost Art\": prerequisite code \"Zzz\" names no advance; it stands on level 0",
    "Advance \"Half Known\": prerequisite code \"Qq \" names no advance; it stands on level 0",
    "Advance \"Second Stone\": code \"Sto\" is already the code of \"Stone Tools\"; this advance "
    "never gets dependants",
    "Advance \"Nullity\": code \"nil\" always names \"Primary Root\"; this advance never gets "
    "dependants",
    "Advance \"Blank Code\" has an empty code",
    "Advance \"Far Future\": epoch 5 is outside the epoch table (0 to 3)",
    "Advance \"Far Future\": category 9 is outside the category table (0 to 4)",
    "Advance \"Wrapped Era\": epoch 260 does not fit in a byte; it is stored as 4",
    "Advance \"Wrapped Era\": epoch 4 is outside the epoch table (0 to 3)",
    "Advance \"Wrapped Era\": category -1 does not fit in a byte; it is stored as 255",
    "Advance \"Wrapped Era\": category 255 is outside the category table (0 to 4)",
    "Advance name \"A Remarkably Long Advance Name\" is longer than 19 characters; it is cut to "
    "\"A Remarkably Long A\"",
    "Advance \"Long Code\": code \"ABCD\" is longer than 3 characters; it is cut to \"ABC\"",
    "Advance \"Spaced Code\": code \"X Y Z\" is longer than 3 characters; it is cut to \"X Y\"",
    "Unit \"Ghost\": prerequisite code \"Qqq\" names no advance; it appears nowhere in the chart",
    "Unit \"Phantom\": prerequisite code \"Hid\" names no advance; it appears nowhere in the chart",
    "Unit \"Sky Whale\": domain 3 is outside the role table (0 to 2)",
    "Unit \"Sky Whale\": role 9 is outside the role table (0 to 7)",
    "Unit \"Odd Role\": role 259 does not fit in a byte; it is stored as 3",
    "Unit \"Negative Domain\": domain -1 is outside the role table (0 to 2)",
    "Unit name \"An Extremely Long Unit Name\" is longer than 19 characters; it is cut to \"An "
    "Extremely Long U\"",
    "Unit \"An Extremely Long U\": obsolete-by code \"Longcode\" is longer than 3 characters; it "
    "is cut to \"Lon\"",
};

TEST(CheckWarnings, JsonListsEveryWarning) {
  Json report = RunJson({"--json", FixturePath("warnings.txt")});
  std::vector<std::string> warnings;
  for (const Json& w : report["warnings"].items) warnings.push_back(w.text);
  EXPECT_EQ(warnings, ExpectedWarnings);
}

TEST(CheckWarnings, TextEndsWithTheSameWarnings) {
  CheckResult result = RunCheck({FixturePath("warnings.txt")});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err, "");
  std::string expected = "Warnings " + std::to_string(ExpectedWarnings.size()) + "\n";
  for (const std::string& w : ExpectedWarnings) expected += "warning: " + w + "\n";
  ASSERT_GE(result.out.size(), expected.size());
  EXPECT_EQ(result.out.substr(result.out.size() - expected.size()), expected);
}

TEST(CheckWarnings, RecordsShowWhatTheViewerDoes) {
  Json report = RunJson({"--json", FixturePath("warnings.txt")});
  const Json& advances = report["advances"];
  // The root and the eleven advances of the file.
  ASSERT_EQ(advances.items.size(), 12u);
  auto find = [&](const std::string& name) -> const Json& {
    for (const Json& a : advances.items) {
      if (a["name"].text == name) return a;
    }
    ADD_FAILURE() << "no advance " << name;
    return advances;
  };
  const Json& lost = find("Lost Art");
  EXPECT_EQ(lost["level"].Int(), 0);
  EXPECT_TRUE(lost["prereq1"].IsNull());
  EXPECT_EQ(lost["prereq2"].Int(), 0);
  EXPECT_EQ(find("Half Known")["level"].Int(), 0);
  EXPECT_TRUE(find("Second Stone")["children"].items.empty());
  EXPECT_EQ(find("Long Code")["code"].text, "ABC");
  EXPECT_EQ(find("Spaced Code")["code"].text, "X Y");
  EXPECT_EQ(find("A Remarkably Long A")["code"].text, "Lng");
  EXPECT_EQ(report["LevelCount"].Ints(), (std::vector<long>{3, 8, 1}));

  const Json& units = report["units"];
  ASSERT_EQ(units.items.size(), 7u);
  EXPECT_EQ(units[1]["name"].text, "Ghost");
  EXPECT_TRUE(units[1]["prereq"].IsNull());
  EXPECT_EQ(units[2]["name"].text, "Phantom");
  EXPECT_TRUE(units[2]["prereq"].IsNull());
  // The tables give safe texts for values outside them.
  EXPECT_EQ(units[3]["roleText"].text, "???");
  EXPECT_EQ(units[4]["role"].Int(), 3);
  EXPECT_EQ(units[4]["roleText"].text, "Air");
  EXPECT_EQ(units[6]["obsoleteCode"].text, "Lon");
  // No advance lists the two units whose code names nothing.
  for (const Json& a : advances.items) {
    for (long u : a["units"].Ints()) {
      EXPECT_NE(u, 1) << a["name"].text;
      EXPECT_NE(u, 2) << a["name"].text;
    }
  }
}

TEST(CheckJson, StringsAreEscapedAsLatin1) {
  // Quote, backslash, a control byte, bytes of 128 and above.
  std::string name = "Q\"uote\\Back\x01\xE9t\xE9";
  std::string unit = "Unit\x7F\x80\xFF\tTab";
  std::string rules = "@CIVILIZE\n" + name + ", 1, 0, nil, Zz\x9F, 0, 0 ; Esc\n@IMPROVE\n@UNITS\n" +
                      unit + ", nil, 0, 1, 0, 1, 1, 10, 1, 1, 0, 0, Esc, 0\n@TERRAIN\n";
  std::string path = WriteScratchFile("escapes.txt", rules);

  CheckResult result = RunCheck({"--json", path});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_NE(result.out.find("\"Q\\\"uote\\\\Back\\u0001\\u00e9t\\u00e9\""), std::string::npos)
      << result.out;
  Json report = ParseOrFail(result.out);
  EXPECT_EQ(report["advances"][1]["name"].text, "Q\"uote\\Back\x01\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(report["advances"][1]["prereqCode2"].text, "Zz\xC2\x9F");
  EXPECT_EQ(report["units"][0]["name"].text, "Unit\x7F\xC2\x80\xC3\xBF\tTab");
  ASSERT_EQ(report["warnings"].items.size(), 1u);
  EXPECT_EQ(
      report["warnings"][0].text,
      "Advance \"Q\"uote\\Back\x01\xC3\xA9t\xC3\xA9\": prerequisite code \"Zz\xC2\x9F\" names "
      "no advance; it stands on level 0");

  // The text report shows the bytes as they are.
  CheckResult text = RunCheck({path});
  EXPECT_NE(text.out.find("  " + name + " [Esc]\n"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("    unit: " + unit + " 10c\n"), std::string::npos) << text.out;
}

std::string AdvanceLine(const std::string& name, const std::string& code,
                        const std::string& prereq1, const std::string& prereq2) {
  return name + ", 1, 0, " + prereq1 + ", " + prereq2 + ", 0, 0 ; " + code + "\n";
}

std::string UnitLine(const std::string& name, const std::string& prereq) {
  return name + ", nil, 0, 1, 0, 1, 1, 10, 1, 1, 0, 0, " + prereq + ", 0\n";
}

// Three-character codes for generated advances: A00 to Z99.
std::string Code(int n) {
  return std::string(1, (char)('A' + n / 100)) + (char)('0' + n / 10 % 10) + (char)('0' + n % 10);
}

TEST(CheckCapacity, NinetyNineLevelsInEitherOrder) {
  for (bool reversed : {false, true}) {
    SCOPED_TRACE(reversed ? "dependants first" : "prerequisites first");
    std::vector<std::string> lines;
    for (int k = 1; k <= 99; ++k) {
      std::string prereq = k == 1 ? "nil" : Code(k - 1);
      lines.push_back(AdvanceLine("Step " + std::to_string(k), Code(k), prereq, prereq));
    }
    if (reversed) std::reverse(lines.begin(), lines.end());
    std::string rules = "@CIVILIZE\n";
    for (const std::string& line : lines) rules += line;
    rules += "@IMPROVE\n@UNITS\n" + UnitLine("Deep Diver", Code(99)) + "@TERRAIN\n";
    Json report = RunJson({"--json", WriteScratchFile("deep.txt", rules)});
    EXPECT_EQ(report["MaxLevel"].Int(), 99);
    std::vector<long> counts = report["LevelCount"].Ints();
    EXPECT_EQ(counts, std::vector<long>(100, 1));
    std::vector<long> units = report["LevelMaxUnits"].Ints();
    ASSERT_EQ(units.size(), 100u);
    EXPECT_EQ(units[99], 1);
    EXPECT_EQ(report["units"][0]["prereq"].Int(), reversed ? 1 : 99);
  }
}

TEST(CheckCapacity, HundredDependantsAndHundredUnits) {
  std::string rules = "@CIVILIZE\n";
  for (int k = 0; k < 100; ++k) {
    rules += AdvanceLine("Branch " + std::to_string(k), Code(k), "nil", "nil");
  }
  rules += "@IMPROVE\n@UNITS\n";
  for (int k = 0; k < 100; ++k) rules += UnitLine("Crowd " + std::to_string(k), Code(7));
  rules += "@TERRAIN\n";
  Json report = RunJson({"--json", WriteScratchFile("wide.txt", rules)});
  EXPECT_EQ(report["advances"][0]["childCount"].Int(), 100);
  EXPECT_EQ(report["advances"][8]["units"].items.size(), 100u);
  EXPECT_EQ(report["advances"][8]["units"][99].Int(), 99);
  EXPECT_EQ(report["MaxLevelCount"].Int(), 100);
  EXPECT_EQ(report["LevelMaxUnits"].Ints(), (std::vector<long>{0, 100}));
}

TEST(CheckSample, SampleRulesFileLoadsWithTwelveToFifteenLevels) {
  CheckResult text = RunCheck({CHECK_SAMPLE_RULES});
  EXPECT_EQ(text.exitCode, 0) << text.err;
  EXPECT_NE(text.out.find("\nWarnings 0\n"), std::string::npos);

  Json report = RunJson({"--json", "--metrics", "11,13,0", CHECK_SAMPLE_RULES});
  long maxLevel = report["MaxLevel"].Int();
  EXPECT_GE(maxLevel, 12);
  EXPECT_LE(maxLevel, 15);
  EXPECT_EQ(report["LevelCount"].items.size(), (size_t)maxLevel + 1);
  size_t advances = report["advances"].items.size() - 1;  // less the root
  EXPECT_GE(advances, 85u);
  EXPECT_LE(advances, 95u);
  size_t units = report["units"].items.size();
  EXPECT_GE(units, 55u);
  EXPECT_LE(units, 65u);
  EXPECT_TRUE(report["warnings"].items.empty());
  // The rows of the levels add up to every advance with the root.
  long total = 0;
  for (long count : report["LevelCount"].Ints()) total += count;
  EXPECT_EQ(total, (long)advances + 1);
  EXPECT_EQ(report["metrics"]["ChartLines"].Int(), report["metrics"]["ChartHeight"].Int() / 13);
}

}  // namespace
