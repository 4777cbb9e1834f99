#include "runtime/base/ref_string.h"
#include "runtime/base/ref_string_array.h"

#include <gtest/gtest.h>
#include <cstring>
#include <string>

TEST(RefString, CopiesShareUntilOneIsWritten) {
    CRefString a("hello");
    CRefString b(a);
    CRefString c;
    c = a;
    EXPECT_EQ(a.c_str(), b.c_str());
    EXPECT_EQ(a.c_str(), c.c_str());

    b.AppendChar('!');
    c.MakeUpper();
    EXPECT_STREQ(a.c_str(), "hello");
    EXPECT_STREQ(b.c_str(), "hello!");
    EXPECT_STREQ(c.c_str(), "HELLO");
    EXPECT_NE(a.c_str(), b.c_str());
    EXPECT_NE(a.c_str(), c.c_str());

    // Every empty string is the one shared block.
    CRefString e1, e2(""), e3(static_cast<const char*>(nullptr));
    EXPECT_EQ(e1.c_str(), e2.c_str());
    EXPECT_EQ(e1.c_str(), e3.c_str());
    EXPECT_TRUE(e1.IsEmpty());
}

TEST(RefString, LockedBufferIsCopiedNotShared) {
    CRefString a("abc");
    char* buf = a.GetBuffer(10);
    std::strcpy(buf, "written");
    CRefString copied(a);
    CRefString assigned;
    assigned = a;
    EXPECT_NE(copied.c_str(), a.c_str());
    EXPECT_NE(assigned.c_str(), a.c_str());

    // Assigning into the locked string copies into its own block: the buffer stays valid.
    a = CRefString("xy");
    EXPECT_EQ(a.c_str(), buf);
    std::strcpy(buf, "final");
    a.ReleaseBuffer();
    EXPECT_STREQ(a.c_str(), "final");
    EXPECT_EQ(a.GetLength(), 5);
    CRefString shared(a);
    EXPECT_EQ(shared.c_str(), a.c_str());  // unlocked again

    CRefString s("abcdef");
    char* p = s.GetBufferSetLength(3);
    EXPECT_EQ(s.GetLength(), 3);
    p[0] = 'X';
    s.ReleaseBuffer(3);
    EXPECT_STREQ(s.c_str(), "Xbc");
}

TEST(RefString, Substrings) {
    const CRefString abc("abc");
    struct Case { CRefString got; const char* want; };
    const Case cases[] = {
        {abc.Mid(10), ""}, {abc.Mid(3), ""}, {abc.Mid(1), "bc"}, {abc.Mid(-2, 2), "ab"},
        {abc.Mid(1, 100), "bc"}, {abc.Mid(1, -1), ""}, {abc.Left(-1), ""}, {abc.Left(2), "ab"},
        {abc.Left(9), "abc"}, {abc.Right(2), "bc"}, {abc.Right(-3), ""}, {abc.Right(5), "abc"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.got.c_str(), c.want);
    // Whole-string results share the source's block.
    EXPECT_EQ(abc.Right(5).c_str(), abc.c_str());
    EXPECT_EQ(abc.Mid(0).c_str(), abc.c_str());
}

TEST(RefString, Search) {
    const CRefString s("abcabc");
    EXPECT_EQ(s.Find('c'), 2);
    EXPECT_EQ(s.Find('c', 3), 5);
    EXPECT_EQ(s.Find('a', 6), -1);
    EXPECT_EQ(s.Find('z'), -1);
    EXPECT_EQ(s.Find("bc", 2), 4);
    EXPECT_EQ(s.Find("", 6), 6);
    EXPECT_EQ(s.Find("a", 7), -1);
    EXPECT_EQ(s.ReverseFind('b'), 4);
    EXPECT_EQ(s.ReverseFind('z'), -1);
}

TEST(RefString, Replace) {
    struct Case { const char* text; const char* from; const char* to; int count; const char* result; };
    const Case cases[] = {
        {"banana", "a", "bb", 3, "bbbnbbnbb"},
        {"banana", "", "x", 0, "banana"},
        {"aaa", "aa", "x", 1, "xa"},
        {"abcabc", "abc", "", 2, ""},
        {"hello world", "o w", "O-W", 1, "hellO-World"},
        {"abc", "zz", "y", 0, "abc"},
    };
    for (const Case& c : cases) {
        CRefString s(c.text);
        CRefString before(s);
        EXPECT_EQ(s.Replace(c.from, c.to), c.count) << c.text;
        EXPECT_STREQ(s.c_str(), c.result) << c.text;
        EXPECT_STREQ(before.c_str(), c.text);  // a sharer is never changed
    }
    // Replacement text taken from the string itself.
    CRefString self("ab");
    self.Replace("a", self.c_str());
    EXPECT_STREQ(self.c_str(), "abb");
}

TEST(RefString, AppendAndAssignFromOwnText) {
    CRefString s("ab");
    s.AppendString(s);
    EXPECT_STREQ(s.c_str(), "abab");
    s.AppendChars(s.c_str() + 2);
    EXPECT_STREQ(s.c_str(), "ababab");
    s.AppendChars(nullptr);
    s.AppendChars("");
    EXPECT_STREQ(s.c_str(), "ababab");
    s.AssignChars(s.c_str() + 3);
    EXPECT_STREQ(s.c_str(), "bab");
    s = static_cast<const char*>(nullptr);
    EXPECT_TRUE(s.IsEmpty());

    // In place when the block has room and is not shared.
    CRefString r("xyz");
    r.GetBuffer(20);
    r.ReleaseBuffer();
    const char* block = r.c_str();
    r += "123";
    r += '4';
    EXPECT_EQ(r.c_str(), block);
    EXPECT_STREQ(r.c_str(), "xyz1234");

    EXPECT_STREQ(CRefString::ConcatCopy(CRefString("ab"), CRefString("cd")).c_str(), "abcd");
    EXPECT_STREQ(CRefString::ConcatChars(CRefString(), "cd").c_str(), "cd");
}

TEST(RefString, TrimAndCase) {
    struct Case { const char* text; const char* trimmedLeft; const char* trimmedRight; };
    const Case cases[] = {
        {"  a b \t\n", "a b \t\n", "  a b"}, {"   ", "", ""}, {"", "", ""}, {"x", "x", "x"},
    };
    for (const Case& c : cases) {
        CRefString l(c.text), r(c.text);
        l.TrimLeft();
        r.TrimRight();
        EXPECT_STREQ(l.c_str(), c.trimmedLeft);
        EXPECT_STREQ(r.c_str(), c.trimmedRight);
    }
    CRefString u("mIx3d");
    u.MakeUpper();
    EXPECT_STREQ(u.c_str(), "MIX3D");
}

TEST(RefString, Format) {
    CRefString s;
    const char* volatile none = nullptr;  // hidden from the format checker
    s.Format("%s", none);
    EXPECT_STREQ(s.c_str(), "(null)");
    s.Format("%d-%s-%c%%", -42, "x", 'y');
    EXPECT_STREQ(s.c_str(), "-42-x-y%");
    s.Format("%5.2f|%g", 3.14159, 1e20);
    EXPECT_STREQ(s.c_str(), " 3.14|1e+20");
    s.Format("%.1f", 1e300);
    EXPECT_EQ(s.GetLength(), 303);
    std::string big(1000, 'q');
    s.Format("<%s>", big.c_str());
    EXPECT_EQ(std::string(s.c_str()), "<" + big + ">");
    // The arguments may be the string's own text.
    s = "abc";
    s.Format("%s%s", s.c_str(), s.c_str());
    EXPECT_STREQ(s.c_str(), "abcabc");
}

TEST(RefString, Comparison) {
    struct Case { const char* a; const char* b; int cmp; int nocase; };
    const Case cases[] = {
        {"abc", "abc", 0, 0}, {"abc", "abd", -1, -1}, {"b", "a", 1, 1},
        {"ABC", "abc", -1, 0}, {"ab", "abc", -1, -1}, {"\xe9", "a", 1, 1}, {"", "", 0, 0},
    };
    for (const Case& c : cases) {
        CRefString a(c.a);
        EXPECT_EQ(a.Compare(c.b), c.cmp) << c.a << " vs " << c.b;
        EXPECT_EQ(a.CompareNoCase(c.b), c.nocase) << c.a << " vs " << c.b;
    }
    EXPECT_TRUE(CRefString("a") <= CRefString("a"));
    EXPECT_FALSE(CRefString("b") <= "a");
}

TEST(RefStringArray, InsertRemoveAndBounds) {
    CRefStringArray list;
    EXPECT_EQ(list.Add(CRefString("b")), 0);
    EXPECT_EQ(list.AddChars("d"), 1);
    EXPECT_EQ(list.InsertAt(0, "a"), 0);
    EXPECT_EQ(list.InsertAt(2, CRefString("c")), 2);
    EXPECT_EQ(list.InsertAt(4, "e"), 4);  // index = count appends
    EXPECT_EQ(list.InsertAt(6, "x"), -1);
    EXPECT_EQ(list.InsertAt(-1, "x"), -1);
    ASSERT_EQ(list.GetSize(), 5);
    std::string joined;
    for (int i = 0; i < list.GetSize(); ++i)
        joined += list.GetAt(i)->c_str();
    EXPECT_EQ(joined, "abcde");

    list.RemoveAt(1);
    list.RemoveAt(9);
    EXPECT_EQ(list.GetSize(), 4);
    EXPECT_STREQ(list.GetAt(1)->c_str(), "c");
    EXPECT_EQ(list.GetAt(4), nullptr);
    list.RemoveAll();
    EXPECT_EQ(list.GetSize(), 0);
    EXPECT_EQ(list.AddChars(nullptr), 0);
    EXPECT_TRUE(list.GetAt(0)->IsEmpty());
}
