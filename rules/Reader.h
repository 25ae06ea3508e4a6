// Cuts the sections of the rules file into lists of cleaned lines, and
// scans the fields of such a line.
#pragma once
#include <stdint.h>
#include <stdio.h>

#include "rules/Fatal.h"

enum { LINE_SIZE = 256 };

// The reader takes the file in blocks of this many bytes.
enum { READ_BLOCK_SIZE = 4096 };

// The most bytes read from a rules file, from its start to the end of its
// "@TERRAIN" line, that line included (16 MiB): real rules files hold tens
// of KB, and a tree of 100,000 advances with a unit each about 12.5 MB.
// Endless or absurd input ends the load.
enum { RULES_READ_LIMIT = 16 * 1024 * 1024 };

// What a load reads: an open file, or the bytes of a text in memory (the
// text an editor holds), with how far they have been read.
struct RulesSource {
  FILE* file;  // nullptr for the bytes
  const char* bytes;
  size_t size;
  size_t offset;
};

// One file being read line by line, with the bytes read ahead of the lines
// returned so far. It lives as long as one section is read, so that no
// byte of one file is ever taken for a byte of another.
struct RulesReader {
  RulesSource* source;
  size_t readSize;  // bytes asked of each read: 1 where read-ahead cannot be given back
  size_t next;      // the first byte of block not yet returned
  size_t end;       // the bytes in block
  // A carriage return was dropped and the byte after it not yet read; the
  // line last returned held one that stood before a byte other than a line
  // feed (one inside the line, not at its end).
  bool carriageBefore;
  bool carriageInside;
  char block[READ_BLOCK_SIZE];
};

struct TextLine {
  char text[LINE_SIZE];  // cleaned line; empty in the node that ends a list
  TextLine* next;
  int32_t lineNumber;  // the file's line it came from, counted from 1, for messages
};

// Line feeds read from the rules file since the last reset: the number of
// the line being read is one more. And the bytes taken into lines.
extern int32_t LineFeedsRead;
extern int32_t BytesRead;

// Called, when set, with every line ReadSection reads (as ReadRulesLine
// returns it, headers and skipped lines too), the number of the line it
// lies on and whether a carriage return inside it was dropped: the checker
// looks at the bytes the cleaned lines no longer show. Nothing the load
// does depends on it.
typedef void (*ReadLineHook)(void* context, const char* bytes, int length, int32_t lineNumber,
                             bool carriageInside);
extern ReadLineHook LineHook;
extern void* LineHookContext;

extern TextLine AdvanceLines;  // "@CIVILIZE" to "@IMPROVE"
extern TextLine UnitLines;     // "@UNITS" to "@TERRAIN"

// Empties both section lists and forgets the line being scanned.
void ResetReader();

// Opens the rules file; ends the program with the not-found message when
// it cannot be opened or read.
FILE* OpenRulesFile(const char* path);

// Skips to the start header, then stores every non-empty cleaned line up to
// the stop header in the list at head. Headers carry their line feed. The
// source is left at the byte after the stop header's line feed.
void ReadSection(RulesSource* source, const char* startHeader, const char* stopHeader,
                 TextLine* head);
// The same from a file, open in binary mode, at its position.
void ReadSection(FILE* file, const char* startHeader, const char* stopHeader, TextLine* head);

// Starts reading the source from its position. A stream that cannot tell
// its position (a pipe) is read a byte at a time, so that nothing is read
// ahead.
void BeginReading(RulesReader* reader, RulesSource* source);

// Gives the bytes read ahead back to the source: its position is then the
// byte after the last line returned.
void EndReading(RulesReader* reader);

// Reads one line as the platform's text mode would: carriage returns are
// dropped (reader->carriageInside tells of one inside the line), at most
// 255 characters, the line feed kept. Returns the number
// of bytes stored (NUL bytes included), 0 at the end of the file. Counts
// the line feeds read in LineFeedsRead and the bytes in BytesRead; past
// RULES_READ_LIMIT bytes it ends the load.
int ReadRulesLine(RulesReader* reader, char* buffer);

void CleanLine(char* line);

// How a text that does not fit its field is handled.
enum FieldFit { FIELD_CUT, FIELD_EXACT };

// Copies the field that starts at start and ends at the delimiter into
// dest, a zero-filled field of size characters. The scan never leaves the
// line: a missing delimiter ends the load with a message naming the line
// passed to BeginLine. A text longer than size - 1 is cut (FIELD_CUT) or
// ends the load (FIELD_EXACT). Returns the position after the delimiter.
const char* CopyField(char* dest, int size, const char* start, char delimiter, FieldFit fit);

// Reads a decimal number (see ReadDecimal) and returns the position after
// the delimiter; a missing delimiter ends the load as in CopyField.
const char* ReadIntField(int32_t* dest, const char* start, char delimiter);

// White space, optional sign, decimal digits up to the first non-digit,
// wrapping in 32 bits; no digit reads 0.
int32_t ReadDecimal(const char* text);

// Names the line being scanned, for the messages of the scanners, with its
// number in the file (0 when not known).
void BeginLine(const char* section, const char* line, int32_t lineNumber = 0);

// Ends the load with "<problem> in <section> line "<line>"", the line cut
// to fit.
[[noreturn]] void RefuseLine(Refusal refusal, const char* problem);

bool IsRulesSpace(char c);

// Skips the white space and the one optional "+" or "-" before the digits
// of a number; returns where the digits start.
const char* SkipSpaceAndSign(const char* text, bool* negative);
