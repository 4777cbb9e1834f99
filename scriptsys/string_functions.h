#pragma once
// Text operations of the script string class. Each takes the object's text
// (null counts as the empty string) and answers a new value; the text itself
// never changes. Indexes are byte positions from 0; out-of-range indexes give
// empty texts, -1 or 0, never errors.
#include <cstdint>
#include <string>

namespace tw::strings {

// "<tag>" + text + "</tag>" for the plain wrappers (BIG, B, I, SMALL, STRIKE,
// SUB, SUP).
std::string WrapInTag(const char* text, const char* tag);
// "<FONT COLOR=#RRGGBB>" + text + "</FONT>", the colour cut to 24 bits and
// written as six upper-case hexadecimal digits.
std::string WrapFontColor(const char* text, int32_t colour);
// "<FONT SIZE=n>" + text + "</FONT>".
std::string WrapFontSize(const char* text, int32_t size);

std::string ToLowerCase(const char* text);
std::string ToUpperCase(const char* text);

// The character at index as a one-character text; empty outside 0..length-1.
std::string CharAt(const char* text, int32_t index);
// First occurrence of sub at or after start (0..length-1, else -1), as an
// index from the beginning of the text; -1 when there is none.
int32_t IndexOf(const char* text, const char* sub, int32_t start);
// Start of the last of the non-overlapping occurrences found from the left;
// -1 when text or sub is empty or there is none.
int32_t LastIndexOf(const char* text, const char* sub);
// count characters from start (cut to what is left); empty unless start is
// within the text and count is positive.
std::string SubString(const char* text, int32_t start, int32_t count);
int32_t Length(const char* text);
// Unsigned code of the character at index, 0 outside the text.
int32_t AsciiAt(const char* text, int32_t index);
// Case-insensitive comparison: negative, 0 or positive.
int32_t CompareNoCase(const char* a, const char* b);

}  // namespace tw::strings
