#pragma once
// Bounded name copies and comparisons shared by the engine's named elements.
#include <cctype>
#include <cstddef>
#include <cstring>

// Copies at most size - 1 characters of text (null: none) and terminates;
// nothing for a size below 1.
inline void CopyBounded(char* out, long long size, const char* text) {
    if (!out || size < 1) return;
    size_t n = text ? std::strlen(text) : 0;
    if (n > size_t(size - 1)) n = size_t(size - 1);
    if (n) std::memcpy(out, text, n);
    out[n] = '\0';
}

// Case-insensitive equality of two names (ASCII).
inline bool NamesEqual(const char* a, const char* b) {
    if (!a || !b) return false;
    for (; *a && *b; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) return false;
    return *a == *b;
}
