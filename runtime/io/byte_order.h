#pragma once
// Conversion of values between the three byte orders that binary data can use.
// Orders 1 and 2 are the two plain orders (each the byte-reverse of the other;
// 2 is the host's order on the product's platform); order 3 is the 16-bit-
// swapped order. For a 32-bit value the conversions are:
//   equal orders  unchanged
//   1 <-> 2       all four bytes reversed
//   1 <-> 3       the two bytes of each 16-bit half exchanged
//   2 <-> 3       the two 16-bit halves exchanged
//   other pairs   0
// The 64-bit conversions are the counterpart applied to both 32-bit words:
//   1 <-> 2       all eight bytes reversed
//   1 <-> 3       the two bytes of each 16-bit unit exchanged
//   2 <-> 3       the two 16-bit halves of each 32-bit word exchanged
//   other pairs   0
// A 16-bit value changes only between orders 1 and 2.
//
// Byte-swapped floating-point bits are often NaN patterns; on x86-32 a float or
// double passed through the FPU stack can have a signalling NaN quietened, which
// changes its bits. Code that moves raw data should use the integer forms.
#include <cstdint>

uint16_t SwapBytes16(uint16_t value, int from, int to);
uint32_t SwapBytes32(uint32_t value, int from, int to);
uint64_t SwapBytes64(uint64_t value, int from, int to);

// SwapBytes32 on the float's bits.
float SwapBytesFloat(float value, int from, int to);
// SwapBytes64 on the double's bits.
double SwapBytes64Double(double value, int from, int to);
