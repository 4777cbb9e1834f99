#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "runtime/base/angle.h"
#include "runtime/base/number_literal.h"

namespace {

TEST(NumberLiteral, PrefixesAndDecimal) {
    struct Case { const char* text; double value; };
    const Case cases[] = {
        {"0x1F", 31},      {"0X1f", 31},      {"0b101", 5},   {"0B11", 3},
        {"1e3", 1000},     {"3.25", 3.25},    {"-2.5", -2.5}, {"42abc", 42},
        {"0x", 0},         {"0b", 0},         {"0b102", 2},   {"0xFFFFFFFF", 4294967295.0},
        {"0x1G", 1},       {"", 0},           {"abc", 0},     {"007", 7},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(ParseNumberLiteral(c.text), c.value) << c.text;
    EXPECT_EQ(ParseNumberLiteral(nullptr), 0.0);
    // Far more digits than 64 bits hold: precision is lost, nothing overflows.
    EXPECT_DOUBLE_EQ(ParseNumberLiteral("0x10000000000000000000"), std::ldexp(1.0, 76));
}

TEST(Angle, WrapsIntoOneTurn) {
    const double kTwoPi = 6.283185307178;
    struct Case { float in; double out; };
    const Case cases[] = {
        {-0.0005f, 0},  {0.0005f, 0},     {0.0f, 0},          {1.0f, 1.0},
        {-1.0f, kTwoPi - 1.0},            {7.0f, 7.0 - kTwoPi},
        {-7.0f, 2 * kTwoPi - 7.0},        {6.2831850f, 6.2831850f}, {-6.2831850f, 0},
        {1000.0f, std::fmod(1000.0, kTwoPi)},
    };
    for (const Case& c : cases) EXPECT_NEAR(NormalizeAngle(c.in), c.out, 1e-5) << c.in;

    // Every result lies in [0, 2*pi), however large the angle.
    for (float a : {1e30f, -1e30f, 3.4e38f, 6.28318f, -6.28318f, 12.566371f})
    {
        float r = NormalizeAngle(a);
        EXPECT_GE(r, 0.0f) << a;
        EXPECT_LT(r, kTwoPi) << a;
    }
}

TEST(Angle, NonFiniteAnglesEndAtZero) {
    const float inf = std::numeric_limits<float>::infinity();
    for (float a : {inf, -inf, std::numeric_limits<float>::quiet_NaN()}) EXPECT_EQ(NormalizeAngle(a), 0.0f);
}

}  // namespace
