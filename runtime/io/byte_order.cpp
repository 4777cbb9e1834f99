#include "runtime/io/byte_order.h"

#include <cstring>

namespace {

// 0 for an unknown pairing, else 12 (plain reversal), 13 or 23, order-independent.
int Pair(int from, int to) {
    int lo = from < to ? from : to;
    int hi = from < to ? to : from;
    if (lo == 1 && hi == 2) return 12;
    if (lo == 1 && hi == 3) return 13;
    if (lo == 2 && hi == 3) return 23;
    return 0;
}

uint32_t SwapWithinHalves32(uint32_t v) { return ((v & 0x00FF00FFu) << 8) | ((v >> 8) & 0x00FF00FFu); }
uint32_t SwapHalves32(uint32_t v) { return (v << 16) | (v >> 16); }
uint32_t Reverse32(uint32_t v) { return SwapHalves32(SwapWithinHalves32(v)); }

}  // namespace

uint16_t SwapBytes16(uint16_t value, int from, int to) {
    if (from != to && Pair(from, to) == 12) return static_cast<uint16_t>((value << 8) | (value >> 8));
    return value;
}

uint32_t SwapBytes32(uint32_t value, int from, int to) {
    if (from == to) return value;
    switch (Pair(from, to)) {
        case 12: return Reverse32(value);
        case 13: return SwapWithinHalves32(value);
        case 23: return SwapHalves32(value);
        default: return 0;
    }
}

uint64_t SwapBytes64(uint64_t value, int from, int to) {
    if (from == to) return value;
    uint32_t lo = static_cast<uint32_t>(value);
    uint32_t hi = static_cast<uint32_t>(value >> 32);
    switch (Pair(from, to)) {
        case 12: return (static_cast<uint64_t>(Reverse32(lo)) << 32) | Reverse32(hi);
        case 13: return (static_cast<uint64_t>(SwapWithinHalves32(hi)) << 32) | SwapWithinHalves32(lo);
        case 23: return (static_cast<uint64_t>(SwapHalves32(hi)) << 32) | SwapHalves32(lo);
        default: return 0;
    }
}

float SwapBytesFloat(float value, int from, int to) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    bits = SwapBytes32(bits, from, to);
    std::memcpy(&value, &bits, sizeof bits);
    return value;
}

double SwapBytes64Double(double value, int from, int to) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    bits = SwapBytes64(bits, from, to);
    std::memcpy(&value, &bits, sizeof bits);
    return value;
}
