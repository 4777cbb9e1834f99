#pragma once
// Numbers written in script text.

// "0b"/"0B" followed by binary digits, "0x"/"0X" followed by hexadecimal digits
// (reading stops at the first other character; no digits give 0); anything else
// is read by the C library's decimal floating conversion (strtod). 0 for null.
double ParseNumberLiteral(const char* text);
