#include "scriptsys/random_generator.h"

#include <cmath>

namespace {

constexpr int32_t kModulus1 = 2147483563;
constexpr int32_t kModulus2 = 2147483399;

int32_t Clamp(int32_t v, int32_t low, int32_t high) { return v < low ? low : v > high ? high : v; }

// a * s mod m without overflow (quotient q = m / a, remainder r = m % a).
int32_t Step(int32_t s, int32_t a, int32_t q, int32_t r, int32_t m) {
    int32_t k = s / q;
    int32_t next = a * (s - k * q) - k * r;
    return next < 0 ? next + m : next;
}

}  // namespace

void CRandomGenerator::Seed(int32_t seed) {
    const uint32_t bits = static_cast<uint32_t>(seed);
    m_s1 = Clamp(static_cast<int32_t>(bits & 0xFFFFu), 1, kModulus1 - 1);
    m_s2 = Clamp(static_cast<int32_t>((bits >> 15) & 0xFFFFu), 1, kModulus2 - 1);
}

double CRandomGenerator::Next() {
    m_s1 = Step(m_s1, 40014, 53668, 12211, kModulus1);
    m_s2 = Step(m_s2, 40692, 52774, 3791, kModulus2);
    int32_t z = m_s1 - m_s2;
    if (z < 1) z += kModulus1 - 1;
    double u = std::fabs(z * 4.656613e-10);
    if (u > 1.0) u = 1.0 / u;
    return u;
}

int32_t CRandomGenerator::NextBelow(int32_t n) {
    // |n × u| < |n| always fits in 32 bits.
    return static_cast<int32_t>(static_cast<double>(n) * Next());
}
