#pragma once
// The rich edit control's argument and unit rules, apart from any window:
// how "FindText" splits its options from its start, the twips arithmetic of
// the character height, and the bounds of "GetTextRange".
#include <cstdint>

namespace rich_edit {

// "FindText"'s arguments after the text, omitted ones left out: a negative
// value (the option constants, top bit set) adds its low 31 bits to the
// flags; the first non-negative one is the start. Without one the search
// starts at 0: the control does not take 0x80000000 as the start of the
// text, which it was meant to be.
struct FindOptions {
    uint32_t flags = 0;
    int32_t start = 0;
};
FindOptions SplitFindOptions(const int32_t* values, int32_t count);

// Twips per screen pixel: 1440 / dots per inch, never below 1 (a screen of
// more than 1440 dpi would otherwise divide by zero).
int32_t TwipsPerPixel(int32_t dpi);
int32_t PixelsToTwips(int32_t pixels, int32_t dpi);
int32_t TwipsToPixels(int32_t twips, int32_t dpi);

// Script colours are 0xRRGGBB, the control's COLORREF 0x00BBGGRR.
inline uint32_t SwapRedBlue(uint32_t c) { return (c & 0xFF) << 16 | (c & 0xFF00) | ((c >> 16) & 0xFF); }

// The range "GetTextRange" asks for: end -1 (or omitted) is the end of the
// text; any end is clamped to the text length. False when the range is
// empty (end <= start), so that nothing is sent. *size is the buffer size,
// terminator included.
bool TextRangeBounds(int32_t start, int32_t end, int32_t textLength, int32_t* clampedEnd, int32_t* size);

}  // namespace rich_edit
