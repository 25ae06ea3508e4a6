// What the rules file's bytes say that its cleaned lines no longer do, for
// the warnings: whether it was saved as UTF-8, and where a carriage return
// stands inside a line.
#pragma once
#include <stdint.h>

#include <string>
#include <vector>

// Has the warnings look at the bytes of the next load as the reader reads
// them (rules/Reader.h), to tell a file saved as UTF-8 and the lines that
// held a carriage return the reader dropped.
void WatchEncoding();
// The lines read that held a carriage return inside them (before a byte
// other than their line feed: the game drops it, and an editor may show a
// line break there), in file order, each once.
const std::vector<int32_t>& CarriageReturnLines();
// Whether the watched file is UTF-8: it begins with a byte order mark, or
// it holds multi-byte sequences and no byte that UTF-8 does not allow.
bool FileIsUtf8();
// The line of the mark, or of the first sequence.
int32_t Utf8Line();
// The warning about such a file, with a name of it (its bytes as read,
// empty when none has a letter outside ASCII) as meant and as shown.
std::string Utf8Message(const std::string& exampleName);
// The warning about a name cut in a UTF-8 file that has no more than the
// letters allowed as UTF-8; empty when that is not the case.
std::string Utf8CutMessage(const char* kind, const std::string& raw, const char* stored);
