#include "runtime/base/number_text.h"

#include <gtest/gtest.h>
#include <limits>
#include <string>

TEST(NumberText, DoublesPrintAsPercentG) {
    struct Case { double d; const char* text; };
    const Case cases[] = {
        {0.1 + 0.2, "0.3"}, {1e20, "1e+20"}, {1e-5, "1e-05"}, {3.5, "3.5"},
        {-2.0, "-2"}, {123456789.0, "1.23457e+08"}, {0.0, "0"},
        {std::numeric_limits<double>::infinity(), "inf"},
    };
    for (const Case& c : cases) {
        char buf[48];
        int n = tw::FormatDouble(buf, sizeof buf, c.d);
        EXPECT_EQ(std::string(buf), c.text) << "for " << c.text;
        EXPECT_EQ(n, static_cast<int>(std::string(c.text).size()));
    }
}

TEST(NumberText, IntegersPrintDecimal) {
    struct Case { int i; const char* text; };
    const Case cases[] = {
        {-2147483647 - 1, "-2147483648"}, {2147483647, "2147483647"}, {0, "0"}, {-1, "-1"}, {10, "10"}, {909, "909"},
    };
    for (const Case& c : cases) {
        char buf[32];
        EXPECT_EQ(tw::FormatInt(buf, sizeof buf, c.i), static_cast<int>(std::string(c.text).size()));
        EXPECT_STREQ(buf, c.text);
    }
    // Cut to the buffer as snprintf cuts, answering the whole length.
    char small[4];
    EXPECT_EQ(tw::FormatInt(small, sizeof small, -12345), 6);
    EXPECT_STREQ(small, "-12");
}
