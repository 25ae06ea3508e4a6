// Cutting the sections out of the rules file: headers, text mode, cleaning,
// pieces, end of file and the not-found message.
#include <string.h>

#include <string>

#include "TestSupport.h"
#include "graph/Levels.h"
#include "graph/LoadRules.h"
#include "rules/Fatal.h"
#include "rules/UnitType.h"

namespace {

using Lines = std::vector<std::string>;

const char kAlpha[] = "Alpha Study, 3, 1, nil, nil, 0, 3 ; ASt\n";
const char kCrew[] = "Field Crew, XYZ, 0, 1, 0, 2, 1, 10, 1, 3, 0, 5, ASt, 0000000000000010\n";

class ReaderTest : public RulesTest {
 protected:
  // Reads only the two sections, without parsing them.
  void ReadSections(const std::string& bytes) {
    std::string path = WriteFile(bytes);
    FILE* file = OpenRulesFile(path.c_str());
    ReadSection(file, "@CIVILIZE\n", "@IMPROVE\n", &AdvanceLines);
    ReadSection(file, "@UNITS\n", "@TERRAIN\n", &UnitLines);
    fclose(file);
  }
};

std::string WithCrLf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

TEST_F(ReaderTest, CarriageReturnLineFeedReadsLikeLineFeed) {
  std::string text = RulesText(kAlpha, kCrew);
  Load(text);
  Lines advances = ListTexts(AdvanceLines);
  Lines units = ListTexts(UnitLines);
  std::string code = FirstAdvance.code;
  ResetRules();

  Load(WithCrLf(text));
  EXPECT_EQ(ListTexts(AdvanceLines), advances);
  EXPECT_EQ(ListTexts(UnitLines), units);
  EXPECT_EQ(Lines{"Alpha Study, 3, 1, nil, nil, 0, 3 ; ASt"}, advances);
  EXPECT_STREQ(FirstAdvance.code, code.c_str());
  EXPECT_EQ(FirstUnitType.prereq, &FirstAdvance);
}

TEST_F(ReaderTest, ReadRulesLineDropsEveryCarriageReturn) {
  std::string path = WriteFile("ab\r\ncd\re\n\r\rx\r\n\r");
  FILE* file = OpenRulesFile(path.c_str());
  char buffer[LINE_SIZE];
  EXPECT_EQ(ReadRulesLine(file, buffer), 3);
  EXPECT_STREQ(buffer, "ab\n");
  EXPECT_EQ(ReadRulesLine(file, buffer), 4);
  EXPECT_STREQ(buffer, "cde\n");
  EXPECT_EQ(ReadRulesLine(file, buffer), 2);
  EXPECT_STREQ(buffer, "x\n");
  EXPECT_EQ(ReadRulesLine(file, buffer), 0);  // a lone carriage return is nothing
  EXPECT_EQ(ReadRulesLine(file, buffer), 0);
  fclose(file);
}

TEST_F(ReaderTest, ReadRulesLineTakesAtMost255Characters) {
  std::string longLine(300, 'x');
  std::string path = WriteFile(longLine + "\n" + std::string(255, 'y') + "\nlast");
  FILE* file = OpenRulesFile(path.c_str());
  char buffer[LINE_SIZE];
  EXPECT_EQ(ReadRulesLine(file, buffer), 255);
  EXPECT_EQ(std::string(buffer), std::string(255, 'x'));
  EXPECT_EQ(ReadRulesLine(file, buffer), 46);
  EXPECT_EQ(std::string(buffer), std::string(45, 'x') + "\n");
  EXPECT_EQ(ReadRulesLine(file, buffer), 255);
  EXPECT_EQ(ReadRulesLine(file, buffer), 1);
  EXPECT_STREQ(buffer, "\n");
  EXPECT_EQ(ReadRulesLine(file, buffer), 4);  // last line without a line feed
  EXPECT_STREQ(buffer, "last");
  EXPECT_EQ(ReadRulesLine(file, buffer), 0);
  fclose(file);
}

TEST_F(ReaderTest, LinesThatOnlyLookLikeHeadersAreSkipped) {
  // Each near miss is followed by a line that must not be stored.
  const char* nearMisses[] = {"@CIVILIZE \n", "@civilize\n", " @CIVILIZE\n", "@CIVILIZE\t\n",
                              "@CIVILIZEX\n"};
  for (const char* miss : nearMisses) {
    SCOPED_TRACE(miss);
    ReadSections(std::string(miss) + "Wrong, 1, 1, nil, nil, 0, 0; Wro\n" +
                 RulesText(kAlpha, kCrew));
    EXPECT_EQ(ListTexts(AdvanceLines), Lines{"Alpha Study, 3, 1, nil, nil, 0, 3 ; ASt"});
    ResetRules();
  }
}

TEST_F(ReaderTest, NearMissStopHeaderIsADataLine) {
  ReadSections(
      "@CIVILIZE\nA, 1, 1, nil, nil, 0, 0; A\n@IMPROVE \n@improve\n@IMPROVE\n@UNITS\n"
      "@TERRAIN\n");
  EXPECT_EQ(ListTexts(AdvanceLines), (Lines{"A, 1, 1, nil, nil, 0, 0; A", "@IMPROVE", "@improve"}));
}

TEST_F(ReaderTest, CommentsAndBlankLinesGiveNoNode) {
  ReadSections(
      "@CIVILIZE\n\n \t \n;comment\n; another, 1, 2\n  ; note\nAbc , 1 ,2  \t\n\v\f\n@IMPROVE\n"
      "@UNITS\n;x\n\n@TERRAIN\n");
  EXPECT_EQ(ListTexts(AdvanceLines), (Lines{"  ; note", "Abc , 1 ,2"}));
  EXPECT_EQ(ListTexts(UnitLines), Lines{});
}

TEST_F(ReaderTest, HeaderFollowedByStopHeaderGivesHeadAlone) {
  ReadSections("@CIVILIZE\n@IMPROVE\n@UNITS\n@TERRAIN\n");
  EXPECT_EQ(AdvanceLines.text[0], '\0');
  EXPECT_EQ(AdvanceLines.next, nullptr);
  EXPECT_EQ(UnitLines.text[0], '\0');
  EXPECT_EQ(UnitLines.next, nullptr);
}

TEST_F(ReaderTest, LinesOutsideTheSectionsAreNeverStored) {
  ReadSections(
      "Before, 1\n;x\n@CIVILIZE\nIn1\n@IMPROVE\nBetween\n@TERRAIN\n@CIVILIZE\n@UNITS\nIn2\n"
      "@TERRAIN\nAfter\n@UNITS\nLate\n@TERRAIN\n");
  EXPECT_EQ(ListTexts(AdvanceLines), Lines{"In1"});
  EXPECT_EQ(ListTexts(UnitLines), Lines{"In2"});
}

TEST_F(ReaderTest, LongLinesAreStoredInPiecesOf255) {
  std::string longLine(300, 'a');
  std::string exact(255, 'b');
  ReadSections("@CIVILIZE\n" + longLine + "\n" + exact + "\n@IMPROVE\n@UNITS\n@TERRAIN\n");
  // The piece that is only the line feed after the 255 b's is dropped.
  EXPECT_EQ(ListTexts(AdvanceLines),
            (Lines{std::string(255, 'a'), std::string(45, 'a'), std::string(255, 'b')}));
}

TEST_F(ReaderTest, PieceAfter255CharactersCanBeTheStopHeader) {
  // 255 characters, then "@IMPROVE\n" read as its own piece: a header.
  ReadSections("@CIVILIZE\n" + std::string(255, 'c') + "@IMPROVE\n@UNITS\n@TERRAIN\n");
  EXPECT_EQ(ListTexts(AdvanceLines), Lines{std::string(255, 'c')});
}

TEST_F(ReaderTest, NulByteEndsTheLineForTheStringFunctions) {
  std::string text = RulesText(std::string("Alpha, 1, 2, nil, nil, 0, 0; A\0junk \n", 37), "");
  Load(text);
  EXPECT_EQ(ListTexts(AdvanceLines), Lines{"Alpha, 1, 2, nil, nil, 0, 0; A"});
  EXPECT_STREQ(FirstAdvance.code, "A");
}

TEST_F(ReaderTest, CleanLine) {
  struct Case {
    const char* line;
    const char* cleaned;
  } cases[] = {
      {";abc\n", ""},        {";", ""},          {"  ; note\n", "  ; note"},
      {"a \t\v\f\r\n", "a"}, {" \t \n", ""},     {"\n", ""},
      {"x;\n", "x;"},        {"\xa0\n", "\xa0"}, {"  lead", "  lead"},
  };
  for (const Case& c : cases) {
    char line[LINE_SIZE] = {};
    strcpy(line, c.line);
    CleanLine(line);
    EXPECT_STREQ(line, c.cleaned) << "line: " << c.line;
  }
}

TEST(RulesSpace, ExactlySixCharacters) {
  for (int c = -128; c < 128; c++) {
    bool expected = c == ' ' || (c >= 9 && c <= 13);
    EXPECT_EQ(IsRulesSpace((char)c), expected) << c;
  }
}

TEST_F(ReaderTest, EndOfFileBeforeAHeaderIsFatal) {
  struct Case {
    std::string bytes;
    const char* message;
  } cases[] = {
      {"", "Rules file has no \"@CIVILIZE\" line"},
      {"@CIVILIZE", "Rules file has no \"@CIVILIZE\" line"},
      {"@civilize\nA\n", "Rules file has no \"@CIVILIZE\" line"},
      {"@CIVILIZE\nA, 1, 1, nil, nil, 0, 0; A\n", "Rules file ends before the \"@IMPROVE\" line"},
      {"@CIVILIZE\n@IMPROVE", "Rules file ends before the \"@IMPROVE\" line"},
      {"@CIVILIZE\n@IMPROVE\n@TERRAIN\n", "Rules file has no \"@UNITS\" line"},
      {"@UNITS\n@TERRAIN\n@CIVILIZE\n@IMPROVE\n", "Rules file has no \"@UNITS\" line"},
      {"@CIVILIZE\n@IMPROVE\n@UNITS\nA\n", "Rules file ends before the \"@TERRAIN\" line"},
      {"@CIVILIZE\n@IMPROVE\n@UNITS\n@TERRAIN", "Rules file ends before the \"@TERRAIN\" line"},
      {"@CIVILIZE\r\n@IMPROVE\r\n@UNITS\r\n@TERRAIN\r",
       "Rules file ends before the \"@TERRAIN\" line"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    FatalError fatal = LoadFatal(c.bytes);
    EXPECT_EQ(fatal.code, 1);
    EXPECT_EQ(fatal.message, c.message);
    ResetRules();
  }
}

TEST_F(ReaderTest, SectionEndsRightAtItsStopHeader) {
  // Nothing after "@TERRAIN" is read, even a broken line.
  Load("@CIVILIZE\n@IMPROVE\n@UNITS\n@TERRAIN\nbroken, line\n");
  EXPECT_EQ(MaxLevelCount, 1);
}

TEST_F(ReaderTest, MissingFileIsFatal) {
  std::string path = ::testing::TempDir() + "lorvane_no_such_file.txt";
  remove(path.c_str());
  EXPECT_FATAL(LoadRules(path.c_str()), 1, "Vel2 rules file \"" + path + "\" not found");
}

TEST_F(ReaderTest, DirectoryIsNotFound) {
  std::string path = ::testing::TempDir();
  EXPECT_FATAL(LoadRules(path.c_str()), 1, "Vel2 rules file \"" + path + "\" not found");
}

TEST_F(ReaderTest, LongPathIsCutInsideTheQuotes) {
  std::string fits(227, 'p');  // 17 + 227 + 11 = 255 characters
  EXPECT_FATAL(LoadRules(fits.c_str()), 1, "Vel2 rules file \"" + fits + "\" not found");
  std::string longPath(400, 'q');
  FatalError fatal = CatchFatal([&] { LoadRules(longPath.c_str()); });
  EXPECT_EQ(fatal.code, 1);
  EXPECT_EQ(fatal.message, "Vel2 rules file \"" + std::string(227, 'q') + "\" not found");
}

}  // namespace
