// lorvane-check --diff end to end: pairs of small files, their JSON items and each change's
// line of the text. The base file's indexes: 1 Stone Tools, 2 Fire Keeping, 3 Bronze Casting (level
// 2), 4 Barter, 5 Ledgers (level 3), 6 Star Maps (level 4); units 0 Militia, 1 Barge.
#include <gtest/gtest.h>
#include <string.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "CheckRun.h"

namespace {

const char Base[] =
    "@CIVILIZE\n"
    "Stone Tools, 1, 0, nil, nil, 0, 0 ; Sto\n"
    "Fire Keeping, 2, 1, nil, nil, 0, 2 ; Fir\n"
    "Bronze Casting, 6, 1, Sto, Fir, 1, 4 ; Brz\n"
    "Barter, 3, -1, nil, nil, 1, 1 ; Bar\n"
    "Ledgers, 2, 0, Bar, Brz, 2, 1 ; Led\n"
    "Star Maps, 1, 3, Led, Fir, 3, 3 ; Sta\n"
    "@IMPROVE\n"
    "@UNITS\n"
    "Militia, nil, 0, 1, 0, 1, 1, 10, 1, 1, 0, 1, Sto, 000000000000000\n"
    "Barge, nil, 2, 3, 0, 0, 1, 10, 1, 4, 2, 4, Brz, 100000000000001\n"
    "@TERRAIN\n";

struct Edit {
  const char* from;
  const char* to;
};

struct DiffCase {
  const char* name;
  std::vector<Edit> edits;  // applied to Base, in order, to give the newer file
  const char* items;        // the non-empty lists of the JSON report
  const char* text;         // the text report without its summary line
};

void PrintTo(const DiffCase& c, std::ostream* os) { *os << c.name; }

std::string Edited(const std::vector<Edit>& edits) {
  std::string text = Base;
  for (const Edit& e : edits) {
    size_t at = text.find(e.from);
    EXPECT_NE(at, std::string::npos) << e.from;
    if (at != std::string::npos) text.replace(at, strlen(e.from), e.to);
  }
  return text;
}

// The line of the file's advance (or unit) section that begins with the
// name and its comma; 0 for none.
int LineOfName(const std::string& file, const std::string& name, bool unit) {
  std::string section = unit ? "@UNITS" : "@CIVILIZE";
  bool inside = false;
  int number = 0;
  for (size_t start = 0; start < file.size(); start = file.find('\n', start) + 1) {
    std::string line = file.substr(start, file.find('\n', start) - start);
    ++number;
    if (line == section) inside = true;
    if (line == "@IMPROVE" || line == "@TERRAIN") inside = false;
    if (inside && line.compare(0, name.size() + 1, name + ",") == 0) return number;
    if (file.find('\n', start) == std::string::npos) break;
  }
  return 0;
}

// What a change line says after its place, by its heading.
const std::pair<const char*, const char*> Words[] = {{"Advances added", "added"},
                                                     {"Advances removed", "removed"},
                                                     {"Advances renamed", "renamed"},
                                                     {"Advances recoded", "recoded"},
                                                     {"Advance fields changed", "changed"},
                                                     {"Prerequisites changed", "relinked"},
                                                     {"Levels moved", "moved"},
                                                     {"Routes changed", "route of"},
                                                     {"Units added", "unit added"},
                                                     {"Units removed", "unit removed"},
                                                     {"Units moved", "unit moved"},
                                                     {"Unit figures changed", "unit changed"}};

// The text report with each change's place and word checked against the
// places given, in order, and taken off (the line indented instead), and
// the warnings checked against the records and taken off.
std::string WithoutPlaces(const std::string& text, const std::vector<std::string>& places,
                          const std::string& newPath, const Json& warnings) {
  std::string out;
  std::string word;
  size_t change = 0;
  size_t warning = 0;
  bool inWarnings = false;
  for (size_t start = 0; start < text.size(); start = text.find('\n', start) + 1) {
    std::string line = text.substr(start, text.find('\n', start) - start);
    if (line.compare(0, 10, "Warnings (") == 0) {
      EXPECT_EQ(line, "Warnings (" + std::to_string(warnings.size()) + ")");
      inWarnings = true;
      continue;
    }
    if (inWarnings && warning < warnings.size()) {
      const Json& w = warnings[warning++];
      EXPECT_EQ(line, newPath + ":" + std::to_string(w["line"].get<int>()) +
                          ": warning: " + w["message"].get<std::string>());
      continue;
    }
    bool heading = false;
    for (const auto& kind : Words) {
      if (line.compare(0, strlen(kind.first) + 2, std::string(kind.first) + " (") == 0) {
        word = kind.second;
        heading = true;
      }
    }
    if (heading || line == "No differences" || line.compare(0, 9, "Summary: ") == 0) {
      out += line + "\n";
    } else if (change < places.size()) {
      std::string place = places[change++] + ": " + word + " ";
      EXPECT_EQ(line.substr(0, place.size()), place);
      out += "  " + line.substr(std::min(place.size(), line.size())) + "\n";
    } else {
      ADD_FAILURE() << "a line of no change: " << line;
    }
  }
  EXPECT_EQ(change, places.size());
  EXPECT_EQ(warning, warnings.size());
  return out;
}

const char* const AdvanceKinds[] = {"added",   "removed",       "renamed", "recoded",
                                    "changed", "prerequisites", "levels",  "routes"};
const char* const UnitKinds[] = {"added", "removed", "moved", "changed"};

class CheckDiffPairs : public testing::TestWithParam<DiffCase> {};

TEST_P(CheckDiffPairs, ReportsEachChange) {
  const DiffCase& c = GetParam();
  std::string before = WriteScratchFile("old.txt", Base);
  std::string afterText = Edited(c.edits);
  std::string after = WriteScratchFile("new.txt", afterText);

  CheckResult json = RunCheck({"--json", "--diff", before, after});
  EXPECT_EQ(json.exitCode, 0);
  EXPECT_EQ(json.err, "");
  Json report = ParseReport(json.out);
  Json expected = Json::parse(c.items);
  EXPECT_EQ(Keys(report),
            (std::vector<std::string>{"old", "new", "advances", "units", "warnings", "summary"}));
  EXPECT_EQ(report["old"], before);
  EXPECT_EQ(report["new"], after);
  // NEW's warnings, as its own report has them.
  EXPECT_EQ(report["warnings"], ParseReport(RunCheck({"--json", after}).out)["diagnostics"]);
  EXPECT_EQ(report["summary"]["warnings"], report["warnings"].size());
  // Each list item by item; lists the case leaves out are empty. The
  // summary counts them. Each item's line is its advance's or unit's in
  // NEW, or in OLD for what NEW no longer has; the text places it there.
  std::vector<std::string> places;
  for (const char* group : {"advances", "units"}) {
    bool advances = group[0] == 'a';
    std::vector<std::string> kinds(advances ? std::begin(AdvanceKinds) : std::begin(UnitKinds),
                                   advances ? std::end(AdvanceKinds) : std::end(UnitKinds));
    EXPECT_EQ(Keys(report[group]), kinds);
    for (const std::string& kind : kinds) {
      SCOPED_TRACE(std::string(group) + "." + kind);
      Json want = expected.contains(group) && expected[group].contains(kind) ? expected[group][kind]
                                                                             : Json::array();
      Json got = report[group][kind];
      ASSERT_TRUE(got.is_array());
      ASSERT_EQ(got.size(), want.size()) << got.dump(1);
      for (size_t i = 0; i < got.size(); ++i) {
        Json item = got[i];
        bool gone = item["new"].is_null();
        int line = LineOfName(gone ? std::string(Base) : afterText, item["name"], !advances);
        EXPECT_EQ(item["line"], line) << i;
        places.push_back((gone ? before : after) + ":" + std::to_string(line));
        item.erase("line");
        if (item.contains("cause") && item["cause"].is_object()) {
          EXPECT_EQ(item["cause"]["line"], LineOfName(afterText, item["cause"]["name"], false));
          item["cause"].erase("line");
        }
        EXPECT_EQ(item, want[i]) << i;
      }
      EXPECT_EQ(report["summary"][group][kind], got.size());
    }
  }

  CheckResult text = RunCheck({"--diff", before, after});
  EXPECT_EQ(text.exitCode, 0);
  EXPECT_EQ(text.err, "");
  std::string shown = WithoutPlaces(text.out, places, after, report["warnings"]);
  size_t summary = shown.rfind("Summary: ");
  if (std::string(c.text) == "No differences\n") {
    EXPECT_EQ(shown, c.text);
  } else {
    ASSERT_NE(summary, std::string::npos) << text.out;
    EXPECT_EQ(shown.substr(0, summary), c.text);
    EXPECT_EQ(shown.find('\n', summary), shown.size() - 1);
    EXPECT_NE(shown.find("; warnings " + std::to_string(report["warnings"].size()) + "; ", summary),
              std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, CheckDiffPairs,
    testing::Values(
        DiffCase{"Identical", {}, "{}", "No differences\n"},
        // The order of the two prerequisites changes neither level nor route.
        DiffCase{"PrerequisitesSwapped",
                 {{"Sto, Fir, 1, 4", "Fir, Sto, 1, 4"}},
                 "{}",
                 "No differences\n"},
        DiffCase{"AdvanceAdded",
                 {{"@IMPROVE", "Wheel, 2, 0, Sto, Fir, 0, 4 ; Whl\n@IMPROVE"}},
                 R"({"advances": {"added": [
                     {"old": null, "new": 7, "code": "Whl", "name": "Wheel", "level": 2}]}})",
                 "Advances added (1)\n  Wheel [Whl], level 2\n"},
        DiffCase{"AdvanceRemoved",
                 {{"Star Maps, 1, 3, Led, Fir, 3, 3 ; Sta\n", ""}},
                 R"({"advances": {"removed": [
                     {"old": 6, "new": null, "code": "Sta", "name": "Star Maps", "level": 4}]}})",
                 "Advances removed (1)\n  Star Maps [Sta], level 4\n"},
        DiffCase{"Renamed",
                 {{"Barter,", "Trade Fairs,"}},
                 R"({"advances": {"renamed": [
                     {"old": 4, "new": 4, "code": "Bar", "name": "Trade Fairs",
                      "field": "name", "from": "Barter", "to": "Trade Fairs"}]}})",
                 "Advances renamed (1)\n  Barter -> Trade Fairs [Bar]\n"},
        // Its dependants follow the new code: nothing else changes.
        DiffCase{"Recoded",
                 {{"; Fir", "; Frk"}, {"Sto, Fir", "Sto, Frk"}, {"Led, Fir", "Led, Frk"}},
                 R"({"advances": {"recoded": [
                     {"old": 2, "new": 2, "code": "Frk", "name": "Fire Keeping",
                      "field": "code", "from": "Fir", "to": "Frk"}]}})",
                 "Advances recoded (1)\n  Fire Keeping [Fir] -> [Frk]\n"},
        // Matched by name, ASCII case aside: renamed and recoded at once.
        DiffCase{"RecodedWithTheNamesCase",
                 {{"Barter, 3, -1, nil, nil, 1, 1 ; Bar", "BARTER, 3, -1, nil, nil, 1, 1 ; Brt"},
                  {"Ledgers, 2, 0, Bar", "Ledgers, 2, 0, Brt"}},
                 R"({"advances": {
                     "renamed": [{"old": 4, "new": 4, "code": "Brt", "name": "BARTER",
                                  "field": "name", "from": "Barter", "to": "BARTER"}],
                     "recoded": [{"old": 4, "new": 4, "code": "Brt", "name": "BARTER",
                                  "field": "code", "from": "Bar", "to": "Brt"}]}})",
                 "Advances renamed (1)\n  Barter -> BARTER [Brt]\n"
                 "Advances recoded (1)\n  BARTER [Bar] -> [Brt]\n"},
        // Its dependants still name the old code, which now names nothing:
        // they fall to level 0 (Bronze Casting, Star Maps) and take Ledgers
        // with them; three routes shorten.
        DiffCase{"RecodedAlone",
                 {{"; Fir", "; Frk"}},
                 R"({"advances": {
                     "recoded": [{"old": 2, "new": 2, "code": "Frk", "name": "Fire Keeping",
                                  "field": "code", "from": "Fir", "to": "Frk"}],
                     "prerequisites": [
                       {"old": 3, "new": 3, "code": "Brz", "name": "Bronze Casting",
                        "field": "prerequisites",
                        "from": [{"index": 1, "code": "Sto", "name": "Stone Tools"},
                                 {"index": 2, "code": "Fir", "name": "Fire Keeping"}],
                        "to": [{"index": 1, "code": "Sto", "name": "Stone Tools"},
                               {"index": null, "code": "Fir", "name": null}]},
                       {"old": 6, "new": 6, "code": "Sta", "name": "Star Maps",
                        "field": "prerequisites",
                        "from": [{"index": 5, "code": "Led", "name": "Ledgers"},
                                 {"index": 2, "code": "Fir", "name": "Fire Keeping"}],
                        "to": [{"index": 5, "code": "Led", "name": "Ledgers"},
                               {"index": null, "code": "Fir", "name": null}]}],
                     "levels": [
                       {"old": 3, "new": 3, "code": "Brz", "name": "Bronze Casting",
                        "field": "level", "from": 2, "to": 0, "cause": null},
                       {"old": 5, "new": 5, "code": "Led", "name": "Ledgers",
                        "field": "level", "from": 3, "to": 2,
                        "cause": {"old": 3, "new": 3, "code": "Brz", "name": "Bronze Casting",
                                  "from": [{"index": 2, "code": "Fir", "name": "Fire Keeping"}],
                                  "to": [{"index": null, "code": "Fir", "name": null}]}},
                       {"old": 6, "new": 6, "code": "Sta", "name": "Star Maps",
                        "field": "level", "from": 4, "to": 0, "cause": null}],
                     "routes": [
                       {"old": 3, "new": 3, "code": "Brz", "name": "Bronze Casting",
                        "field": "route", "from": 2, "to": 1},
                       {"old": 5, "new": 5, "code": "Led", "name": "Ledgers",
                        "field": "route", "from": 4, "to": 3},
                       {"old": 6, "new": 6, "code": "Sta", "name": "Star Maps",
                        "field": "route", "from": 5, "to": 4}]}})",
                 "Advances recoded (1)\n  Fire Keeping [Fir] -> [Frk]\n"
                 "Prerequisites changed (2)\n"
                 "  Bronze Casting [Brz]: Stone Tools [Sto], Fire Keeping [Fir] -> Stone Tools "
                 "[Sto], \"Fir\" (names no advance)\n"
                 "  Star Maps [Sta]: Ledgers [Led], Fire Keeping [Fir] -> Ledgers [Led], \"Fir\" "
                 "(names no advance)\n"
                 "Levels moved (3)\n"
                 "  Bronze Casting [Brz]: level 2 -> 0\n"
                 "  Ledgers [Led]: level 3 -> 2, through Bronze Casting [Brz]: Fire Keeping [Fir] "
                 "-> \"Fir\" (names no advance)\n"
                 "  Star Maps [Sta]: level 4 -> 0\n"
                 "Routes changed (3)\n"
                 "  Bronze Casting [Brz]: 2 -> 1 advances\n"
                 "  Ledgers [Led]: 4 -> 3 advances\n"
                 "  Star Maps [Sta]: 5 -> 4 advances\n"},
        // One prerequisite more at the top moves three advances below it,
        // which keep their own links; their routes are the same length.
        DiffCase{"LevelMovedThroughAnAncestor",
                 {{"Fire Keeping, 2, 1, nil, nil", "Fire Keeping, 2, 1, Sto, nil"}},
                 R"({"advances": {
                     "prerequisites": [
                       {"old": 2, "new": 2, "code": "Fir", "name": "Fire Keeping",
                        "field": "prerequisites",
                        "from": [{"index": 0, "code": "nil", "name": "Primary Root"},
                                 {"index": 0, "code": "nil", "name": "Primary Root"}],
                        "to": [{"index": 1, "code": "Sto", "name": "Stone Tools"},
                               {"index": 0, "code": "nil", "name": "Primary Root"}]}],
                     "levels": [
                       {"old": 2, "new": 2, "code": "Fir", "name": "Fire Keeping",
                        "field": "level", "from": 1, "to": 2, "cause": null},
                       {"old": 3, "new": 3, "code": "Brz", "name": "Bronze Casting",
                        "field": "level", "from": 2, "to": 3,
                        "cause": {"old": 2, "new": 2, "code": "Fir", "name": "Fire Keeping",
                                  "from": [{"index": 0, "code": "nil", "name": "Primary Root"}],
                                  "to": [{"index": 1, "code": "Sto", "name": "Stone Tools"}]}},
                       {"old": 5, "new": 5, "code": "Led", "name": "Ledgers",
                        "field": "level", "from": 3, "to": 4,
                        "cause": {"old": 2, "new": 2, "code": "Fir", "name": "Fire Keeping",
                                  "from": [{"index": 0, "code": "nil", "name": "Primary Root"}],
                                  "to": [{"index": 1, "code": "Sto", "name": "Stone Tools"}]}},
                       {"old": 6, "new": 6, "code": "Sta", "name": "Star Maps",
                        "field": "level", "from": 4, "to": 5,
                        "cause": {"old": 2, "new": 2, "code": "Fir", "name": "Fire Keeping",
                                  "from": [{"index": 0, "code": "nil", "name": "Primary Root"}],
                                  "to": [{"index": 1, "code": "Sto", "name": "Stone Tools"}]}}],
                     "routes": [
                       {"old": 2, "new": 2, "code": "Fir", "name": "Fire Keeping",
                        "field": "route", "from": 0, "to": 1}]}})",
                 "Prerequisites changed (1)\n"
                 "  Fire Keeping [Fir]: Primary Root [nil], Primary Root [nil] -> Stone Tools "
                 "[Sto], Primary Root [nil]\n"
                 "Levels moved (4)\n"
                 "  Fire Keeping [Fir]: level 1 -> 2\n"
                 "  Bronze Casting [Brz]: level 2 -> 3, through Fire Keeping [Fir]: Primary Root "
                 "[nil] -> Stone Tools [Sto]\n"
                 "  Ledgers [Led]: level 3 -> 4, through Fire Keeping [Fir]: Primary Root [nil] -> "
                 "Stone Tools [Sto]\n"
                 "  Star Maps [Sta]: level 4 -> 5, through Fire Keeping [Fir]: Primary Root [nil] "
                 "-> Stone Tools [Sto]\n"
                 "Routes changed (1)\n"
                 "  Fire Keeping [Fir]: 0 -> 1 advances\n"},
        DiffCase{"FieldsChanged",
                 {{"Ledgers, 2, 0, Bar, Brz, 2, 1", "Ledgers, 5, -3, Bar, Brz, 3, 7"}},
                 R"({"advances": {"changed": [
                     {"old": 5, "new": 5, "code": "Led", "name": "Ledgers",
                      "field": "aiValue", "from": 2, "to": 5},
                     {"old": 5, "new": 5, "code": "Led", "name": "Ledgers",
                      "field": "modifier", "from": 0, "to": -3},
                     {"old": 5, "new": 5, "code": "Led", "name": "Ledgers",
                      "field": "epoch", "from": 2, "to": 3,
                      "fromName": "Industrial", "toName": "Modern"},
                     {"old": 5, "new": 5, "code": "Led", "name": "Ledgers",
                      "field": "category", "from": 1, "to": 7,
                      "fromName": "Economic", "toName": "Category 7"}]}})",
                 "Advance fields changed (4)\n"
                 "  Ledgers [Led]: aiValue 2 -> 5\n"
                 "  Ledgers [Led]: modifier 0 -> -3\n"
                 "  Ledgers [Led]: epoch 2 (Industrial) -> 3 (Modern)\n"
                 "  Ledgers [Led]: category 1 (Economic) -> 7 (Category 7)\n"},
        // A second advance with a code already taken is a new advance;
        // prerequisites still find the first.
        DiffCase{"DuplicateCode",
                 {{"@IMPROVE", "Bronze Tools, 1, 0, Sto, nil, 0, 4 ; Brz\n@IMPROVE"}},
                 R"({"advances": {"added": [
                     {"old": null, "new": 7, "code": "Brz", "name": "Bronze Tools",
                      "level": 2}]}})",
                 "Advances added (1)\n  Bronze Tools [Brz], level 2\n"},
        // Bronze Casting takes a new code, its dependants follow, Barge's
        // line does not: the unit is left under no advance.
        DiffCase{"UnitsAdvanceCodeVanished",
                 {{"; Brz", "; Bcs"}, {"Bar, Brz", "Bar, Bcs"}},
                 R"({"advances": {"recoded": [
                     {"old": 3, "new": 3, "code": "Bcs", "name": "Bronze Casting",
                      "field": "code", "from": "Brz", "to": "Bcs"}]},
                     "units": {"moved": [
                     {"old": 1, "new": 1, "name": "Barge", "field": "advance",
                      "from": {"index": 3, "code": "Brz", "name": "Bronze Casting"},
                      "to": {"index": null, "code": "Brz", "name": null}}]}})",
                 "Advances recoded (1)\n  Bronze Casting [Brz] -> [Bcs]\n"
                 "Units moved (1)\n  Barge: Bronze Casting [Brz] -> \"Brz\" (names no advance)\n"},
        DiffCase{"UnitMoved",
                 {{"1, 0, 1, Sto, 0000", "1, 0, 1, Fir, 0000"}},
                 R"({"units": {"moved": [
                     {"old": 0, "new": 0, "name": "Militia", "field": "advance",
                      "from": {"index": 1, "code": "Sto", "name": "Stone Tools"},
                      "to": {"index": 2, "code": "Fir", "name": "Fire Keeping"}}]}})",
                 "Units moved (1)\n  Militia: Stone Tools [Sto] -> Fire Keeping [Fir]\n"},
        DiffCase{"UnitsAddedAndRemoved",
                 {{"Barge, nil, 2, 3, 0, 0, 1, 10, 1, 4, 2, 4, Brz, 100000000000001\n",
                   "Archers, nil, 0, 1, 0, 3, 2, 10, 1, 3, 0, 0, Zzz, 000000000000000\n"}},
                 R"({"units": {
                     "added": [{"old": null, "new": 1, "name": "Archers",
                                "advance": {"index": null, "code": "Zzz", "name": null}}],
                     "removed": [{"old": 1, "new": null, "name": "Barge",
                                  "advance": {"index": 3, "code": "Brz",
                                              "name": "Bronze Casting"}}]}})",
                 "Units added (1)\n  Archers, under \"Zzz\" (names no advance)\n"
                 "Units removed (1)\n  Barge, under Bronze Casting [Brz]\n"},
        // Matched by name, ASCII case aside: the case is a change of its own.
        DiffCase{"UnitFiguresChanged",
                 {{"Militia, nil, 0, 1, 0, 1, 1, 10, 1, 1, 0, 1, Sto, 000000000000000",
                   "MILITIA, Brz, 0, 1, 0, 2, 1, 10, 1, 1, 0, 1, Sto, 000000000000010"}},
                 R"({"units": {"changed": [
                     {"old": 0, "new": 0, "name": "MILITIA", "field": "name",
                      "from": "Militia", "to": "MILITIA"},
                     {"old": 0, "new": 0, "name": "MILITIA", "field": "obsoleteCode",
                      "from": "nil", "to": "Brz"},
                     {"old": 0, "new": 0, "name": "MILITIA", "field": "attack",
                      "from": 1, "to": 2},
                     {"old": 0, "new": 0, "name": "MILITIA", "field": "flags",
                      "from": 0, "to": 2}]}})",
                 "Unit figures changed (4)\n"
                 "  MILITIA: name \"Militia\" -> \"MILITIA\"\n"
                 "  MILITIA: obsoleteCode nil -> Brz\n"
                 "  MILITIA: attack 1 -> 2\n"
                 "  MILITIA: flags 0 -> 2\n"}),
    [](const testing::TestParamInfo<DiffCase>& info) { return std::string(info.param.name); });

// The sample against its modified copy in data/: every kind at once
// (sample-diff.out, checked against --route for the routes), and the
// summary's maximum level and chart size at other metrics in the JSON.
TEST(CheckDiff, SampleAndItsModifiedCopy) {
  std::string mod = std::string(CHECK_SAMPLE_RULES);
  mod.replace(mod.rfind('/') + 1, std::string::npos, "RULES-MOD.TXT");
  CheckResult text = RunCheck({"--diff", CHECK_SAMPLE_RULES, mod});
  EXPECT_EQ(text.exitCode, 0);
  EXPECT_EQ(text.err, "");
  // Placed at the lines of the files as given: here without their folder.
  std::string folder = mod.substr(0, mod.rfind('/') + 1);
  std::string shown = text.out;
  for (size_t at; (at = shown.find(folder)) != std::string::npos;) shown.erase(at, folder.size());
  EXPECT_EQ(shown, ReadWholeFile(FixturePath("sample-diff.out")));

  CheckResult json = RunCheck({"--json", "--metrics", "9,13,0", "--diff", CHECK_SAMPLE_RULES, mod});
  EXPECT_EQ(json.exitCode, 0);
  Json report = ParseReport(json.out);
  for (const auto& group : report["summary"]["advances"].items()) {
    EXPECT_GT(group.value(), 0) << group.key();
  }
  for (const auto& group : report["summary"]["units"].items()) {
    EXPECT_GT(group.value(), 0) << group.key();
  }
  EXPECT_EQ(report["summary"]["MaxLevel"], Json({{"from", 15}, {"to", 16}}));
  // At a detail font 9 wide: 13 * 9 + 58 per box of the widest row.
  EXPECT_EQ(report["summary"]["ChartWidth"]["to"], 175 * 8);

  // Each changed route's lengths are those --route gives in each file.
  Json oldReport = ParseReport(RunCheck({"--json", CHECK_SAMPLE_RULES}).out);
  ASSERT_EQ(report["advances"]["routes"].size(), 3u);
  for (const Json& item : report["advances"]["routes"]) {
    std::string oldCode = oldReport["advances"][item["old"].get<int>()]["code"];
    Json before = ParseReport(RunCheck({"--json", "--route", oldCode, CHECK_SAMPLE_RULES}).out);
    Json after = ParseReport(RunCheck({"--json", "--route", item["code"], mod}).out);
    EXPECT_EQ(item["from"], before["route"].size()) << oldCode;
    EXPECT_EQ(item["to"], after["route"].size()) << oldCode;
  }
}

// A file the viewer refuses: its message after its name and the line of
// the advance it names, nothing else; a cycle spelled out.
TEST(CheckDiff, RefusalNamesTheFile) {
  std::string good = WriteScratchFile("good.txt", Base);
  std::string cycle = WriteScratchFile(
      "cycle.txt", "@CIVILIZE\nLoop, 1, 0, Lop, Lop, 0, 0 ; Lop\n@IMPROVE\n@UNITS\n@TERRAIN\n");
  const char message[] =
      ":2: error: Advance \"Loop\" depends on itself through its prerequisites: Loop [Lop] -> "
      "Loop [Lop]\n";
  for (bool json : {false, true}) {
    SCOPED_TRACE(json ? "json" : "text");
    for (bool cycleFirst : {false, true}) {
      std::vector<std::string> args = {"--diff", cycleFirst ? cycle : good,
                                       cycleFirst ? good : cycle};
      if (json) args.insert(args.begin(), "--json");
      CheckResult result = RunCheck(args);
      EXPECT_EQ(result.exitCode, 1);
      EXPECT_EQ(result.out, "");
      EXPECT_EQ(result.err, cycle + message);
    }
  }
}

}  // namespace

// The newer file's SVG with each advance's marks as classes of its group:
// Fire Keeping recoded, its dependants relinked (Bronze Casting and Star
// Maps, which fall to level 0), Ledgers moved through Bronze Casting, and
// an added advance.
TEST(CheckDiff, SvgMarksTheChanges) {
  std::string before = WriteScratchFile("old.txt", Base);
  std::string after = WriteScratchFile(
      "new.txt",
      Edited({{"; Fir", "; Frk"}, {"@IMPROVE", "Wheel, 2, 0, Sto, nil, 0, 4 ; Whl\n@IMPROVE"}}));
  std::string svg = WriteScratchFile("marked.svg", "earlier");
  CheckResult result = RunCheck({"--diff", before, "--svg", svg, after});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "");
  std::string text = ReadWholeFile(svg);
  std::vector<std::string> groups;
  for (size_t at = text.find("<g class=\""); at != std::string::npos;
       at = text.find("<g class=\"", at + 1)) {
    size_t end = text.find('"', at + 10);
    size_t id = text.find(" id=\"", end);
    groups.push_back(text.substr(id + 5, text.find('"', id + 5) - id - 5) + ": " +
                     text.substr(at + 10, end - at - 10));
  }
  std::sort(groups.begin(), groups.end());
  EXPECT_EQ(groups, (std::vector<std::string>{"a0: advance", "a1: advance", "a2: advance changed",
                                              "a3: advance changed moved", "a4: advance",
                                              "a5: advance moved", "a6: advance changed moved",
                                              "a7: advance added"}));
  EXPECT_NE(text.find(".chart .advance.moved > rect {"), std::string::npos);
}

// A comparison that cannot be written ends with exit code 3, as a report does.
TEST(CheckDiff, FullDiskExitsThree) {
  std::string base = WriteScratchFile("base.txt", Base);
  std::string other = WriteScratchFile("other.txt", Edited({{"Barter,", "Trade Fairs,"}}));
  for (bool json : {false, true}) {
    SCOPED_TRACE(json ? "json" : "text");
    std::vector<std::string> args = {"--diff", base, other};
    if (json) args.insert(args.begin(), "--json");
    CheckResult result = RunCheck(args, "/dev/full");
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(result.err, "lorvane-check: cannot write the report\n");
  }
}
