// lorvane-check end to end on files that load: the text and JSON reports and the warnings.
// Also the chart metrics and the sample rules file; what any other rules
// file gives is a case of tests/hostile/cases.tsv.
#include <gtest/gtest.h>
#include <string.h>

#include <algorithm>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "CheckRun.h"

namespace {

Json RunJson(const std::vector<std::string>& args) {
  CheckResult result = RunCheck(args);
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "");
  return ParseReport(result.out);
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// The fixtures of small.txt's reports hold them without their warnings,
// which the tests of warnings (below) check: small.out ends before
// "Warnings N", small.json has neither "warnings" nor "diagnostics". The
// reports' warnings are taken off here and held only to each other, so
// that a new warning that small.txt gives breaks none of these tests.
std::string TextWithoutWarnings(const std::string& text) {
  size_t at = text.rfind("\nWarnings ");
  if (at == std::string::npos) {
    ADD_FAILURE() << "no warnings in the text report:\n" << text;
    return text;
  }
  std::string rest = text.substr(at + 1);
  size_t lines = (size_t)std::count(rest.begin(), rest.end(), '\n');
  EXPECT_EQ(rest.substr(0, rest.find('\n')), "Warnings " + std::to_string(lines - 1)) << rest;
  return text.substr(0, at + 1);
}

Json JsonWithoutWarnings(Json report) {
  EXPECT_EQ(report["warnings"].size(), report["diagnostics"].size());
  report.erase("warnings");
  report.erase("diagnostics");
  return report;
}

TEST(CheckText, SmallFileGivesTheExpectedReport) {
  CheckResult result = RunCheck({FixturePath("small.txt")});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(TextWithoutWarnings(result.out), ReadWholeFile(FixturePath("small.out")));
}

// The small fixture's chart metrics: rows of 1, 5 and 4 boxes with
// at most 0, 2 and 1 units, and a detail font 9 wide and 13 high.
const char SmallMetricsText[] =
    "CharWidth 9\nBoxWidth 117\nColumnGap 58\nLineHeight 13\nRowGap 104\n"
    "LevelHeight 26 91 65\nChartWidth 875\nChartHeight 494\nChartLines 38\n";

TEST(CheckText, MetricsFollowTheStatistics) {
  CheckResult result = RunCheck({"--metrics", "9,13,0", FixturePath("small.txt")});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(TextWithoutWarnings(result.out),
            ReadWholeFile(FixturePath("small.out")) + SmallMetricsText);
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

// small.json is the whole report but its warnings, written by hand like
// small.out: the root first, then the file's order (Harbour is listed before the advance it
// needs and still lands on level 2), every key in its place.
TEST(CheckJson, SmallFileGivesTheExpectedReport) {
  Json report = JsonWithoutWarnings(RunJson({"--json", FixturePath("small.txt")}));
  // A part of a report, so not one that its schema would admit.
  Json expected = Json::parse(ReadWholeFile(FixturePath("small.json")));
  EXPECT_EQ(report, expected) << "as a patch of small.json: " << Json::diff(expected, report);
}

TEST(CheckJson, SmallFixtureMetrics) {
  Json report = RunJson({"--json", "--metrics", "9,13,0", FixturePath("small.txt")});
  EXPECT_EQ(Keys(report), (std::vector<std::string>{"advances", "units", "MaxLevel", "LevelCount",
                                                    "MaxLevelCount", "LevelMaxUnits", "metrics",
                                                    "warnings", "diagnostics"}));
  Json& m = report["metrics"];
  EXPECT_EQ(Keys(m),
            (std::vector<std::string>{"CharWidth", "BoxWidth", "ColumnGap", "LineHeight", "RowGap",
                                      "LevelHeight", "ChartWidth", "ChartHeight", "ChartLines"}));
  EXPECT_EQ(m["CharWidth"], 9);
  EXPECT_EQ(m["BoxWidth"], 117);
  EXPECT_EQ(m["ColumnGap"], 58);
  EXPECT_EQ(m["LineHeight"], 13);
  EXPECT_EQ(m["RowGap"], 104);
  EXPECT_EQ(m["LevelHeight"], Json({26, 91, 65}));
  EXPECT_EQ(m["ChartWidth"], 875);
  EXPECT_EQ(m["ChartHeight"], 494);
  EXPECT_EQ(m["ChartLines"], 38);
}

TEST(CheckJson, ExternalLeadingAddsToTheLineHeight) {
  // LineHeight 10 + 3; the option may also come after the path.
  Json report = RunJson({FixturePath("small.txt"), "--metrics", "9,10,3", "--json"});
  EXPECT_EQ(report["metrics"]["LineHeight"], 13);
  EXPECT_EQ(report["metrics"]["ChartHeight"], 494);
}

// Every warning, in order: the file's own first (warnings.txt is UTF-8),
// then advances in list order, then units in file order; each with its
// line (line 2 is 665 characters long), the index of the advance it
// concerns (a unit's is the advance whose box shows it, none for a unit
// that appears nowhere). The checker still exits 0.
struct ExpectedWarning {
  int line;
  int advance;
  const char* kind;
  const char* message;
};
const ExpectedWarning ExpectedWarnings[] = {
    {23, -1, "utf8-file",
     u8"The file is UTF-8 (its letters outside ASCII are UTF-8 sequences); the game reads "
     u8"Windows-1252, so \"\u00c9levage des chevaux\" shows as \"\u00c3\u2030levage des chevaux\""},
    {5, 2, "unknown-prerequisite",
     "Advance \"Lost Art\": prerequisite code \"Zzz\" names no advance; it stands on level 0"},
    {6, 3, "code-blank",
     "Advance \"Half Known\": prerequisite code \"Qq \" ends with a blank, which the game keeps as "
     "part of the code"},
    {6, 3, "unknown-prerequisite",
     "Advance \"Half Known\": prerequisite code \"Qq \" names no advance; it stands on level 0"},
    {7, 4, "code-repeated",
     "Advance \"Second Stone\": code \"Sto\" is already the code of \"Stone Tools\"; this advance "
     "never gets dependants"},
    {8, 5, "code-nil",
     "Advance \"Nullity\": code \"nil\" always names \"Primary Root\"; this advance never gets "
     "dependants"},
    {9, 6, "code-empty", "Advance \"Blank Code\" has an empty code"},
    {10, 7, "epoch-outside", "Advance \"Far Future\": epoch 5 is outside the epoch table (0 to 3)"},
    {10, 7, "category-outside",
     "Advance \"Far Future\": category 9 is outside the category table (0 to 4)"},
    {11, 8, "number-not-byte",
     "Advance \"Wrapped Era\": epoch 260 does not fit in a byte; it is stored as 4"},
    {11, 8, "epoch-outside",
     "Advance \"Wrapped Era\": epoch 4 is outside the epoch table (0 to 3)"},
    {11, 8, "number-not-byte",
     "Advance \"Wrapped Era\": category -1 does not fit in a byte; it is stored as 255"},
    {11, 8, "category-outside",
     "Advance \"Wrapped Era\": category 255 is outside the category table (0 to 4)"},
    {12, 9, "name-cut",
     "Advance name \"A Remarkably Long Advance Name\" is longer than 19 characters; it is cut to "
     "\"A Remarkably Long A\""},
    {13, 10, "code-cut",
     "Advance \"Long Code\": code \"ABCD\" is longer than 3 characters; it is cut to \"ABC\""},
    {14, 11, "code-cut",
     "Advance \"Spaced Code\": code \"X Y Z\" is longer than 3 characters; it is cut to \"X Y\""},
    {15, 12, "number-not-whole",
     "Advance \"Word Value\": aiValue \"five\" is not a whole number; the game reads it as 0"},
    {15, 12, "number-not-whole",
     "Advance \"Word Value\": modifier \"1x\" is not a whole number; the game reads it as 1"},
    {16, 13, "number-out-of-range",
     "Advance \"Huge Value\": aiValue 3000000000 is outside the 32-bit range; the game reads it "
     "as -1294967296"},
    {16, 13, "number-empty", "Advance \"Huge Value\": modifier is empty; the game reads it as 0"},
    {17, 14, "name-blank",
     "Advance name \"Blank End \" ends with a blank, which the game keeps as part of the name"},
    {18, 15, "code-cut",
     "Advance \"Code Blank\": code \"Cb x\" is longer than 3 characters; it is cut to \"Cb \""},
    {18, 15, "code-blank",
     "Advance \"Code Blank\": code \"Cb \" ends with a blank, which the game keeps as part of the "
     "code"},
    {19, 16, "indented-comment",
     "A line that begins with blanks before \";\" is no comment: the game reads it as the advance "
     "\"; Commented Out\""},
    {20, 17, "unknown-prerequisite",
     "Advance \"Typo Link\": prerequisite code \"sto\" names no advance; it stands on level 0; did "
     "you mean Sto (Stone Tools)?"},
    {21, 18, "unknown-prerequisite",
     "Advance \"Loop Head\": prerequisite code \"Fap\" names no advance; it stands on level 0; did "
     "you mean Far (Far Future)?"},
    {21, 18, "prerequisite-loop",
     "Advance \"Loop Head\" depends on itself through its prerequisites: Loop Head [Lph] -> Loop "
     "Tail [Lpt] -> Loop Head [Lph]; it loads only because \"Loop Head\" stands on level 0, a "
     "prerequisite code of it naming no advance"},
    {23, 20, "name-cut",
     u8"Advance name \"\u00c9levage des chevaux\" has 19 letters in UTF-8 but 20 as the game reads "
     u8"them (Windows-1252), more than 19; it is cut to \"\u00c3\u2030levage des chevau\""},
    {27, -1, "unknown-unit-advance",
     "Unit \"Ghost\": prerequisite code \"Qqq\" names no advance; it appears nowhere in the chart"},
    {28, -1, "unknown-unit-advance",
     "Unit \"Phantom\": prerequisite code \"Hid\" names no advance; it appears nowhere in the "
     "chart"},
    {29, 1, "domain-outside", "Unit \"Sky Whale\": domain 3 is outside the role table (0 to 2)"},
    {29, 1, "role-outside", "Unit \"Sky Whale\": role 9 is outside the role table (0 to 7)"},
    {30, 1, "number-not-byte",
     "Unit \"Odd Role\": role 259 does not fit in a byte; it is stored as 3"},
    {31, 1, "domain-outside",
     "Unit \"Negative Domain\": domain -1 is outside the role table (0 to 2)"},
    {32, 1, "name-cut",
     "Unit name \"An Extremely Long Unit Name\" is longer than 19 characters; it is cut to \"An "
     "Extremely Long U\""},
    {32, 1, "obsolete-code-cut",
     "Unit \"An Extremely Long U\": obsolete-by code \"Longcode\" is longer than 3 characters; it "
     "is cut to \"Lon\""},
    {33, 1, "number-not-whole",
     "Unit \"Bad Numbers\": move \"1x\" is not a whole number; the game reads it as 1"},
    {33, 1, "number-empty", "Unit \"Bad Numbers\": attack is empty; the game reads it as 0"},
    {33, 1, "number-out-of-range",
     "Unit \"Bad Numbers\": cost 99999999999 is outside the 32-bit range; the game reads it as "
     "1215752191"},
    {34, 1, "flags-not-binary",
     "Unit \"Bad Flags\": flags \"0012\" hold digits other than 0 and 1; the game reads them as 1"},
    {35, 1, "flags-out-of-range",
     "Unit \"Long Flags\": flags 11111111111111111111111111111111 are outside the 32-bit range; "
     "the "
     "game reads them as 1111111111111111111111111111111"},
    {36, 1, "flags-empty", "Unit \"Empty Flags\": flags are empty; the game reads them as 0"},
    {37, 1, "name-blank",
     "Unit name \"Blank Unit \" ends with a blank, which the game keeps as part of the name"},
    {38, 1, "unknown-obsolete",
     "Unit \"Obsolete Typo\": obsolete-by code \"sto\" names no advance; the unit never becomes "
     "obsolete; did you mean Sto (Stone Tools)?"},
    {39, 1, "code-blank",
     "Unit \"Blank Obsolete\": obsolete-by code \"Fa \" ends with a blank, which the game keeps as "
     "part of the code"},
    {39, 1, "unknown-obsolete",
     "Unit \"Blank Obsolete\": obsolete-by code \"Fa \" names no advance; the unit never becomes "
     "obsolete; did you mean Far (Far Future)?"},
    {40, 1, "unit-name-repeated",
     "Unit \"Militia\": the unit on line 26 has the same name; the two cannot be told apart by "
     "name"},
    {41, 1, "unit-name-repeated",
     "Unit \"MILITIA\": the unit \"Militia\" on line 26 has the same name, case aside; the two "
     "cannot be told apart by name"},
    {42, 1, "indented-comment",
     "A line that begins with blanks before \";\" is no comment: the game reads it as the unit \"; "
     "Old Unit\""},
};

TEST(Warnings, DiagnosticsGiveTheLineTheAdvanceAndTheLoop) {
  Json report = RunJson({"--json", FixturePath("warnings.txt")});
  Json& diagnostics = report["diagnostics"];
  ASSERT_EQ(diagnostics.size(), std::size(ExpectedWarnings));
  ASSERT_EQ(report["warnings"].size(), std::size(ExpectedWarnings));
  for (size_t i = 0; i < diagnostics.size(); ++i) {
    const ExpectedWarning& expected = ExpectedWarnings[i];
    SCOPED_TRACE(expected.message);
    const Json& d = diagnostics[i];
    EXPECT_EQ(report["warnings"][i], expected.message);
    EXPECT_EQ(d["line"], expected.line);
    EXPECT_EQ(d["severity"], "warning");
    EXPECT_EQ(d["kind"], expected.kind);
    EXPECT_EQ(d["message"], expected.message);
    if (expected.advance < 0) {
      EXPECT_FALSE(d.contains("advance"));
    } else {
      EXPECT_EQ(d["advance"], expected.advance);
    }
    // A loop lists its advances, each needing the next, the last the first.
    if (strstr(expected.message, "depends on itself") == nullptr) {
      EXPECT_FALSE(d.contains("loop"));
    } else {
      EXPECT_EQ(d["loop"], Json({18, 19}));
    }
  }
}

TEST(Warnings, TextEndsWithTheSameWarnings) {
  CheckResult result = RunCheck({FixturePath("warnings.txt")});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err, "");
  std::string expected = "Warnings " + std::to_string(std::size(ExpectedWarnings)) + "\n";
  for (const ExpectedWarning& warning : ExpectedWarnings) {
    expected += FixturePath("warnings.txt") + ":" + std::to_string(warning.line) +
                ": warning: " + warning.message + "\n";
  }
  ASSERT_GE(result.out.size(), expected.size());
  EXPECT_EQ(result.out.substr(result.out.size() - expected.size()), expected);
}

TEST(Warnings, RecordsShowWhatTheViewerDoes) {
  Json report = RunJson({"--json", FixturePath("warnings.txt")});
  Json& advances = report["advances"];
  // The root and the twenty advances of the file.
  ASSERT_EQ(advances.size(), 21u);
  auto find = [&](const std::string& name) -> Json {
    for (const Json& a : advances) {
      if (a.at("name") == name) return a;
    }
    ADD_FAILURE() << "no advance " << name;
    return Json::object();
  };
  Json lost = find("Lost Art");
  EXPECT_EQ(lost["level"], 0);
  EXPECT_EQ(lost["prereq1"], nullptr);
  EXPECT_EQ(lost["prereq2"], 0);
  EXPECT_EQ(find("Half Known")["level"], 0);
  EXPECT_EQ(find("Second Stone")["children"], Json::array());
  EXPECT_EQ(find("Long Code")["code"], "ABC");
  EXPECT_EQ(find("Spaced Code")["code"], "X Y");
  EXPECT_EQ(find("A Remarkably Long A")["code"], "Lng");
  EXPECT_EQ(report["LevelCount"], Json({5, 15, 1}));
  // What the game reads for numbers that are none.
  EXPECT_EQ(find("Word Value")["aiValue"], 0);
  EXPECT_EQ(find("Word Value")["modifier"], 1);
  EXPECT_EQ(find("Huge Value")["aiValue"], -1294967296);
  EXPECT_EQ(find("; Commented Out")["code"], "Cmo");
  EXPECT_EQ(find("Loop Head")["level"], 0);
  EXPECT_EQ(find("Loop Tail")["level"], 1);

  Json& units = report["units"];
  ASSERT_EQ(units.size(), 17u);
  EXPECT_EQ(units[7]["move"], 1);
  EXPECT_EQ(units[7]["cost"], (int32_t)(99999999999LL * 10 % (1LL << 32)));
  EXPECT_EQ(units[8]["flags"], 1);
  EXPECT_EQ(units[9]["flags"], INT32_MAX);
  EXPECT_EQ(units[1]["name"], "Ghost");
  EXPECT_EQ(units[1]["prereq"], nullptr);
  EXPECT_EQ(units[2]["name"], "Phantom");
  EXPECT_EQ(units[2]["prereq"], nullptr);
  // The tables give safe texts for values outside them.
  EXPECT_EQ(units[3]["roleText"], "???");
  EXPECT_EQ(units[4]["role"], 3);
  EXPECT_EQ(units[4]["roleText"], "Air");
  EXPECT_EQ(units[6]["obsoleteCode"], "Lon");
  // No advance lists the two units whose code names nothing.
  for (const Json& a : advances) {
    for (const Json& u : a.at("units")) {
      EXPECT_NE(u, 1) << a.at("name");
      EXPECT_NE(u, 2) << a.at("name");
    }
  }
}

TEST(CheckJson, StringsAreReadAsWindows1252) {
  // Quote, backslash, control bytes, bytes of 128 and above: through the
  // code page, controls and undefined bytes as U+FFFD.
  std::string name = "Q\"uote\\Back\x01\xE9t\xE9";
  std::string unit = "Unit\x7F\x80\xFF\tTab";
  std::string rules = "@CIVILIZE\n" + name + ", 1, 0, nil, Zz\x9F, 0, 0 ; Esc\n@IMPROVE\n@UNITS\n" +
                      unit + ", nil, 0, 1, 0, 1, 1, 10, 1, 1, 0, 0, Esc, 0\n@TERRAIN\n";
  std::string path = WriteScratchFile("escapes.txt", rules);

  // Parsed as ASCII: bytes of 128 and above come out as escapes.
  Json report = RunJson({"--json", path});
  EXPECT_EQ(report["advances"][1]["name"], u8"Q\"uote\\Back\uFFFD\u00E9t\u00E9");
  EXPECT_EQ(report["advances"][1]["prereqCode2"], u8"Zz\u0178");
  EXPECT_EQ(report["units"][0]["name"], u8"Unit\uFFFD\u20AC\u00FF\uFFFDTab");
  ASSERT_EQ(report["warnings"].size(), 1u);
  EXPECT_EQ(report["warnings"][0],
            u8"Advance \"Q\"uote\\Back\uFFFD\u00E9t\u00E9\": prerequisite code \"Zz\u0178\" "
            u8"names no advance; it stands on level 0");

  // The text report shows them the same way: no byte reaches the
  // terminal raw, the warning names its line.
  CheckResult text = RunCheck({path});
  EXPECT_NE(text.out.find(u8"  Q\"uote\\Back\uFFFD\u00E9t\u00E9 [Esc]\n"), std::string::npos)
      << text.out;
  EXPECT_NE(text.out.find(u8"    unit: Unit\uFFFD\u20AC\u00FF\uFFFDTab 10c\n"), std::string::npos)
      << text.out;
  EXPECT_NE(text.out.find(path + u8":2: warning: Advance \"Q\"uote\\Back\uFFFD"), std::string::npos)
      << text.out;
  auto control = [](char c) { return c != '\n' && ((unsigned char)c < 0x20 || c == 0x7F); };
  EXPECT_EQ(std::count_if(text.out.begin(), text.out.end(), control), 0) << text.out;
}

// The rules file's name as every output shows it, the text and the JSON
// alike: a name that is no UTF-8 read as Windows-1252, its controls and
// its bidirectional controls as U+FFFD.
TEST(CheckText, FileNameShownLikeEveryText) {
  const std::string warned =
      "@CIVILIZE\nLost, 1, 0, Zzz, nil, 0, 0 ; Los\n@IMPROVE\n@UNITS\n@TERRAIN\n";
  const std::string refused =
      "@CIVILIZE\nLoop, 1, 0, Lop, Lop, 0, 0 ; Lop\n@IMPROVE\n@UNITS\n@TERRAIN\n";
  const struct {
    const char* name;
    const char* shown;
  } names[] = {
      {"esc\x1b[31m.txt", u8"esc\uFFFD[31m.txt"},
      {"caf\xE9\x80.txt", u8"caf\u00E9\u20AC.txt"},
      {"c1\xC2\x9B"
       "1m.txt",
       u8"c1\uFFFD1m.txt"},
      {"gro\xC3\x9F\xE2\x80\xAEtxt.exe", u8"gro\u00DF\uFFFDtxt.exe"},
      {"iso\xE2\x81\xA7\xE2\x80\x8F.txt", u8"iso\uFFFD\uFFFD.txt"},
  };
  for (const auto& n : names) {
    SCOPED_TRACE(n.shown);
    std::string path = WriteScratchFile(n.name, warned);
    std::string shown = path.substr(0, path.size() - strlen(n.name)) + n.shown;
    std::string warning = shown + ":2: warning: Advance \"Lost\"";
    EXPECT_NE(RunCheck({path}).out.find(warning), std::string::npos);
    Json diff = ParseReport(RunCheck({"--json", "--diff", path, path}).out);
    EXPECT_EQ(diff["old"], shown);
    EXPECT_EQ(diff["new"], shown);
    std::string loop = WriteScratchFile(n.name, refused);
    CheckResult result = RunCheck({"--json", "--diff", path, loop});
    EXPECT_EQ(result.exitCode, 1);
    std::string shownLoop = loop.substr(0, loop.size() - strlen(n.name)) + n.shown;
    EXPECT_EQ(result.err.rfind(shownLoop + ":2: error: Advance \"Loop\"", 0), 0u) << result.err;
  }
}

TEST(CheckSample, SampleRulesFileLoadsWithTwelveToFifteenLevels) {
  CheckResult text = RunCheck({CHECK_SAMPLE_RULES});
  EXPECT_EQ(text.exitCode, 0) << text.err;
  EXPECT_NE(text.out.find("\nWarnings 0\n"), std::string::npos);

  Json report = RunJson({"--json", "--metrics", "11,13,0", CHECK_SAMPLE_RULES});
  long maxLevel = report["MaxLevel"].get<long>();
  EXPECT_GE(maxLevel, 12);
  EXPECT_LE(maxLevel, 15);
  EXPECT_EQ(report["LevelCount"].size(), (size_t)maxLevel + 1);
  size_t advances = report["advances"].size() - 1;  // less the root
  EXPECT_GE(advances, 85u);
  EXPECT_LE(advances, 95u);
  size_t units = report["units"].size();
  EXPECT_GE(units, 55u);
  EXPECT_LE(units, 65u);
  EXPECT_EQ(report["warnings"], Json::array());
  // The rows of the levels add up to every advance with the root.
  long total = 0;
  for (long count : report["LevelCount"].get<std::vector<long>>()) total += count;
  EXPECT_EQ(total, (long)advances + 1);
  // The viewer's bitmap of the sample under Wine's fonts.
  EXPECT_EQ(report["metrics"]["ChartWidth"], 1712);
  EXPECT_EQ(report["metrics"]["ChartHeight"], 2990);
  EXPECT_EQ(report["metrics"]["ChartLines"], 230);
}

// The sample's unit lines, split at their commas: the figures --units shows
// (cost ten times the file's number, as in the chart), in file order, the
// same in the text table, the CSV and the JSON.
TEST(CheckUnits, SampleTableIsTheUnitLines) {
  std::istringstream file(ReadWholeFile(CHECK_SAMPLE_RULES));
  std::vector<std::vector<std::string>> lines;  // the fields, then the line number
  bool inUnits = false;
  int number = 0;
  for (std::string line; std::getline(file, line);) {
    ++number;
    if (line.rfind("@", 0) == 0) inUnits = line == "@UNITS";
    if (!inUnits || line.empty() || line[0] == ';' || line[0] == '@') continue;
    std::vector<std::string> fields;
    std::istringstream split(line);
    for (std::string field; std::getline(split, field, ',');) {
      size_t first = field.find_first_not_of(' ');
      fields.push_back(field.substr(first, field.find_last_not_of(' ') - first + 1));
    }
    fields.push_back(std::to_string(number));
    lines.push_back(fields);
  }
  ASSERT_GE(lines.size(), 55u);

  Json table = RunJson({"--units", "--json", CHECK_SAMPLE_RULES});
  ASSERT_EQ(table["units"].size(), lines.size());
  CheckResult text = RunCheck({"--units", CHECK_SAMPLE_RULES});
  CheckResult csv = RunCheck({CHECK_SAMPLE_RULES, "--csv", "--units"});
  EXPECT_EQ(text.exitCode, 0);
  EXPECT_EQ(csv.exitCode, 0);
  std::istringstream textRows(text.out);
  std::istringstream csvRows(csv.out);
  std::string row;
  std::getline(textRows, row);
  EXPECT_EQ(row.substr(0, 12), "Name        ");
  std::getline(csvRows, row);
  EXPECT_EQ(row,
            "\xEF\xBB\xBFName,Domain,Move,Range,Attack,Defence,HP,FP,Cost,Hold,Role,Flags,Advance,"
            "Code,Line\r");
  const char* const domains[] = {"land", "air", "sea"};
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::vector<std::string>& f = lines[i];
    const Json& unit = table["units"][i];
    SCOPED_TRACE("line " + f[14]);
    EXPECT_EQ(unit["name"], f[0]);
    EXPECT_EQ(unit["domain"], domains[std::stoi(f[2])]);
    const char* const figures[] = {"move", "range", "attack", "defense", "hitPoints", "firepower"};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(unit[figures[k]], std::stoi(f[3 + k])) << figures[k];
    EXPECT_EQ(unit["cost"], 10 * std::stoi(f[9]));
    EXPECT_EQ(unit["hold"], std::stoi(f[10]));
    EXPECT_EQ(unit["code"], f[12]);
    EXPECT_EQ(unit["line"], std::stoi(f[14]));
    EXPECT_FALSE(unit["advance"].is_null());
    // The text row: the columns apart by two blanks or more; the CSV row.
    std::vector<std::string> cells;
    for (const auto& member : unit.items()) {
      if (member.key() == "prereq") continue;
      const Json& value = member.value();
      cells.push_back(value.is_string() ? value.get<std::string>() : value.dump());
    }
    std::string expectedCsv;
    std::vector<std::string> shown;
    for (const std::string& cell : cells) {
      expectedCsv += (expectedCsv.empty() ? "" : ",") + cell;
      shown.push_back(cell.empty() ? "-" : cell);
    }
    std::getline(csvRows, row);
    EXPECT_EQ(row, expectedCsv + "\r");
    std::getline(textRows, row);
    std::vector<std::string> columns;
    for (size_t at = 0; at < row.size();) {
      size_t start = row.find_first_not_of(' ', at);
      if (start == std::string::npos) break;
      size_t end = row.find("  ", start);
      columns.push_back(row.substr(start, end == std::string::npos ? end : end - start));
      at = end == std::string::npos ? row.size() : end;
    }
    EXPECT_EQ(columns, shown);
  }
}

}  // namespace
