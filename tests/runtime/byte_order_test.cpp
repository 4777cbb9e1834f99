#include "runtime/io/byte_order.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(ByteOrder, ThirtyTwoBitPairs) {
    struct Case { int from, to; uint32_t out; };
    const Case cases[] = {
        {1, 1, 0x11223344}, {2, 2, 0x11223344}, {3, 3, 0x11223344}, {7, 7, 0x11223344},
        {1, 2, 0x44332211}, {2, 1, 0x44332211},
        {1, 3, 0x22114433}, {3, 1, 0x22114433},
        {2, 3, 0x33441122}, {3, 2, 0x33441122},
        {0, 1, 0}, {1, 4, 0}, {-1, 2, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SwapBytes32(0x11223344, c.from, c.to), c.out) << c.from << "->" << c.to;
        // The float form moves exactly the same bits.
        float f;
        uint32_t in = 0x11223344, bits;
        std::memcpy(&f, &in, 4);
        f = SwapBytesFloat(f, c.from, c.to);
        std::memcpy(&bits, &f, 4);
        EXPECT_EQ(bits, c.out) << "float " << c.from << "->" << c.to;
    }
}

TEST(ByteOrder, SixteenBitSwapsOnlyBetweenThePlainOrders) {
    struct Case { int from, to; uint16_t out; };
    const Case cases[] = {
        {1, 2, 0x2211}, {2, 1, 0x2211}, {1, 1, 0x1122}, {1, 3, 0x1122}, {2, 3, 0x1122}, {0, 5, 0x1122},
    };
    for (const Case& c : cases) EXPECT_EQ(SwapBytes16(0x1122, c.from, c.to), c.out) << c.from << "->" << c.to;
}

TEST(ByteOrder, SixtyFourBitIsTheCounterpartOfThirtyTwo) {
    const uint64_t v = 0x1122334455667788ull;
    struct Case { int from, to; uint64_t out; };
    const Case cases[] = {
        {2, 2, v},
        {1, 2, 0x8877665544332211ull}, {2, 1, 0x8877665544332211ull},
        {1, 3, 0x2211443366558877ull}, {3, 1, 0x2211443366558877ull},
        {2, 3, 0x3344112277885566ull}, {3, 2, 0x3344112277885566ull},
        {0, 2, 0}, {3, 9, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SwapBytes64(v, c.from, c.to), c.out) << c.from << "->" << c.to;
        double d;
        uint64_t bits;
        std::memcpy(&d, &v, 8);
        d = SwapBytes64Double(d, c.from, c.to);
        std::memcpy(&bits, &d, 8);
        EXPECT_EQ(bits, c.out) << "double " << c.from << "->" << c.to;
    }
    // Each 32-bit word of a 64-bit conversion is converted like a 32-bit value.
    for (int from = 1; from <= 3; ++from)
        for (int to = 1; to <= 3; ++to) {
            uint64_t r = SwapBytes64(v, from, to);
            uint32_t a = SwapBytes32(0x11223344, from, to), b = SwapBytes32(0x55667788, from, to);
            EXPECT_TRUE(r == ((uint64_t(a) << 32) | b) || r == ((uint64_t(b) << 32) | a)) << from << "->" << to;
        }
}

TEST(ByteOrder, ConversionsRoundTrip) {
    const uint32_t v32 = 0xA1B2C3D4;
    const uint64_t v64 = 0x0123456789ABCDEFull;
    for (int from = 1; from <= 3; ++from)
        for (int to = 1; to <= 3; ++to) {
            EXPECT_EQ(SwapBytes32(SwapBytes32(v32, from, to), to, from), v32) << from << "->" << to;
            EXPECT_EQ(SwapBytes64(SwapBytes64(v64, from, to), to, from), v64) << from << "->" << to;
        }
}

}  // namespace
