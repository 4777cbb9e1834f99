#pragma once
// The seeded random generator of the math class: a combined multiplicative
// congruential generator of two streams (moduli 2147483563 and 2147483399).
// The same seed always gives the same sequence, on every build.
#include <cstdint>

class CRandomGenerator {
public:
    CRandomGenerator() { Seed(1); }

    // s1 = low 16 bits of the seed, s2 = bits 15 to 30; each kept in its
    // stream's range 1..modulus-1.
    void Seed(int32_t seed);
    // Next number in [0, 1).
    double Next();
    // n times the next number, truncated toward zero (0..n-1 for a positive n,
    // never n itself).
    int32_t NextBelow(int32_t n);

    int32_t GetS1() const { return m_s1; }
    int32_t GetS2() const { return m_s2; }

private:
    int32_t m_s1 = 1;
    int32_t m_s2 = 1;
};
