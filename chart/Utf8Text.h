// Rules-file text for UTF-8 documents: the viewer draws each byte through
// the Windows ANSI code page (Windows-1252), so the exports convert each
// byte through the same table.
#pragma once
#include <string>

enum { UTF8_CHAR_MAX = 3 };  // every Windows-1252 character fits in 3 bytes

// Writes the UTF-8 form of one byte into out and returns its length. Bytes
// the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) and control
// characters (below 0x20, and 0x7F) give U+FFFD, the replacement character.
int Cp1252ToUtf8(unsigned char byte, char out[UTF8_CHAR_MAX]);

// Appends the text, converted.
void AppendUtf8(std::string* out, const char* text);

// Appends the text, converted, with &, <, >, " and ' as character
// references: safe in XML and HTML text and in quoted attribute values.
void AppendXmlText(std::string* out, const char* text);

// Appends UTF-8 text as it is, with the same character references.
void AppendXmlUtf8(std::string* out, const std::string& text);
