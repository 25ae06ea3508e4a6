// Whether the rules file was saved as UTF-8, for the warnings.
#pragma once
#include <stdint.h>

#include <string>

// Has the warnings look at the bytes of the next load as the reader reads
// them (rules/Reader.h), to tell a file saved as UTF-8.
void WatchEncoding();
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
