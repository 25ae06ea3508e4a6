// Role, flags, detail, cost and figures texts.
#include <stdint.h>

#include <string>

#include "TestSupport.h"
#include "chart/ChartText.h"
#include "chart/UnitText.h"
#include "rules/TextBuffer.h"
#include "rules/UnitType.h"

namespace {

UnitType MakeUnit(int32_t domain, uint8_t role, int32_t hold) {
  UnitType unit = {};
  unit.domain = domain;
  unit.role = role;
  unit.hold = hold;
  return unit;
}

TEST(UnitRoleText, TableForEveryDomainAndRole) {
  const char* expected[3][8] = {
      {"Atk", "Def", "???", "A-A", "???4", "Set", "Dip", "Trd"},
      {"Sup", "???", "???", "Air", "???4", "???", "???", "???"},
      {"???", "???", "Nav", "???", "Trn4", "???", "???", "???"},
  };
  for (int domain = 0; domain < 3; domain++) {
    for (int role = 0; role < 8; role++) {
      UnitType unit = MakeUnit(domain, (uint8_t)role, 4);
      EXPECT_STREQ(UnitRoleText(&unit), expected[domain][role]) << domain << "/" << role;
    }
  }
}

TEST(UnitRoleText, HoldFollowsRoleFourOnly) {
  struct Case {
    int32_t domain;
    uint8_t role;
    int32_t hold;
    std::string text;
  } cases[] = {
      {2, 4, 8, "Trn8"},  {0, 4, 2, "???2"}, {2, 4, 0, "Trn0"},  {2, 4, 10, "Trn:"},
      {0, 0, 7, "Atk"},   {1, 3, 99, "Air"}, {2, 4, -1, "Trn/"}, {2, 4, 256 + 5, "Trn5"},
      {2, 4, -48, "Trn"},  // the hold character is a zero byte: the text ends
  };
  for (const Case& c : cases) {
    UnitType unit = MakeUnit(c.domain, c.role, c.hold);
    EXPECT_EQ(std::string(UnitRoleText(&unit)), c.text) << c.hold;
  }
}

TEST(UnitRoleText, OutsideTheTableIsUnknown) {
  struct Case {
    int32_t domain;
    uint8_t role;
    std::string text;
  } cases[] = {
      {3, 0, "???"}, {-1, 7, "???"},  {INT32_MIN, 0, "???"}, {INT32_MAX, 2, "???"},
      {0, 8, "???"}, {2, 255, "???"}, {7, 4, "???3"},        {0, 12, "???"},
  };
  for (const Case& c : cases) {
    UnitType unit = MakeUnit(c.domain, c.role, 3);
    EXPECT_EQ(std::string(UnitRoleText(&unit)), c.text) << c.domain << "/" << (int)c.role;
  }
}

TEST(UnitFlagsText, LettersOfBitsFourteenToZero) {
  struct Case {
    int32_t flags;
    const char* text;
  } cases[] = {
      {0, ""},
      {1 << 15, "/"},
      {(1 << 14) | 1, "/s2"},
      {0x7FFF, "/saXFmRPCWTASMZ2"},
      {-1, "/saXFmRPCWTASMZ2"},
      {INT32_MIN, "/"},
      {2, "/Z"},
      {1 << 13, "/a"},
      {(1 << 12) | (1 << 11) | (1 << 10), "/XFm"},
      {(1 << 9) | (1 << 8) | (1 << 7) | (1 << 6), "/RPCW"},
      {(1 << 5) | (1 << 4) | (1 << 3) | (1 << 2), "/TASM"},
  };
  for (const Case& c : cases) {
    EXPECT_STREQ(UnitFlagsText(c.flags), c.text) << c.flags;
  }
}

TEST(UnitFlagsText, FifteenDigitStringReadsLeftToRight) {
  EXPECT_STREQ(UnitFlagsText(ReadFlags("100000000000001")), "/s2");
  EXPECT_STREQ(UnitFlagsText(ReadFlags("010000100000000")), "/aP");
  EXPECT_STREQ(UnitFlagsText(ReadFlags("1000000000000000")), "/");
}

TEST(ChartText, TableNamesAndSafeFallbacks) {
  const char* epochs[] = {"Ancient", "Renaiss.", "Industrial", "Modern", "Epoch 4", "Epoch 255"};
  const unsigned epochValues[] = {0, 1, 2, 3, 4, 255};
  for (int i = 0; i < 6; i++) EXPECT_STREQ(EpochName(epochValues[i]), epochs[i]);
  const char* categories[] = {"Military", "Economic",   "Social",      "Academic",
                              "Applied",  "Category 5", "Category 255"};
  const unsigned categoryValues[] = {0, 1, 2, 3, 4, 5, 255};
  for (int i = 0; i < 7; i++) EXPECT_STREQ(CategoryName(categoryValues[i]), categories[i]);
}

TEST(ChartText, DetailLine) {
  Advance advance = {};
  FormatDetailLine(&advance);
  EXPECT_STREQ(TextBuffer, "Ancient Military (0, 0)");
  advance.epoch = 3;
  advance.category = 4;
  advance.aiValue = -7;
  advance.modifier = 12;
  FormatDetailLine(&advance);
  EXPECT_STREQ(TextBuffer, "Modern Applied (-7, 12)");
  advance.epoch = 9;
  advance.category = 200;
  advance.aiValue = INT32_MIN;
  FormatDetailLine(&advance);
  EXPECT_STREQ(TextBuffer, "Epoch 9 Category 200 (-2147483648, 12)");
}

TEST(ChartText, CostAndFiguresLines) {
  UnitType unit = MakeUnit(0, 0, 0);
  unit.attack = 4;
  unit.defense = 2;
  unit.move = 1;
  unit.range = 0;
  unit.hitPoints = 1;
  unit.firepower = 1;
  unit.cost = 30;
  FormatUnitCost(&unit);
  EXPECT_STREQ(TextBuffer, " 30c");
  FormatFiguresLine(&unit);
  EXPECT_STREQ(TextBuffer, " 4a 2d 1(0)m 1h 1f Atk");

  unit = MakeUnit(2, 4, 4);
  unit.attack = -1;
  unit.move = 5;
  unit.range = 3;
  unit.hitPoints = 30;
  unit.firepower = 2;
  unit.flags = (1 << 14) | 1;
  unit.cost = -10;
  FormatUnitCost(&unit);
  EXPECT_STREQ(TextBuffer, " -10c");
  FormatFiguresLine(&unit);
  EXPECT_STREQ(TextBuffer, " -1a 0d 5(3)m 30h 2f Trn4/s2");
}

TEST(ChartText, LongestFiguresLineFits) {
  UnitType unit = MakeUnit(INT32_MIN, 4, 9);
  unit.attack = unit.defense = unit.move = unit.range = unit.hitPoints = unit.firepower = INT32_MIN;
  unit.flags = -1;
  FormatFiguresLine(&unit);
  EXPECT_STREQ(TextBuffer,
               " -2147483648a -2147483648d -2147483648(-2147483648)m -2147483648h -2147483648f "
               "???9/saXFmRPCWTASMZ2");
}

}  // namespace
