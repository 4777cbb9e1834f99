#include "runtime/headless/os_strings_table.h"
#include "runtime/base/ref_string.h"
#include "runtime/base/ref_string_array.h"

#include <gtest/gtest.h>
#include <string>

namespace {
const char* ResourceId(unsigned id) { return reinterpret_cast<const char*>(static_cast<uintptr_t>(id)); }
}

TEST(StringResource, LoadsTextsLongerThanTheFirstBuffer) {
    for (int length : {0, 1, 252, 253, 254, 255, 300, 700}) {
        std::string text(length, 'r');
        if (length > 0)
            text.back() = 'E';
        OsSetTestString(900, length ? text.c_str() : nullptr);
        CRefString s("old");
        EXPECT_EQ(s.LoadString(900), length > 0 ? 1 : 0) << length;
        EXPECT_EQ(std::string(s.c_str()), text) << length;
        EXPECT_EQ(s.GetLength(), length);
    }
    OsSetTestString(900, nullptr);
}

TEST(StringResource, SmallPointerValuesAreResourceIds) {
    OsSetTestString(901, "from table");
    CRefString s(ResourceId(901));
    EXPECT_STREQ(s.c_str(), "from table");
    CRefString missing(ResourceId(902));
    EXPECT_TRUE(missing.IsEmpty());

    CRefStringArray list;
    EXPECT_EQ(list.AddChars(ResourceId(901)), 0);
    EXPECT_STREQ(list.GetAt(0)->c_str(), "from table");
    OsSetTestString(901, nullptr);
}

TEST(StringResource, FormatGrowsWhenTheEstimateIsShort) {
    // The grouping flag is unknown to the size estimate, which then stops
    // counting: the text must still come out whole.
    std::string tail(600, 't');
    CRefString s;
    s.Format("%'d%s", 1234, tail.c_str());
    EXPECT_EQ(std::string(s.c_str()), "1234" + tail);
}
