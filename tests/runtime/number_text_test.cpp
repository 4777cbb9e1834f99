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
    char buf[32];
    tw::FormatInt(buf, sizeof buf, -2147483647 - 1);
    EXPECT_STREQ(buf, "-2147483648");
}
