// The five pixel routine tables. Each routine is one plain loop over a
// per-pixel operation that is chosen once per call; the loops are written so
// that the compiler can unroll and vectorise them. The 15- and 16-bit tables
// share the routines that only need the bit layout, which they read from the
// descriptor's depth once per call.
#include "graphics2d/pixel_format.h"

#include <cstring>
#include <utility>

#include "graphics2d/blend_rows_32.h"
#include "graphics2d/colour_match.h"
#include "graphics2d/pixel_access.h"
#include "graphics2d/row_routines.h"

namespace {

// ---- Colours of one format --------------------------------------------------

inline uint32_t PaletteColour(const CSharedPalette* palette, uint32_t index) {
    const PaletteEntry& e = palette->entries[index & 0xFF];
    return e.red | static_cast<uint32_t>(e.green) << 8 | static_cast<uint32_t>(e.blue) << 16;
}

// Pixel -> library colour (8 bits: through the palette).
template <int F>
inline uint32_t ToColour(uint32_t p, const CSharedPalette* palette) {
    if constexpr (F == 8)
        return PaletteColour(palette, p);
    else
        return SwapRedBlue(Widen<F>(p));
}

// Library colour -> pixel of a format deeper than 8 bits (32 bits: fourth byte 0).
template <int F>
inline uint32_t FromColour(uint32_t c) {
    return Narrow<F>(SwapRedBlue(c));
}

// Calls f.template operator()<F>() with F the depth of a 15- or 16-bit descriptor.
template <class Body>
inline void WithShortLayout(int depth, Body&& body) {
    if (depth == 15)
        body(std::integral_constant<int, 15>());
    else
        body(std::integral_constant<int, 16>());
}

// ---- Loops -------------------------------------------------------------------

// Calls row(out, in) with the first pixel of every row of the destination
// area and of the source area.
template <int B, class Row>
void ForEachRow(PixelDescriptor* d, int32_t dx, int32_t dy, const PixelDescriptor* s, int32_t sx, int32_t sy,
                int32_t width, int32_t height, const Row& row) {
    TW_ASSERT_AREA(d, dx, dy, width, height);
    TW_ASSERT_AREA(s, sx, sy, width, height);
    uint8_t* outRow = PixelAddress(d, dx, dy);
    const uint8_t* inRow = PixelAddress(s, sx, sy);
    for (int32_t j = 0; j < height; ++j, outRow += d->rowStep, inRow += s->rowStep) row(outRow, inRow);
}

// Every pixel of the destination area with its source pixel: op(source, destination)
// gives the new destination value; with Transparent, source pixels of 0 are skipped.
template <int F, bool Transparent, class Op>
void CombineRows(PixelDescriptor* d, int32_t dx, int32_t dy, const PixelDescriptor* s, int32_t sx, int32_t sy,
                 int32_t width, int32_t height, const Op& op) {
    constexpr int B = kBytesOf<F>;
    ForEachRow<B>(d, dx, dy, s, sx, sy, width, height, [&](uint8_t* out, const uint8_t* in) {
        if constexpr (Transparent && B == 4) {
            // 32 bits: a select in place of the skip, so the loop has no branch
            // and the compiler can vectorise it; a skipped pixel is written back
            // unchanged.
            for (int32_t i = 0; i < width; ++i, out += B, in += B) {
                const uint32_t sv = LoadPixel<B>(in), dv = LoadPixel<B>(out);
                StorePixel<B>(out, sv == 0 ? dv : op(sv, dv));
            }
            return;
        }
        for (int32_t i = 0; i < width; ++i, out += B, in += B) {
            const uint32_t sv = LoadPixel<B>(in);
            if (Transparent && sv == 0) continue;
            StorePixel<B>(out, op(sv, LoadPixel<B>(out)));
        }
    });
}

// ---- Modes -------------------------------------------------------------------

// Mode 1 on two channels at once: red and blue in one masked product, green in
// another. Needs a + ia == 128 with a at most 128, else one channel spills into
// the next.
inline uint32_t Blend(uint32_t s, uint32_t d, uint32_t a, uint32_t ia) {
    const uint32_t rb = (((s & 0xFF00FF) * ia + (d & 0xFF00FF) * a) >> 7) & 0xFF00FF;
    const uint32_t g = (((s & 0x00FF00) * ia + (d & 0x00FF00) * a) >> 7) & 0x00FF00;
    return rb | g;
}

// Modes 1 and 6. At 8 bits the colours come from the destination's palette and
// the result goes back through its inverse table; deeper formats blend widened
// channels in pixel order. With Keyed (mode 6) a destination of 0 counts as c.
template <int F, bool Keyed>
struct BlendOp {
    uint32_t a, ia, c;
    CSharedPalette* palette;
    uint32_t operator()(uint32_t s, uint32_t d) const {
        if constexpr (F == 8) {
            const uint32_t dc = Keyed && d == 0 ? c : PaletteColour(palette, d);
            return LookUpInverse(palette, Blend(PaletteColour(palette, s), dc, a, ia));
        } else {
            const uint32_t dc = Keyed && d == 0 ? c : Widen<F>(d);
            return Narrow<F>(Blend(Widen<F>(s), dc, a, ia));
        }
    }
};

// Modes 1 and 6 over an area: at 32 bits four pixels at a time where the
// processor allows it (blend_rows_32.h, the same numbers), else pixel by pixel.
template <int F, bool Transparent, bool Keyed>
void BlendRows(PixelDescriptor* d, int32_t dx, int32_t dy, const PixelDescriptor* s, int32_t sx, int32_t sy,
               int32_t width, int32_t height, const BlendOp<F, Keyed>& op) {
#if defined(TW_BLEND_ROWS_32)
    if constexpr (F == 32) {
        const auto tail = [&op](uint8_t* out, const uint8_t* in) {
            const uint32_t sv = LoadPixel<4>(in);
            if (!Transparent || sv != 0) StorePixel<4>(out, op(sv, LoadPixel<4>(out)));
        };
        ForEachRow<4>(d, dx, dy, s, sx, sy, width, height, [&](uint8_t* out, const uint8_t* in) {
            BlendRow32<Transparent, Keyed>(out, in, width, op.a, op.c, tail);
        });
        return;
    }
#endif
    CombineRows<F, Transparent>(d, dx, dy, s, sx, sy, width, height, op);
}

template <int F>
constexpr uint32_t kInvertMask = F == 8 ? 0xFF : F <= 16 ? 0xFFFF : 0xFFFFFF;

template <int F, bool Transparent>
void ModeRows(PixelDescriptor* d, int32_t dx, int32_t dy, const PixelDescriptor* s, int32_t sx, int32_t sy,
              int32_t width, int32_t height, int32_t mode, uint32_t parameter) {
    auto run = [&](const auto& op) { CombineRows<F, Transparent>(d, dx, dy, s, sx, sy, width, height, op); };
    switch (mode) {
        case 0: run([](uint32_t sv, uint32_t) { return sv; }); return;
        case 2: run([](uint32_t sv, uint32_t) { return sv ^ kInvertMask<F>; }); return;
        case 3: run([](uint32_t sv, uint32_t dv) { return sv ^ dv; }); return;
        case 4: run([](uint32_t sv, uint32_t dv) { return sv & dv; }); return;
        case 5: run([](uint32_t sv, uint32_t dv) { return sv | dv; }); return;
        case 8: run([](uint32_t sv, uint32_t dv) { return dv & ~sv; }); return;
        case 1:
        case 6: break;
        default: return;  // mode 7 and unknown modes have no routine
    }
    // Set-up of the blends, once per call: the weight clamped to 0..128 (a
    // larger one would carry into the neighbouring channel), the colour c in
    // the form the blend works on, and the 8-bit inverse table (when it cannot
    // be made, LookUpInverse searches the palette for every pixel).
    const int32_t raw = mode == 1 ? static_cast<int32_t>(parameter) : static_cast<int32_t>(parameter >> 24);
    const uint32_t a = raw < 0 ? 0 : raw > 128 ? 128 : static_cast<uint32_t>(raw);
    uint32_t c = parameter & 0xFFFFFF;
    if constexpr (F != 8) c = SwapRedBlue(c);
    CSharedPalette* palette = d->palette;
    if constexpr (F == 8) CSharedPalette::BuildInverseTable(palette);
    if (mode == 1)
        BlendRows<F, Transparent>(d, dx, dy, s, sx, sy, width, height, BlendOp<F, false>{a, 128 - a, c, palette});
    else
        BlendRows<F, Transparent>(d, dx, dy, s, sx, sy, width, height, BlendOp<F, true>{a, 128 - a, c, palette});
}

// ---- Callbacks ---------------------------------------------------------------

template <int F, bool Transparent>
void CallbackRows(PixelDescriptor* d, int32_t dx, int32_t dy, const PixelDescriptor* s, int32_t sx, int32_t sy,
                  int32_t width, int32_t height, PixelCallback routine, uint32_t user) {
    // At 8 bits both indices are read through the destination's palette and the
    // result goes back through its inverse table, as in the blends.
    CSharedPalette* palette = d->palette;
    if constexpr (F == 8) CSharedPalette::BuildInverseTable(palette);
    CombineRows<F, Transparent>(d, dx, dy, s, sx, sy, width, height, [&](uint32_t sv, uint32_t dv) {
        const uint32_t r = routine(ToColour<F>(dv, palette), ToColour<F>(sv, palette), user);
        if constexpr (F == 8)
            return static_cast<uint32_t>(LookUpInverse(palette, r));
        else
            return FromColour<F>(r);
    });
}

// ---- Single pixels, fills, mirror, replace ------------------------------------

template <int F>
void PutPixel(PixelDescriptor* d, int32_t x, int32_t y, uint32_t colour) {
    TW_ASSERT_AREA(d, x, y, 1, 1);
    uint32_t v;
    if constexpr (F == 8)
        v = colour & kColourIsIndex ? colour & 0xFF : GetNearestPaletteIndex(d->palette, colour);
    else
        v = FromColour<F>(colour);
    StorePixel<kBytesOf<F>>(PixelAddress(d, x, y), v);
}

template <int F>
uint32_t GetPixel(const PixelDescriptor* d, int32_t x, int32_t y) {
    TW_ASSERT_AREA(d, x, y, 1, 1);
    const uint32_t p = LoadPixel<kBytesOf<F>>(PixelAddress(d, x, y));
    if constexpr (F == 8)
        return p;
    else
        return ToColour<F>(p, nullptr);
}

// The first row is written pixel by pixel, the others are copies of it.
template <int F>
void Fill(PixelDescriptor* d, int32_t x, int32_t y, int32_t rowStep, int32_t width, int32_t height, uint32_t value) {
    TW_ASSERT_AREA(d, x, y, width, height);
    if (width <= 0 || height <= 0) return;
    constexpr int B = kBytesOf<F>;
    const uint32_t v = F == 8 ? value & 0xFF : FromColour<F>(value);
    const size_t rowBytes = static_cast<size_t>(width) * B;
    uint8_t* first = d->rowBase + static_cast<ptrdiff_t>(y) * rowStep + static_cast<ptrdiff_t>(x) * B;
    if constexpr (B == 1) {
        std::memset(first, static_cast<int>(v), rowBytes);
    } else {
        for (int32_t i = 0; i < width; ++i) StorePixel<B>(first + i * B, v);
    }
    uint8_t* row = first;
    for (int32_t j = 1; j < height; ++j) {
        row += rowStep;
        if constexpr (B == 1)
            std::memset(row, static_cast<int>(v), rowBytes);
        else
            std::memcpy(row, first, rowBytes);
    }
}

template <int B>
void MirrorRows(PixelDescriptor* d, int32_t x, int32_t y, int32_t rowStep, int32_t width, int32_t height) {
    TW_ASSERT_AREA(d, x, y, width, height);
    uint8_t* row = d->rowBase + static_cast<ptrdiff_t>(y) * rowStep + static_cast<ptrdiff_t>(x) * B;
    for (int32_t j = 0; j < height; ++j, row += rowStep) {
        uint8_t* left = row;
        uint8_t* right = row + static_cast<ptrdiff_t>(width - 1) * B;
        for (; left < right; left += B, right -= B) {
            const uint32_t v = LoadPixel<B>(left);
            StorePixel<B>(left, LoadPixel<B>(right));
            StorePixel<B>(right, v);
        }
    }
}

// 8 bits: indices; deeper: library colours, compared on the colour bits.
template <int F>
void ReplaceRows(PixelDescriptor* d, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t newValue,
                 uint32_t oldValue) {
    TW_ASSERT_AREA(d, x, y, width, height);
    constexpr int B = kBytesOf<F>;
    constexpr uint32_t mask = F == 32 ? 0xFFFFFF : 0xFFFFFFFF;
    const uint32_t from = F == 8 ? oldValue & 0xFF : FromColour<F>(oldValue);
    const uint32_t to = F == 8 ? newValue & 0xFF : FromColour<F>(newValue);
    uint8_t* row = PixelAddress(d, x, y);
    for (int32_t j = 0; j < height; ++j, row += d->rowStep) {
        uint8_t* p = row;
        for (int32_t i = 0; i < width; ++i, p += B)
            if ((LoadPixel<B>(p) & mask) == from) StorePixel<B>(p, to);
    }
}

// ---- Conversions ---------------------------------------------------------------

template <int SF, int DF>
inline uint32_t ConvertPixel(uint32_t p, const CSharedPalette* source, CSharedPalette* target) {
    if constexpr (DF == 8) {
        return GetNearestPaletteIndex(target, ToColour<SF>(p, source));
    } else if constexpr (SF == 8) {
        return FromColour<DF>(PaletteColour(source, p));
    } else if constexpr (DF == 15 || DF == 16) {
        const uint32_t v = Narrow<DF>(Widen<SF>(p));
        return v == 0 && p != 0 ? 1 : v;  // a coloured pixel must not turn transparent
    } else {
        return Widen<SF>(p);
    }
}

template <int SF, int DF>
void ConvertRows(PixelDescriptor* d, int32_t dx, int32_t dy, const PixelDescriptor* s, int32_t sx, int32_t sy,
                 int32_t width, int32_t height) {
    if constexpr (SF == DF) {
        CopyRows(d, dx, dy, s, sx, sy, width, height);
    } else {
        TW_ASSERT_AREA(d, dx, dy, width, height);
        TW_ASSERT_AREA(s, sx, sy, width, height);
        constexpr int SB = kBytesOf<SF>, DB = kBytesOf<DF>;
        if constexpr (DF == 8) CSharedPalette::BuildInverseTable(d->palette);
        uint8_t* outRow = PixelAddress(d, dx, dy);
        const uint8_t* inRow = PixelAddress(s, sx, sy);
        for (int32_t j = 0; j < height; ++j, outRow += d->rowStep, inRow += s->rowStep) {
            uint8_t* out = outRow;
            const uint8_t* in = inRow;
            for (int32_t i = 0; i < width; ++i, out += DB, in += SB)
                StorePixel<DB>(out, ConvertPixel<SF, DF>(LoadPixel<SB>(in), s->palette, d->palette));
        }
    }
}

template <int SF>
void ConvertFrom(PixelDescriptor* d, int32_t dx, int32_t dy, int32_t, const PixelDescriptor* s, int32_t sx,
                 int32_t sy, int32_t width, int32_t height) {
    switch (d->formatIndex) {
        case 0: ConvertRows<SF, 8>(d, dx, dy, s, sx, sy, width, height); break;
        case 1: ConvertRows<SF, 15>(d, dx, dy, s, sx, sy, width, height); break;
        case 2: ConvertRows<SF, 16>(d, dx, dy, s, sx, sy, width, height); break;
        case 3: ConvertRows<SF, 24>(d, dx, dy, s, sx, sy, width, height); break;
        default: ConvertRows<SF, 32>(d, dx, dy, s, sx, sy, width, height); break;
    }
}

// ---- Table entries ---------------------------------------------------------------
// Formats 8, 24 and 32 have their own instances; 15 and 16 bits share the
// entries below that read the layout from the descriptor.

template <int F>
void CopyTransparent(PixelDescriptor* d, int32_t dx, int32_t dy, const PixelDescriptor* s, int32_t sx, int32_t sy,
                     int32_t width, int32_t height) {
    // Every pixel rewritten with a select instead of a skip: no branch to
    // mispredict on pictures with scattered holes, and the loop vectorises.
    CombineRows<F, false>(d, dx, dy, s, sx, sy, width, height,
                          [](uint32_t sv, uint32_t dv) { return sv != 0 ? sv : dv; });
}

template <int F, bool Transparent>
void ModeEntry(PixelDescriptor* d, int32_t dx, int32_t dy, const PixelDescriptor* s, int32_t sx, int32_t sy,
               int32_t width, int32_t height, int32_t mode, uint32_t parameter) {
    ModeRows<F, Transparent>(d, dx, dy, s, sx, sy, width, height, mode, parameter);
}

template <int F, bool Transparent>
void CallbackEntry(PixelDescriptor* d, int32_t dx, int32_t dy, const PixelDescriptor* s, int32_t sx, int32_t sy,
                   int32_t width, int32_t height, PixelCallback routine, uint32_t user) {
    CallbackRows<F, Transparent>(d, dx, dy, s, sx, sy, width, height, routine, user);
}

template <int F>
void ReplaceEntry(PixelDescriptor* d, int32_t x, int32_t y, int32_t width, int32_t height, int32_t,
                  uint32_t newValue, uint32_t oldValue) {
    ReplaceRows<F>(d, x, y, width, height, newValue, oldValue);
}

template <bool Transparent>
void ShortModeEntry(PixelDescriptor* d, int32_t dx, int32_t dy, const PixelDescriptor* s, int32_t sx, int32_t sy,
                    int32_t width, int32_t height, int32_t mode, uint32_t parameter) {
    WithShortLayout(d->depth, [&](auto f) {
        ModeRows<decltype(f)::value, Transparent>(d, dx, dy, s, sx, sy, width, height, mode, parameter);
    });
}

void ShortReplaceEntry(PixelDescriptor* d, int32_t x, int32_t y, int32_t width, int32_t height, int32_t,
                       uint32_t newValue, uint32_t oldValue) {
    WithShortLayout(d->depth,
                    [&](auto f) { ReplaceRows<decltype(f)::value>(d, x, y, width, height, newValue, oldValue); });
}

void ShortConvertFrom(PixelDescriptor* d, int32_t dx, int32_t dy, int32_t rowBytes, const PixelDescriptor* s,
                      int32_t sx, int32_t sy, int32_t width, int32_t height) {
    WithShortLayout(s->depth,
                    [&](auto f) { ConvertFrom<decltype(f)::value>(d, dx, dy, rowBytes, s, sx, sy, width, height); });
}

template <int F>
constexpr PixelRoutineTable MakeTable() {
    PixelRoutineTable t{};
    t.putPixel = PutPixel<F>;
    t.getPixel = GetPixel<F>;
    t.fill = Fill<F>;
    t.copy = CopyRows;
    t.copyTransparentCallback = CallbackEntry<F, true>;
    t.copyCallback = CallbackEntry<F, false>;
    t.mirrorRows = MirrorRows<kBytesOf<F>>;
    if constexpr (F == 15 || F == 16) {
        t.copyTransparent = CopyTransparent<16>;  // the test for 0 needs no layout
        t.copyTransparentMode = ShortModeEntry<true>;
        t.copyMode = ShortModeEntry<false>;
        t.replaceColour = ShortReplaceEntry;
        t.convertFrom = ShortConvertFrom;
    } else {
        t.copyTransparent = CopyTransparent<F>;
        t.copyTransparentMode = ModeEntry<F, true>;
        t.copyMode = ModeEntry<F, false>;
        t.replaceColour = ReplaceEntry<F>;
        t.convertFrom = ConvertFrom<F>;
    }
    return t;
}

const PixelRoutineTable kTables[5] = {MakeTable<8>(), MakeTable<15>(), MakeTable<16>(), MakeTable<24>(),
                                      MakeTable<32>()};

}  // namespace

const PixelRoutineTable& GetPixelRoutines(int formatIndex) { return kTables[formatIndex]; }

int FormatIndexOfDepth(int depth) {
    if (depth <= 8) return 0;
    if (depth <= 15) return 1;
    if (depth == 16) return 2;
    if (depth <= 24) return 3;
    return 4;
}

int DepthOfFormatIndex(int formatIndex) {
    static const int kDepths[5] = {8, 15, 16, 24, 32};
    return kDepths[formatIndex];
}

void InitPixelDescriptor(PixelDescriptor* d, int depth, int32_t width, int32_t height, uint8_t* bits, int32_t pitch,
                         bool bottomUp, CSharedPalette* palette) {
    *d = PixelDescriptor{};
    d->width = d->clipRight = width;
    d->height = d->clipBottom = height;
    d->depth = depth;
    d->formatIndex = FormatIndexOfDepth(depth);
    d->palette = palette;
    d->lockedBits = bits;
    d->pitch = pitch;
    d->rowStep = bottomUp ? -pitch : pitch;
    d->rowBase = bottomUp ? bits + static_cast<ptrdiff_t>(height - 1) * pitch : bits;
    d->bytesPerPixel = (depth + 7) / 8;
    d->bottomUp = bottomUp ? -1 : 0;
    d->routines = &GetPixelRoutines(d->formatIndex);
}
