// Cutting the sections out of the rules file: headers, text mode, cleaning,
// pieces, end of file and the not-found message.
#include <string.h>

#include <string>

#if !defined(_WIN32)
#include <unistd.h>
#endif

#include "TestSupport.h"
#include "graph/Levels.h"
#include "load/LoadRules.h"
#include "rules/Alloc.h"
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

  // Every line ReadRulesLine gives for the bytes, each as long as the count
  // it returned, and whether it held a carriage return inside it; the end
  // of the file stays the end. The same bytes read from memory give the
  // same lines.
  Lines ReadLines(const std::string& bytes, std::vector<bool>* inside = nullptr) {
    FILE* file = OpenRulesFile(WriteFile(bytes).c_str());
    RulesSource source = {file, nullptr, 0, 0};
    Lines lines = ReadSourceLines(&source, inside);
    fclose(file);
    LineFeedsRead = 0;
    BytesRead = 0;
    RulesSource text = {nullptr, bytes.data(), bytes.size(), 0};
    std::vector<bool> textInside;
    EXPECT_EQ(ReadSourceLines(&text, &textInside), lines);
    if (inside != nullptr) {
      EXPECT_EQ(textInside, *inside);
    }
    return lines;
  }

  Lines ReadSourceLines(RulesSource* source, std::vector<bool>* inside) {
    RulesReader reader;
    BeginReading(&reader, source);
    Lines lines;
    char buffer[LINE_SIZE];
    for (int count; (count = ReadRulesLine(&reader, buffer)) != 0;) {
      if (count >= LINE_SIZE || buffer[count] != '\0') {
        ADD_FAILURE() << "line of " << count << " bytes not ended";
        break;
      }
      lines.push_back(std::string(buffer, (size_t)count));
      if (inside != nullptr) inside->push_back(reader.carriageInside);
    }
    EXPECT_EQ(ReadRulesLine(&reader, buffer), 0);
    return lines;
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
  // A lone carriage return at the end is nothing; one before anything but
  // the line feed was inside the line.
  std::vector<bool> inside;
  EXPECT_EQ(ReadLines("ab\r\ncd\re\n\r\rx\r\r\n\r", &inside), (Lines{"ab\n", "cde\n", "x\n"}));
  EXPECT_EQ(inside, (std::vector<bool>{false, true, true}));
}

TEST_F(ReaderTest, ReadRulesLineTakesAtMost255Characters) {
  std::string y(255, 'y');
  EXPECT_EQ(ReadLines(std::string(300, 'x') + "\n" + y + "\nlast"),
            (Lines{std::string(255, 'x'), std::string(45, 'x') + "\n", y, "\n", "last"}));
}

// The lines a byte-by-byte reader in text mode gives: carriage returns
// dropped, a line ends after its line feed or at 255 characters. And
// which of them held a carriage return inside: the byte after it, once
// the carriage returns are dropped, is no line feed.
Lines TextModeLines(const std::string& bytes, std::vector<bool>* inside) {
  Lines lines;
  std::string line;
  bool carriage = false;
  for (char c : bytes) {
    if (c == '\r') {
      carriage = true;
      continue;
    }
    if (line.empty()) inside->push_back(false);
    if (carriage && c != '\n') inside->back() = true;
    carriage = false;
    line += c;
    if (c == '\n' || line.size() == LINE_SIZE - 1) {
      lines.push_back(line);
      line.clear();
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

// Bytes that put the given text at the given offset, after lines of 'f'.
std::string PlacedAt(size_t offset, const std::string& text) {
  std::string bytes;
  while (bytes.size() + 60 < offset) bytes += std::string(59, 'f') + "\n";
  bytes += std::string(offset - bytes.size() - 1, 'g') + "\n";
  return bytes + text;
}

TEST_F(ReaderTest, LinesAcrossBlockBoundaries) {
  const size_t end = READ_BLOCK_SIZE;  // offset of the first byte of the second block
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"CR LF split by the boundary", PlacedAt(end - 5, "abcd\r\nnext\n")},
      {"CR last in the block, then a character", PlacedAt(end - 3, "ab\rcd\n")},
      {"CR last in the block, then a line feed", PlacedAt(end - 3, "ab\r\ncd\n")},
      {"CR first in the block", PlacedAt(end, "\rcd\n")},
      {"CRs on both sides of the boundary", PlacedAt(end - 4, "abc\r\r\r\rde\r\n")},
      {"line feed last in the block", PlacedAt(end - 4, "abc\ndef\n")},
      {"line crossing the boundary", PlacedAt(end - 50, std::string(100, 'h') + "\nend\n")},
      {"300 characters across the boundary",
       PlacedAt(end - 100, std::string(300, 'i') + "\nend\n")},
      {"255 characters ending at the boundary",
       PlacedAt(end - 255, std::string(255, 'j') + "\r\nend\n")},
      {"CRs do not count toward 255",
       PlacedAt(end - 200, std::string(250, 'k') + "\r\r\r\r\r\r\r\r\r\rlmnop\n")},
      {"NUL bytes at the boundary", PlacedAt(end - 2, std::string("a\0\0b\n", 5))},
      {"file ends at the boundary without a line feed", PlacedAt(end - 3, "xyz")},
      {"file ends with a CR at the boundary", PlacedAt(end - 4, "xyz\r")},
      {"three blocks", PlacedAt(2 * end - 1, "\r\n" + std::string(end, 'm') + "\n")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<bool> inside, expectedInside;
    Lines lines = ReadLines(c.bytes, &inside);
    Lines expected = TextModeLines(c.bytes, &expectedInside);
    EXPECT_EQ(lines.size(), expected.size());
    EXPECT_TRUE(lines == expected);
    EXPECT_TRUE(inside == expectedInside);
  }
}

TEST_F(ReaderTest, SecondSectionContinuesAcrossBlocks) {
  // The unit section starts where the first block ends, and its header is
  // split by the boundary in the second case.
  for (size_t offset : {(size_t)READ_BLOCK_SIZE, (size_t)READ_BLOCK_SIZE - 3}) {
    SCOPED_TRACE(offset);
    std::string advances = "@CIVILIZE\r\n" + std::string(kAlpha) + "@IMPROVE\r\n";
    std::string filler = PlacedAt(offset - advances.size(), "");
    ReadSections(advances + filler + "@UNITS\r\n" + kCrew + "@TERRAIN\r\n");
    EXPECT_EQ(ListTexts(AdvanceLines), Lines{"Alpha Study, 3, 1, nil, nil, 0, 3 ; ASt"});
    EXPECT_EQ(ListTexts(UnitLines),
              Lines{"Field Crew, XYZ, 0, 1, 0, 2, 1, 10, 1, 3, 0, 5, ASt, 0000000000000010"});
    ResetRules();
  }
}

TEST_F(ReaderTest, SectionsOfTwoFilesNeverMix) {
  // The old file holds a second set of sections after its own: whatever is
  // read ahead of its headers would show up as ghosts.
  const char kGhost[] = "Ghost, 1, 1, nil, nil, 0, 0; Gho\n";
  const char kBeta[] = "Beta, 1, 1, nil, nil, 0, 0; Bet\n";
  const std::string oldText = "; old\n" + RulesText(kGhost, kCrew) + RulesText(kGhost, "");
  const std::string freshText = RulesText(kBeta, "");
  // The old file's sections, read in turn with the new file's advances.
  auto readInTurn = [&](FILE* old, FILE* fresh, bool seekable) {
    TextLine oldAdvances = {}, freshAdvances = {}, oldUnits = {};
    ReadSection(old, "@CIVILIZE\n", "@IMPROVE\n", &oldAdvances);
    // Each section leaves its file at the byte after its stop header; a
    // pipe has no position.
    EXPECT_EQ(ftell(old), seekable ? (long)(oldText.find("@IMPROVE\n") + 9) : -1L);
    ReadSection(fresh, "@CIVILIZE\n", "@IMPROVE\n", &freshAdvances);
    ReadSection(old, "@UNITS\n", "@TERRAIN\n", &oldUnits);
    EXPECT_EQ(ftell(old), seekable ? (long)(oldText.find("@TERRAIN\n") + 9) : -1L);
    EXPECT_EQ(ListTexts(oldAdvances), Lines{"Ghost, 1, 1, nil, nil, 0, 0; Gho"});
    EXPECT_EQ(ListTexts(freshAdvances), Lines{"Beta, 1, 1, nil, nil, 0, 0; Bet"});
    EXPECT_EQ(ListTexts(oldUnits), Lines{std::string(kCrew, sizeof kCrew - 2)});
    fclose(old);
    fclose(fresh);
  };
  readInTurn(OpenRulesFile(WriteFile(oldText).c_str()), OpenRulesFile(WriteFile(freshText).c_str()),
             true);
#if !defined(_WIN32)
  // Pipes cannot take back what was read ahead: they are read without it.
  auto pipeOf = [](const std::string& text) {
    int ends[2];
    EXPECT_EQ(pipe(ends), 0);
    EXPECT_EQ(write(ends[1], text.data(), text.size()), (ssize_t)text.size());
    close(ends[1]);
    return fdopen(ends[0], "rb");
  };
  readInTurn(pipeOf(oldText), pipeOf(freshText), false);
#endif

  // A load ended by a fatal error in the middle of its first section, then
  // reset, as the fuzzer does before its next file.
  std::string old = WriteFile(oldText);
  AllocFailAfter = 0;
  EXPECT_FATAL(LoadRules(old.c_str()), 1, "Not enough memory to load the rules file");
  ResetRules();
  Load(freshText);
  EXPECT_EQ(ListTexts(AdvanceLines), Lines{"Beta, 1, 1, nil, nil, 0, 0; Bet"});
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
    EXPECT_FATAL(Load(c.bytes), 1, c.message);
    ResetRules();
  }
}

TEST_F(ReaderTest, LineAfterTheLastStopHeaderIsNeverParsed) {
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

namespace {

// A file of exactly size bytes up to and including its "@TERRAIN" line,
// padded with comment lines of 200 bytes, then the tail.
std::string FileOfSize(size_t size, const std::string& tail) {
  const std::string head = "@CIVILIZE\n", end = "@IMPROVE\n@UNITS\n@TERRAIN\n";
  std::string text = head;
  size_t room = size - head.size() - end.size();
  const std::string comment = ";" + std::string(198, 'c') + "\n";
  while (room > comment.size() + 2) {
    text += comment;
    room -= comment.size();
  }
  text += ";" + std::string(room - 2, 'c') + "\n";
  return text + end + tail;
}

}  // namespace

TEST_F(ReaderTest, EveryLineKnowsItsNumberInTheFile) {
  std::string longLine = "Long " + std::string(300, 'x');
  ReadSections("; comment\r\n@CIVILIZE\r\n\r\nFirst\r\n; skipped\r\n" + longLine +
               "\nAfter Long\n@IMPROVE\nbetween\n@UNITS\n   \nUnit Line\n@TERRAIN\n");
  // The long line's two pieces both lie on line 6.
  struct Expected {
    const char* start;
    int32_t line;
  } advances[] = {{"First", 4}, {"Long ", 6}, {"xxxx", 6}, {"After Long", 7}};
  const TextLine* node = &AdvanceLines;
  for (const Expected& e : advances) {
    ASSERT_NE(node->text[0], '\0') << e.start;
    EXPECT_EQ(std::string(node->text).rfind(e.start, 0), 0u) << node->text;
    EXPECT_EQ(node->lineNumber, e.line) << node->text;
    node = node->next;
  }
  EXPECT_EQ(node->text[0], '\0');
  EXPECT_STREQ(UnitLines.text, "Unit Line");
  EXPECT_EQ(UnitLines.lineNumber, 12);
}

TEST_F(ReaderTest, ReadingEndsPastTheLimit) {
  // Up to the "@TERRAIN" line at the limit loads, whatever follows it;
  // one byte more is refused, also when it is a run of carriage returns
  // that never makes a line.
  const char message[] = "Rules file is longer than 16777216 bytes";
  Load(FileOfSize(RULES_READ_LIMIT, std::string(100000, 'z')));
  EXPECT_EQ(MaxLevelCount, 1);
  ResetRules();
  EXPECT_FATAL(Load(FileOfSize(RULES_READ_LIMIT + 1, "")), 1, message);
  ResetRules();
  EXPECT_FATAL(Load("@CIVILIZE\n" + std::string(RULES_READ_LIMIT, '\r')), 1, message);
}
