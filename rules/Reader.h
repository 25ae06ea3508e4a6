// Cuts the sections of the rules file into lists of cleaned lines, and
// scans the fields of such a line.
#pragma once
#include <stdint.h>
#include <stdio.h>

enum { LINE_SIZE = 256 };

// The reader takes the file in blocks of this many bytes.
enum { READ_BLOCK_SIZE = 4096 };

struct TextLine {
  char text[LINE_SIZE];  // cleaned line; empty in the node that ends a list
  TextLine* next;
};

extern TextLine AdvanceLines;  // "@CIVILIZE" to "@IMPROVE"
extern TextLine UnitLines;     // "@UNITS" to "@TERRAIN"

// Opens the rules file; ends the program with the not-found message when
// it cannot be opened or read.
FILE* OpenRulesFile(const char* path);

// Drops the bytes read ahead of the last line returned, so that the next
// read starts a new file. OpenRulesFile calls it; so must anything else
// that starts reading a file, even a new file at the address of an old one.
void ForgetReadAhead();

// Skips to the start header, then stores every non-empty cleaned line up to
// the stop header in the list at head. Headers carry their line feed.
void ReadSection(FILE* file, const char* startHeader, const char* stopHeader, TextLine* head);

// Reads one line as the platform's text mode would: carriage returns are
// dropped, at most 255 characters, the line feed kept. Returns the number
// of bytes stored (NUL bytes included), 0 at the end of the file. Reads
// ahead of the line: the next line of the same file continues from there.
int ReadRulesLine(FILE* file, char* buffer);

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

// Names the line being scanned, for the messages of the scanners.
void BeginLine(const char* section, const char* line);

// Ends the load with "<problem> in <section> line "<line>"", the line cut
// to fit.
[[noreturn]] void RefuseLine(const char* problem);

bool IsRulesSpace(char c);

// Skips the white space and the one optional "+" or "-" before the digits
// of a number; returns where the digits start.
const char* SkipSpaceAndSign(const char* text, bool* negative);
