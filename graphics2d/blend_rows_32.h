#pragma once
// Blits of modes 1 and 6 between 32-bit areas, four pixels at a time where
// the processor has SSE2 (every x86-64 and the i686 build, which asks for it).
//
// Per channel the rule is (s × (128 − a) + d × a) / 128, truncated. Written as
// s + floor((d − s) × a / 128) it is the same number (s × 128 divides by 128
// exactly) and needs one 16-bit product per channel: |d − s| × a is at most
// 255 × 128, which fits a signed 16-bit lane, and the arithmetic shift floors.
// The fourth byte of a blended pixel is 0; with the transparent flag a source
// pixel of 0 leaves the destination pixel as it was; with Keyed (mode 6) a
// destination pixel of 0 counts as c (in pixel order).
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#define TW_BLEND_ROWS_32 1

template <bool Transparent, bool Keyed>
inline void BlendFour32(uint8_t* out, const uint8_t* in, __m128i weight, __m128i keyColour) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out));
    __m128i dc = d;
    if constexpr (Keyed) {
        const __m128i none = _mm_cmpeq_epi32(d, zero);
        dc = _mm_or_si128(_mm_and_si128(none, keyColour), _mm_andnot_si128(none, d));
    }
    const __m128i sLow = _mm_unpacklo_epi8(s, zero), sHigh = _mm_unpackhi_epi8(s, zero);
    const __m128i low = _mm_add_epi16(
        sLow, _mm_srai_epi16(_mm_mullo_epi16(_mm_sub_epi16(_mm_unpacklo_epi8(dc, zero), sLow), weight), 7));
    const __m128i high = _mm_add_epi16(
        sHigh, _mm_srai_epi16(_mm_mullo_epi16(_mm_sub_epi16(_mm_unpackhi_epi8(dc, zero), sHigh), weight), 7));
    __m128i blended = _mm_and_si128(_mm_packus_epi16(low, high), _mm_set1_epi32(0x00FFFFFF));
    if constexpr (Transparent) {
        const __m128i skip = _mm_cmpeq_epi32(s, zero);
        blended = _mm_or_si128(_mm_and_si128(skip, d), _mm_andnot_si128(skip, blended));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), blended);
}

// One row: whole groups of four through BlendFour32, the last 0 to 3 pixels
// through tail(out, in) one at a time; a and c as above.
template <bool Transparent, bool Keyed, class Tail>
inline void BlendRow32(uint8_t* out, const uint8_t* in, int32_t width, uint32_t a, uint32_t c, const Tail& tail) {
    const __m128i weight = _mm_set1_epi16(static_cast<int16_t>(a));
    const __m128i keyColour = _mm_set1_epi32(static_cast<int32_t>(c));
    int32_t i = 0;
    for (; i + 4 <= width; i += 4, out += 16, in += 16) BlendFour32<Transparent, Keyed>(out, in, weight, keyColour);
    for (; i < width; ++i, out += 4, in += 4) tail(out, in);
}
#endif
