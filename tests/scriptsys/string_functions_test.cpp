#include "scriptsys/string_functions.h"

#include <gtest/gtest.h>

using namespace tw::strings;

TEST(StringFunctions, TagWrappers) {
    EXPECT_EQ(WrapInTag("x", "B"), "<B>x</B>");
    EXPECT_EQ(WrapInTag(nullptr, "SUP"), "<SUP></SUP>");
    EXPECT_EQ(WrapFontColor("x", 0x12345678), "<FONT COLOR=#345678>x</FONT>");
    EXPECT_EQ(WrapFontColor("x", 0xab), "<FONT COLOR=#0000AB>x</FONT>");
    EXPECT_EQ(WrapFontColor("x", -1), "<FONT COLOR=#FFFFFF>x</FONT>");
    EXPECT_EQ(WrapFontSize("y", -3), "<FONT SIZE=-3>y</FONT>");
}

TEST(StringFunctions, CaseConversionAndComparison) {
    EXPECT_EQ(ToLowerCase("AbC-1"), "abc-1");
    EXPECT_EQ(ToUpperCase("AbC-1"), "ABC-1");
    EXPECT_EQ(ToUpperCase(nullptr), "");
    EXPECT_EQ(CompareNoCase("Hello", "hELLO"), 0);
    EXPECT_LT(CompareNoCase("abc", "ABD"), 0);
    EXPECT_GT(CompareNoCase("abcd", "ABC"), 0);
    EXPECT_LT(CompareNoCase(nullptr, "a"), 0);
}

TEST(StringFunctions, IndexedAccessOutOfRange) {
    struct Case { const char* text; int32_t index; const char* charAt; int32_t ascii; };
    const Case cases[] = {
        {"abc", 0, "a", 'a'},
        {"abc", 2, "c", 'c'},
        {"abc", 3, "", 0},
        {"abc", -1, "", 0},
        {"abc", INT32_MIN, "", 0},
        {"", 0, "", 0},
        {nullptr, 0, "", 0},
        {"\xE9t\xE9", 0, "\xE9", 0xE9},  // codes above 127 are unsigned
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(CharAt(c.text, c.index), c.charAt);
        EXPECT_EQ(AsciiAt(c.text, c.index), c.ascii);
    }
}

TEST(StringFunctions, IndexOfAndLastIndexOf) {
    EXPECT_EQ(IndexOf("abcabc", "bc", 0), 1);
    EXPECT_EQ(IndexOf("abcabc", "bc", 2), 4);  // index from the start of the text
    EXPECT_EQ(IndexOf("abcabc", "bc", 5), -1);
    EXPECT_EQ(IndexOf("abcabc", "bc", 6), -1);  // start must lie inside the text
    EXPECT_EQ(IndexOf("abcabc", "bc", -1), -1);
    EXPECT_EQ(IndexOf("", "", 0), -1);
    EXPECT_EQ(IndexOf("abc", "zz", 0), -1);

    EXPECT_EQ(LastIndexOf("aaaa", "aa"), 2);  // matches do not overlap
    EXPECT_EQ(LastIndexOf("aaa", "aa"), 0);
    EXPECT_EQ(LastIndexOf("xyxyx", "x"), 4);
    EXPECT_EQ(LastIndexOf("abc", ""), -1);
    EXPECT_EQ(LastIndexOf("", "a"), -1);
    EXPECT_EQ(LastIndexOf("abc", "d"), -1);
}

TEST(StringFunctions, SubString) {
    struct Case { int32_t start, count; const char* expected; };
    const Case cases[] = {
        {2, 5, "cde"},   // count cut to what is left
        {0, 5, "abcde"},
        {1, 2, "bc"},
        {5, 1, ""},      // start past the last character
        {-1, 2, ""},
        {2, 0, ""},
        {2, -3, ""},
        {4, INT32_MAX, "e"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        EXPECT_EQ(SubString("abcde", c.start, c.count), c.expected);
    }
    EXPECT_EQ(Length("abcde"), 5);
    EXPECT_EQ(Length(nullptr), 0);
}
