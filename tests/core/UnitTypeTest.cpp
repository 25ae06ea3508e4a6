// Unit lines into unit records, hung under their advances.
#include <string.h>

#include <string>

#include "TestSupport.h"
#include "rules/Lists.h"
#include "rules/UnitType.h"

namespace {

const char kAdvances[] =
    "Alpha, 1, 1, nil, nil, 0, 0; Abc\n"
    "Beta, 1, 1, Abc, nil, 0, 0; Bet\n";

class UnitTypeTest : public RulesTest {
 protected:
  void LoadUnits(const std::string& lines) { Load(RulesText(kAdvances, lines)); }
};

std::string UnitLine(const std::string& name, const std::string& prereq,
                     const std::string& cost = "1", const std::string& role = "0") {
  return name + ", nil, 0, 1, 0, 1, 1, 1, 1, " + cost + ", 0, " + role + ", " + prereq + ", 0\n";
}

TEST_F(UnitTypeTest, ReadsEveryField) {
  LoadUnits("Field Crew, XYZ, 0, 1, 0, 2, 1, 10, 1, 3, 0, 5, Abc, 0000000000000010\n");
  const UnitType& u = FirstUnitType;
  EXPECT_STREQ(u.name, "Field Crew");
  EXPECT_STREQ(u.obsoleteCode, "XYZ");
  EXPECT_EQ(u.domain, 0);
  EXPECT_EQ(u.move, 1);
  EXPECT_EQ(u.range, 0);
  EXPECT_EQ(u.attack, 2);
  EXPECT_EQ(u.defense, 1);
  EXPECT_EQ(u.hitPoints, 10);
  EXPECT_EQ(u.firepower, 1);
  EXPECT_EQ(u.cost, 30);
  EXPECT_EQ(u.hold, 0);
  EXPECT_EQ(u.role, 5);
  EXPECT_STREQ(u.prereqCode, "Abc");
  EXPECT_EQ(u.flags, 2);
  EXPECT_EQ(u.prereq, &FirstAdvance);
  EXPECT_EQ(FirstAdvance.units[0], &FirstUnitType);
  EXPECT_EQ(FirstAdvance.units[1], nullptr);
}

TEST_F(UnitTypeTest, CostIsTenTimesTheNumber) {
  struct Case {
    const char* field;
    int32_t cost;
  } cases[] = {{"4", 40}, {"-1", -10}, {"", 0}, {" 12x", 120}, {"429496730", 4}};
  for (const auto& c : cases) {
    LoadUnits(UnitLine("Unit", "Abc", c.field));
    EXPECT_EQ(FirstUnitType.cost, c.cost) << "field: " << c.field;
    ResetRules();
  }
}

TEST_F(UnitTypeTest, RoleKeepsItsLowEightBits) {
  struct Case {
    const char* field;
    uint8_t role;
  } cases[] = {{"260", 4}, {"-1", 255}, {"7", 7}, {"", 0}};
  for (const auto& c : cases) {
    LoadUnits(UnitLine("Unit", "Abc", "1", c.field));
    EXPECT_EQ(FirstUnitType.role, c.role) << "field: " << c.field;
    ResetRules();
  }
}

TEST_F(UnitTypeTest, EmptySectionLeavesEveryUnitListEmpty) {
  LoadUnits("");
  static const UnitType zero = {};
  EXPECT_EQ(memcmp(&FirstUnitType, &zero, sizeof zero), 0);
  EXPECT_EQ(AdvanceUnitCount(&RootAdvance), 0);
  EXPECT_EQ(AdvanceUnitCount(&FirstAdvance), 0);
  EXPECT_EQ(AdvanceUnitCount(FirstAdvance.next), 0);
}

TEST_F(UnitTypeTest, UnitsHangUnderTheirAdvanceInFileOrder) {
  LoadUnits(UnitLine("One", "Abc") + UnitLine("Root One", "nil") + UnitLine("Two", "Bet") +
            UnitLine("Lost", "Xyz") + UnitLine("Three", "Abc") + UnitLine("Root Two", "nil"));
  ASSERT_EQ(AdvanceUnitCount(&FirstAdvance), 2);
  EXPECT_STREQ(FirstAdvance.units[0]->name, "One");
  EXPECT_STREQ(FirstAdvance.units[1]->name, "Three");
  ASSERT_EQ(AdvanceUnitCount(FirstAdvance.next), 1);
  EXPECT_STREQ(FirstAdvance.next->units[0]->name, "Two");
  ASSERT_EQ(AdvanceUnitCount(&RootAdvance), 2);
  EXPECT_STREQ(RootAdvance.units[0]->name, "Root One");
  EXPECT_STREQ(RootAdvance.units[1]->name, "Root Two");
  EXPECT_EQ(RootAdvance.units[0]->prereq, &RootAdvance);

  // The unit whose code names nothing stays in the list, under no advance.
  const char* order[] = {"One", "Root One", "Two", "Lost", "Three", "Root Two"};
  const UnitType* unit = &FirstUnitType;
  for (const char* name : order) {
    EXPECT_STREQ(unit->name, name);
    unit = unit->next;
  }
  EXPECT_EQ(unit->name[0], '\0');
  EXPECT_EQ(unit->next, nullptr);
  const UnitType* lost = FirstUnitType.next->next->next;
  EXPECT_EQ(lost->prereq, nullptr);
}

TEST_F(UnitTypeTest, AttachingTheSameUnitTwiceChangesNothing) {
  LoadUnits(UnitLine("One", "Abc"));
  AttachUnit(&FirstAdvance, &FirstUnitType);
  EXPECT_EQ(AdvanceUnitCount(&FirstAdvance), 1);
  AttachUnit(nullptr, &FirstUnitType);  // no advance: no crash and no fatal error
}

TEST_F(UnitTypeTest, HundredUnitsAreAcceptedTheHundredAndFirstIsFatal) {
  std::string lines;
  for (int i = 0; i < 100; i++) lines += UnitLine("U" + std::to_string(i), "Bet");
  LoadUnits(lines);
  EXPECT_EQ(AdvanceUnitCount(FirstAdvance.next), 100);
  EXPECT_STREQ(FirstAdvance.next->units[99]->name, "U99");
  ResetRules();

  lines += UnitLine("U100", "Bet");
  EXPECT_FATAL(Load(RulesText(kAdvances, lines)), 1,
               "More than 100 units directly linked to \"Beta\"");
}

TEST_F(UnitTypeTest, LongTextsAreCutOrRefused) {
  LoadUnits("A Name Of Twenty-Six Chars, ABCDE, 0, 1, 0, 1, 1, 1, 1, 1, 0, 0, Abc, 1\n");
  EXPECT_STREQ(FirstUnitType.name, "A Name Of Twenty-Si");
  EXPECT_STREQ(FirstUnitType.obsoleteCode, "ABC");
  EXPECT_EQ(FirstUnitType.prereq, &FirstAdvance);
  ResetRules();

  const char line[] = "Unit, nil, 0, 1, 0, 1, 1, 1, 1, 1, 0, 0, Abc , 1";
  EXPECT_FATAL(
      Load(RulesText(kAdvances, std::string(line) + "\n")), 1,
      std::string("Code \"Abc \" is longer than 3 characters in unit line \"") + line + "\"");
}

TEST_F(UnitTypeTest, LineWithTwelveCommasIsRefused) {
  const char line[] = "Unit, nil, 0, 1, 0, 1, 1, 1, 1, 1, 0, 0, Abc";
  EXPECT_FATAL(Load(RulesText(kAdvances, std::string(line) + "\n")), 1,
               std::string("Missing \",\" in unit line \"") + line + "\"");
  ResetRules();

  // Thirteen commas are enough: the flags need no delimiter.
  LoadUnits("Unit, nil, 0, 1, 0, 1, 1, 1, 1, 1, 0, 0, Abc,\n");
  EXPECT_EQ(FirstUnitType.flags, 0);
  EXPECT_EQ(FirstUnitType.prereq, &FirstAdvance);
}

TEST_F(UnitTypeTest, FlagsFieldReadsToTheEndOfTheLine) {
  LoadUnits("Unit, nil, 0, 1, 0, 1, 1, 1, 1, 1, 0, 0, Abc,  101, 1111\n");
  EXPECT_EQ(FirstUnitType.flags, 5);
}

}  // namespace
