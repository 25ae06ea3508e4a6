// The rules file reader: sections as lists of cleaned lines, and the two
// field scanners.
#include "rules/Reader.h"

#include <string.h>

#include "rules/Alloc.h"
#include "rules/Fatal.h"

TextLine AdvanceLines;
TextLine UnitLines;
int32_t LineFeedsRead;
int32_t BytesRead;
ReadLineHook LineHook;
void* LineHookContext;

namespace {

// The line being scanned and the name of its section, for messages.
const char* ScanSection = "";
const char* ScanLine = "";
int32_t ScanLineNumber = 0;

// Room left in TextBuffer for quoted texts once the rest of a message
// (fixedLength characters) is in.
int RoomAfter(int fixedLength) {
  int room = TEXT_BUFFER_SIZE - 1 - fixedLength;
  return room > 0 ? room : 0;
}

int ShownLength(const char* text, int room) {
  size_t length = strlen(text);
  return length < (size_t)room ? (int)length : room;
}

// A header's text without its line feed, for the end-of-file messages.
int HeaderNameLength(const char* header) {
  size_t length = strlen(header);
  if (length > 0 && header[length - 1] == '\n') length--;
  return (int)length;
}

[[noreturn]] void MissingDelimiter(char delimiter) {
  char what[] = "Missing \"?\"";
  what[9] = delimiter;
  RefuseLine(REFUSED_MISSING_DELIMITER, what);
}

[[noreturn]] void CodeTooLong(const char* code, int codeLength, int limit) {
  static const char kFormat[] = "Code \"%.*s\" is longer than %d characters in %s line \"%.*s\"";
  int room = RoomAfter(snprintf(nullptr, 0, kFormat, 0, "", limit, ScanSection, 0, ""));
  // The line keeps at least half of the room, the code gets what is left.
  int lineLength = ShownLength(ScanLine, room);
  if (lineLength > room - codeLength && lineLength > room / 2) {
    lineLength = room - codeLength > room / 2 ? room - codeLength : room / 2;
  }
  int shownCode = codeLength < room - lineLength ? codeLength : room - lineLength;
  FatalLine = ScanLineNumber;
  Fatal(1, REFUSED_CODE_TOO_LONG, kFormat, shownCode, code, limit, ScanSection, lineLength,
        ScanLine);
}

// The first delimiter at or after text, or null when the line ends first
// (the delimiter is never NUL). A plain loop rather than strchr: fields are
// a few characters long, fewer than the call costs.
const char* FindDelimiter(const char* text, char delimiter) {
  while (*text != delimiter) {
    if (*text == '\0') return nullptr;
    text++;
  }
  return text;
}

// ReadRulesLine, and the line handed to LineHook.
int ReadHookedLine(RulesReader* reader, char* buffer) {
  int32_t lineNumber = LineFeedsRead + 1;
  int count = ReadRulesLine(reader, buffer);
  if (LineHook != nullptr && count > 0) {
    LineHook(LineHookContext, buffer, count, lineNumber, reader->carriageInside);
  }
  return count;
}

// Most lines differ from a header in their first character; the test for
// it saves a call per line.
bool IsHeader(const char* line, const char* header) {
  return line[0] == header[0] && strcmp(line, header) == 0;
}

// ReadDecimal, returning where the number stopped.
const char* ScanDecimal(const char* text, int32_t* result) {
  bool negative;
  text = SkipSpaceAndSign(text, &negative);
  // Unsigned arithmetic: long digit strings wrap around instead of
  // overflowing.
  uint32_t value = 0;
  while (*text >= '0' && *text <= '9') {
    value = value * 10u + (uint32_t)(*text - '0');
    text++;
  }
  if (negative) value = 0u - value;
  memcpy(result, &value, sizeof *result);
  return text;
}

}  // namespace

void RefuseLine(Refusal refusal, const char* problem) {
  static const char kFormat[] = "%s in %s line \"%.*s\"";
  int room = RoomAfter(snprintf(nullptr, 0, kFormat, problem, ScanSection, 0, ""));
  FatalLine = ScanLineNumber;
  Fatal(1, refusal, kFormat, problem, ScanSection, ShownLength(ScanLine, room), ScanLine);
}

const char* SkipSpaceAndSign(const char* text, bool* negative) {
  while (IsRulesSpace(*text)) text++;
  *negative = *text == '-';
  if (*text == '+' || *text == '-') text++;
  return text;
}

bool IsRulesSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void ResetReader() {
  memset(&AdvanceLines, 0, sizeof AdvanceLines);
  memset(&UnitLines, 0, sizeof UnitLines);
  ScanSection = "";
  ScanLine = "";
  ScanLineNumber = 0;
  LineFeedsRead = 0;
  BytesRead = 0;
  FatalLine = 0;
}

FILE* OpenRulesFile(const char* path) {
  // Binary mode: line ends are translated by ReadRulesLine, the same on
  // every platform.
  FILE* file = fopen(path, "rb");
  if (file != nullptr) {
    // A path that opens but cannot be read (a directory) counts as missing.
    int first = getc(file);
    if (first != EOF) {
      ungetc(first, file);
      return file;
    }
    if (!ferror(file)) {
      clearerr(file);
      return file;
    }
    fclose(file);
  }
  static const char kFormat[] = "Vel2 rules file \"%.*s\" not found";
  int room = RoomAfter(snprintf(nullptr, 0, kFormat, 0, ""));
  Fatal(1, REFUSED_NOT_FOUND, kFormat, ShownLength(path, room), path);
}

void BeginReading(RulesReader* reader, RulesSource* source) {
  reader->source = source;
  // The block is cut into lines with memchr instead of a call per byte;
  // what is left of it must go back at the end, which needs a stream that
  // can seek.
  reader->readSize = source->file != nullptr && ftell(source->file) < 0 ? 1 : READ_BLOCK_SIZE;
  reader->next = 0;
  reader->end = 0;
  reader->carriageBefore = false;
  reader->carriageInside = false;
}

void EndReading(RulesReader* reader) {
  size_t unread = reader->end - reader->next;
  RulesSource* source = reader->source;
  // Cannot fail: the stream told its position, and the bytes lie behind it
  // in the last block read.
  if (unread > 0 && source->file != nullptr) fseek(source->file, -(long)unread, SEEK_CUR);
  if (source->file == nullptr) source->offset -= unread;
  reader->next = reader->end;
}

namespace {

// The next block of the source, as fread gives it.
size_t ReadBlock(RulesReader* reader) {
  RulesSource* source = reader->source;
  if (source->file != nullptr) return fread(reader->block, 1, reader->readSize, source->file);
  size_t count = source->size - source->offset;
  if (count > reader->readSize) count = reader->readSize;
  memcpy(reader->block, source->bytes + source->offset, count);
  source->offset += count;
  return count;
}

}  // namespace

int ReadRulesLine(RulesReader* reader, char* buffer) {
  int count = 0;
  reader->carriageInside = false;
  while (count < LINE_SIZE - 1) {
    if (reader->next == reader->end) {
      reader->end = ReadBlock(reader);
      reader->next = 0;
      if (reader->end == 0) break;
    }
    // The bytes that can join the line: up to its line feed, within the
    // room left.
    const char* start = reader->block + reader->next;
    size_t length = reader->end - reader->next;
    if (length > (size_t)(LINE_SIZE - 1 - count)) length = (size_t)(LINE_SIZE - 1 - count);
    const char* feed = static_cast<const char*>(memchr(start, '\n', length));
    if (feed != nullptr) length = (size_t)(feed - start) + 1;
    // Text mode: a carriage return is dropped and the byte after it takes
    // its place, so the copy stops there and the loop goes on after it.
    const char* carriage = static_cast<const char*>(memchr(start, '\r', length));
    if (carriage != nullptr) length = (size_t)(carriage - start);
    // A dropped carriage return before the line feed ends the line as
    // CR LF does; before any other byte it was inside the line.
    if (reader->carriageBefore && length > 0) {
      reader->carriageBefore = false;
      if (start[0] != '\n') reader->carriageInside = true;
    }
    memcpy(buffer + count, start, length);
    count += (int)length;
    reader->next += length;
    BytesRead += (int32_t)length;
    if (carriage != nullptr) {
      reader->next++;
      BytesRead++;
      reader->carriageBefore = true;
    }
    // Checked in the loop: a run of carriage returns adds nothing to the line.
    if (BytesRead > RULES_READ_LIMIT) {
      Fatal(1, REFUSED_FILE_TOO_LONG, "Rules file is longer than %d bytes", (int)RULES_READ_LIMIT);
    }
    if (carriage == nullptr && feed != nullptr) {
      break;
    }
  }
  buffer[count] = '\0';
  if (count > 0 && buffer[count - 1] == '\n') LineFeedsRead++;
  return count;
}

void CleanLine(char* line) {
  if (line[0] == ';') {
    line[0] = '\0';
    return;
  }
  size_t length = strlen(line);
  while (length > 0 && IsRulesSpace(line[length - 1])) {
    line[--length] = '\0';
  }
}

void ReadSection(FILE* file, const char* startHeader, const char* stopHeader, TextLine* head) {
  RulesSource source = {file, nullptr, 0, 0};
  ReadSection(&source, startHeader, stopHeader, head);
}

void ReadSection(RulesSource* source, const char* startHeader, const char* stopHeader,
                 TextLine* head) {
  RulesReader reader;
  BeginReading(&reader, source);
  char line[LINE_SIZE];
  line[0] = '\0';
  while (!IsHeader(line, startHeader)) {
    if (ReadHookedLine(&reader, line) == 0) {
      Fatal(1, REFUSED_NO_SECTION, "Rules file has no \"%.*s\" line", HeaderNameLength(startHeader),
            startHeader);
    }
  }
  TextLine* node = head;
  for (;;) {
    // A line longer than a read comes in pieces, each numbered by the line
    // it lies on.
    int32_t lineNumber = LineFeedsRead + 1;
    if (ReadHookedLine(&reader, line) == 0) {
      Fatal(1, REFUSED_SECTION_UNENDED, "Rules file ends before the \"%.*s\" line",
            HeaderNameLength(stopHeader), stopHeader);
    }
    if (IsHeader(line, stopHeader)) break;
    CleanLine(line);
    if (line[0] == '\0') continue;
    strcpy(node->text, line);
    node->lineNumber = lineNumber;
    node->next = static_cast<TextLine*>(AllocRecord(sizeof(TextLine)));
    node = node->next;
  }
  EndReading(&reader);
}

void BeginLine(const char* section, const char* line, int32_t lineNumber) {
  ScanSection = section;
  ScanLine = line;
  ScanLineNumber = lineNumber;
}

const char* CopyField(char* dest, int size, const char* start, char delimiter, FieldFit fit) {
  const char* end = FindDelimiter(start, delimiter);
  if (end == nullptr) MissingDelimiter(delimiter);
  const char* text = start;
  while (text < end && IsRulesSpace(*text)) text++;
  int length = (int)(end - text);
  if (length > size - 1) {
    if (fit == FIELD_EXACT) CodeTooLong(text, length, size - 1);
    length = size - 1;
  }
  memcpy(dest, text, (size_t)length);
  dest[length] = '\0';
  return end + 1;
}

int32_t ReadDecimal(const char* text) {
  int32_t value;
  ScanDecimal(text, &value);
  return value;
}

const char* ReadIntField(int32_t* dest, const char* start, char delimiter) {
  int32_t value;
  // The delimiter is never white space, a sign or a digit, so the search
  // for it can start where the number stopped.
  const char* end = FindDelimiter(ScanDecimal(start, &value), delimiter);
  if (end == nullptr) MissingDelimiter(delimiter);
  *dest = value;
  return end + 1;
}
