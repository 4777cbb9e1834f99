#pragma once
// Tokens of a command line. Tokens are separated by blanks and tabs; a token that
// starts with a double or single quote runs to the next quote of the same kind
// (the quotes are not part of it, and an unclosed quote runs to the end); any
// other character below 32 ends the text. Bytes of 0x80 and above are ordinary
// token characters.

// With a destination: copies token number `index` (0-based) into it, at most
// size - 1 characters and always NUL-terminated when size > 0 (an empty string
// when there is no such token; nothing is written when size <= 0), and answers
// index. Without a destination: answers the number of tokens.
int GetQuotedToken(char* destination, int size, const char* text, int index);

// Number of tokens in text; 0 for a null text.
int CountTokens(const char* text);
