// The field scanners and the number readers.
#include <stdint.h>
#include <string.h>

#include <string>

#include "TestSupport.h"
#include "rules/UnitType.h"

namespace {

TEST(CopyField, SkipsLeadingWhiteSpaceAndKeepsTrailingBlanks) {
  const char line[] = "   Alpha Beta ,x";
  BeginLine("advance", line);
  char dest[NAME_SIZE] = {};
  const char* next = CopyField(dest, NAME_SIZE, line, ',', FIELD_CUT);
  EXPECT_STREQ(dest, "Alpha Beta ");
  EXPECT_EQ(next, strchr(line, 'x'));
}

TEST(CopyField, BlankFieldIsEmpty) {
  for (const char* line : {" ,x", ",x", "\t \t,x"}) {
    BeginLine("advance", line);
    char dest[NAME_SIZE] = {};
    const char* next = CopyField(dest, NAME_SIZE, line, ',', FIELD_CUT);
    EXPECT_STREQ(dest, "") << line;
    EXPECT_EQ(next, strchr(line, 'x')) << line;
  }
}

TEST(CopyField, StopsAtTheFirstDelimiter) {
  const char line[] = "ab;cd;ef";
  BeginLine("advance", line);
  char dest[CODE_SIZE] = {};
  const char* next = CopyField(dest, CODE_SIZE, line, ';', FIELD_EXACT);
  EXPECT_STREQ(dest, "ab");
  EXPECT_STREQ(next, "cd;ef");
}

TEST(CopyField, TextThatFitsExactlyIsKept) {
  const char line[] = "abc,";
  BeginLine("advance", line);
  char dest[CODE_SIZE + 4];
  memset(dest, 'Z', sizeof dest);
  CopyField(dest, CODE_SIZE, line, ',', FIELD_EXACT);
  EXPECT_STREQ(dest, "abc");
  EXPECT_EQ(dest[CODE_SIZE], 'Z');  // nothing written past the field
}

TEST(CopyField, LongTextIsCutToTheField) {
  std::string line = std::string(40, 'n') + ",rest";
  BeginLine("advance", line.c_str());
  char dest[NAME_SIZE + 8];
  memset(dest, 'Z', sizeof dest);
  const char* next = CopyField(dest, NAME_SIZE, line.c_str(), ',', FIELD_CUT);
  EXPECT_EQ(std::string(dest), std::string(19, 'n'));
  EXPECT_EQ(dest[NAME_SIZE], 'Z');
  EXPECT_STREQ(next, "rest");
}

TEST(CopyField, LongCodeIsRefused) {
  const char line[] = "X, 1, 2, abcd, nil, 0, 0; X";
  BeginLine("advance", line);
  char dest[CODE_SIZE] = {};
  EXPECT_FATAL(
      CopyField(dest, CODE_SIZE, line + 8, ',', FIELD_EXACT), 1,
      "Code \"abcd\" is longer than 3 characters in advance line \"" + std::string(line) + "\"");
  EXPECT_STREQ(dest, "");
}

TEST(CopyField, MissingDelimiterNamesTheLine) {
  const char line[] = "No delimiter here";
  BeginLine("unit", line);
  char dest[NAME_SIZE] = {};
  EXPECT_FATAL(CopyField(dest, NAME_SIZE, line, ',', FIELD_CUT), 1,
               "Missing \",\" in unit line \"No delimiter here\"");
}

TEST(CopyField, MessagesAreCutToTheBuffer) {
  // A long line without its delimiter: the message keeps its closing quote.
  std::string line(255, 'w');
  BeginLine("advance", line.c_str());
  char dest[NAME_SIZE] = {};
  FatalError fatal = CatchFatal([&] { CopyField(dest, NAME_SIZE, line.c_str(), ';', FIELD_CUT); });
  std::string prefix = "Missing \";\" in advance line \"";
  EXPECT_EQ(fatal.message.size(), 255u);
  EXPECT_EQ(fatal.message, prefix + std::string(255 - prefix.size() - 1, 'w') + "\"");

  // A long code in a long line: both are cut, both quotes stay.
  std::string longCode = std::string(200, 'c') + "," + std::string(54, 'd');
  BeginLine("unit", longCode.c_str());
  char code[CODE_SIZE] = {};
  fatal = CatchFatal([&] { CopyField(code, CODE_SIZE, longCode.c_str(), ',', FIELD_EXACT); });
  EXPECT_EQ(fatal.code, 1);
  EXPECT_LE(fatal.message.size(), 255u);
  EXPECT_EQ(fatal.message.rfind("Code \"ccc", 0), 0u) << fatal.message;
  EXPECT_NE(fatal.message.find("\" is longer than 3 characters in unit line \"ccc"),
            std::string::npos)
      << fatal.message;
  EXPECT_EQ(fatal.message.back(), '"');
}

TEST(ReadIntField, ReadsDecimalNumbers) {
  struct Case {
    const char* field;
    int32_t value;
  } cases[] = {
      {" 12,", 12},
      {"+12,", 12},
      {"12abc,", 12},
      {"-3,", -3},
      {",", 0},
      {"abc,", 0},
      {"3a,", 3},
      {"3.,", 3},
      {"\t\v 7 ,", 7},
      {"- 3,", 0},
      {"+-3,", 0},
      {"007,", 7},
      {"2147483647,", INT32_MAX},
      {"2147483648,", INT32_MIN},
      {"-2147483648,", INT32_MIN},
      {"4294967295,", -1},
      {"4294967296,", 0},
      {"4294967297,", 1},
      {"99999999999,", 1215752191},
      {"-4294967297,", -1},
  };
  for (const Case& c : cases) {
    BeginLine("advance", c.field);
    int32_t value = 12345;
    const char* next = ReadIntField(&value, c.field, ',');
    EXPECT_EQ(value, c.value) << "field: " << c.field;
    EXPECT_EQ(next, c.field + strlen(c.field)) << "field: " << c.field;
    EXPECT_EQ(ReadDecimal(c.field), c.value) << "field: " << c.field;
  }
}

TEST(ReadIntField, DelimiterSearchStartsAtTheFieldStart) {
  const char line[] = "12;34,next";
  BeginLine("advance", line);
  int32_t value = 0;
  EXPECT_STREQ(ReadIntField(&value, line, ','), "next");
  EXPECT_EQ(value, 12);
  EXPECT_STREQ(ReadIntField(&value, line, ';'), "34,next");
}

TEST(ReadIntField, MissingDelimiterIsFatal) {
  const char line[] = "Alpha, 12";
  BeginLine("advance", line);
  int32_t value = 0;
  EXPECT_FATAL(ReadIntField(&value, line + 6, ','), 1,
               "Missing \",\" in advance line \"Alpha, 12\"");
}

TEST(ReadFlags, ReadsBaseTwoAndSaturates) {
  std::string ones31(31, '1');
  std::string top32 = "1" + std::string(31, '0');
  std::string ones64(64, '1');
  struct Case {
    std::string field;
    int32_t value;
  } cases[] = {
      {"0000000000000101", 5},
      {"1x", 1},
      {"", 0},
      {"x1", 0},
      {"2", 0},
      {"   \t10", 2},
      {"+101", 5},
      {"-101", -5},
      {"-", 0},
      {"000000000000000000000000000000000000000001", 1},
      {ones31, INT32_MAX},
      {top32, INT32_MAX},
      {"-" + top32, INT32_MIN},
      {"-" + ones31, -INT32_MAX},
      {ones64, INT32_MAX},
      {"-" + ones64, INT32_MIN},
      {"100000000000001", 0x4001},
      {"1000000000000000", 0x8000},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadFlags(c.field.c_str()), c.value) << "field: " << c.field;
  }
}

}  // namespace
