// The chart walk, recorded call by call: whole boxes of the worked example
// (the small fixture at metrics 9,13,0) and a few elements of the sample at
// the default metrics 11,13,0.
#include <stdarg.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "chart/ChartWalk.h"
#include "chart/Metrics.h"

namespace {

std::vector<std::string> Calls;

void Record(const char* format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  Calls.push_back(text);
}

const ChartPainter Recorder = {
    nullptr,
    [](void*, const Advance* a) { Record("begin %s", a->name); },
    [](void*, const Advance* a) { Record("end %s", a->name); },
    [](void*, int32_t l, int32_t t, int32_t r, int32_t b) {
      Record("box %d %d %d %d", l, t, r, b);
    },
    [](void*, const Advance*, const Advance* p, bool nearLink, int32_t x1, int32_t y1, int32_t x2,
       int32_t y2) {
      Record("%s link to %s %d %d %d %d", nearLink ? "near" : "far", p->name, x1, y1, x2, y2);
    },
    [](void*, ChartFont font, int32_t x, int32_t y, const char* text) {
      Record("%s %d %d %s", font == NAME_FONT ? "name" : "detail", x, y, text);
    },
    [](void*, int32_t x, int32_t y, const char* name, const char* cost) {
      Record("unit %d %d %s|%s", x, y, name, cost);
    },
    [](void*, int32_t l, int32_t y, int32_t r) { Record("separator %d %d %d", l, y, r); }};

// The calls from "begin NAME" to "end NAME".
std::vector<std::string> CallsOf(const std::string& name) {
  std::vector<std::string> calls;
  for (const std::string& call : Calls) {
    if (call == "begin " + name || !calls.empty()) calls.push_back(call);
    if (call == "end " + name) break;
  }
  return calls;
}

class ChartWalkTest : public RulesTest {
 protected:
  void Walk(const char* path, int32_t width) {
    LoadRules(path);
    SetChartMetrics(width, 13, 0);
    Calls.clear();
    WalkChart(&Recorder, &RootAdvance);
  }
};

TEST_F(ChartWalkTest, WorkedExampleInDrawingOrder) {
  Walk(SMALL_RULES, 9);
  std::vector<std::string> begins;
  for (const std::string& call : Calls) {
    if (call.compare(0, 6, "begin ") == 0) begins.push_back(call.substr(6));
  }
  EXPECT_EQ(begins, (std::vector<std::string>{"Primary Root", "Stone Tools", "Fire Keeping",
                                              "Barter", "Counting", "River Boats", "Harbour",
                                              "Bronze Casting", "Ledgers", "Star Maps"}));
  const std::vector<std::string> boxes[] = {
      {"begin Primary Root", "box 355 7 480 45", "name 359 12 Primary Root",
       "detail 359 26 Ancient Military (0, 0)", "end Primary Root"},
      // One line for both links to the root, its second dependant of six.
      {"begin Stone Tools", "box 5 137 130 240", "near link to Primary Root 65 136 411 44",
       "name 9 142 Stone Tools", "detail 9 156 Ancient Military (1, 0)", "separator 5 175 130",
       "unit 9 182 Militia| 10c", "detail 9 195  1a 1d 1(0)m 10h 1f Def",
       "unit 9 208 Spearmen| 20c", "detail 9 221  2a 1d 1(0)m 10h 1f Atk/M", "end Stone Tools"},
      // Near one level up, far two levels up.
      {"begin Harbour", "box 92 332 217 409", "near link to River Boats 152 331 767 239",
       "far link to Primary Root 156 331 407 44", "name 96 337 Harbour",
       "detail 96 351 Industrial Economic (7, -2)", "separator 92 370 217",
       "unit 96 377 Barge| 40c", "detail 96 390  0a 1d 3(0)m 10h 1f Trn2/s2", "end Harbour"},
      // The second of Counting's two dependants; a separator without units.
      {"begin Star Maps", "box 617 332 742 409", "near link to Counting 677 331 594 239",
       "name 621 337 Star Maps", "detail 621 351 Modern Academic (1, 3)", "separator 617 370 742",
       "end Star Maps"},
  };
  for (const auto& box : boxes) EXPECT_EQ(CallsOf(box[0].substr(6)), box);
}

TEST_F(ChartWalkTest, SampleAtTheDefaultMetrics) {
  Walk(SAMPLE_RULES, 11);
  // The root alone, centred on the widest row of 8; the first box of that
  // row (level 6), far up to Oared Galleys (its only dependant), near up to
  // Geometry.
  EXPECT_EQ(CallsOf("Primary Root").at(1), "box 755 7 908 136");
  std::vector<std::string> sail = CallsOf("Sail Rigging");
  sail.resize(4);
  EXPECT_EQ(sail, (std::vector<std::string>{"begin Sail Rigging", "box 6 1125 159 1202",
                                            "far link to Oared Galleys 80 1124 938 863",
                                            "near link to Geometry 85 1124 928 1032"}));
  EXPECT_EQ(AdvanceNamed("Oared Galleys")->chartX, 867);
  EXPECT_EQ(AdvanceNamed("Oared Galleys")->chartY, 767);
}

}  // namespace
