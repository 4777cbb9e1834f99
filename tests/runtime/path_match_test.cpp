#include "runtime/io/path_match.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Items(const CRefStringArray& list) {
    std::vector<std::string> v;
    for (int k = 0; k < list.GetSize(); ++k) v.push_back(list.GetAt(k)->c_str());
    return v;
}

struct MatchCase {
    const char* name;
    const char* pattern;
    bool match;
};

TEST(PathMatch, WildcardRules) {
    const MatchCase cases[] = {
        // "*.*" matches a name without an extension: "." is appended first.
        {"readme", "*.*", true},
        {"a.txt", "*.*", true},
        {"a.b.c", "*.*", true},
        {"", "*.*", true},
        // A pattern that begins a name matches it; a longer one does not.
        {"letter.txt", "let", true},
        {"ab", "ab", true},
        {"letter.txt", "lex", false},
        {"ab", "abc", false},
        {"a.txt", "a.txtx", false},
        // "?" takes one character.
        {"abc.txt", "a?c.txt", true},
        {"abc.txt", "a?d.txt", false},
        {"ab.txt", "??.txt", true},
        // Letters compare without regard to case.
        {"ABC.TXT", "abc.txt", true},
        {"abc.txt", "*.TXT", true},
        // "*" runs to the next "." of the name: what the pattern has before its
        // own "." is passed over, and a pattern without "." after it cannot
        // reach the extension.
        {"abc.txt", "*.txt", true},
        {"abc.doc", "*.txt", false},
        {"abd.txt", "*c.txt", true},
        {"abc.txt", "*txt", false},
        {"a.b.c", "*.c", false},
        {"a.bmp", "a*", false},  // after "a" the name is at its ".": the pattern has none
        {"ab.bmp", "a*", true},
        {"a.b.c", "*.*.*", true},
        {"a.b", "*.*.*", false},
        // A name without extension steps over its appended "." and matches.
        {"readme", "*.txt", true},
        // "." of the pattern moves to the name's first ".".
        {"abc.txt", "ab.txt", true},
        {"abc.txt", "ab.doc", false},
        // Only the part after the last "\\" counts; one trailing "\\" goes first.
        {"C:\\dir\\abc.txt", "*.txt", true},
        {"C:\\dir.txt\\abc", "dir", false},
        {"C:\\dir\\sub\\", "sub", true},
        {"C:\\dir\\sub\\\\", "sub", false},
        {"C:\\dir\\sub\\\\", "*.*", true},
        // Empty and degenerate patterns.
        {"abc", "", true},
        {"abc", "*", true},
        {"abc", "**", false},
        {"abc", ".", true},
        {"abc", "\\", false},
        {nullptr, "*.*", true},
        {"abc", nullptr, true},
    };
    for (const MatchCase& c : cases)
        EXPECT_EQ(MatchWildcard(c.name, c.pattern), c.match)
            << "name '" << (c.name ? c.name : "(null)") << "' pattern '" << (c.pattern ? c.pattern : "(null)") << "'";
}

TEST(PathMatch, PatternsWithFoldersMatchComponentByComponent) {
    const MatchCase cases[] = {
        {"C:\\src\\CVS", "CVS", true},
        {"C:\\src\\cvs\\", "CVS", true},
        {"C:\\src\\old\\a.txt", "old\\*.txt", true},
        {"C:\\src\\new\\a.txt", "old\\*.txt", false},
        {"C:\\src\\old\\a.txt", "old\\", false},
        {"C:\\src\\old\\", "src\\old\\", true},
        {"C:\\src\\a.txt", "C:\\src\\*.txt", true},
        {"C:\\Src\\a.txt", "s?c\\a", true},
        {"D:\\src\\a.txt", "C:\\src\\*.txt", false},
        {"a.txt", "src\\*.txt", false},
        {"src\\a.txt", "\\src\\a.txt", false},
        {"", "a\\b", false},
    };
    for (const MatchCase& c : cases)
        EXPECT_EQ(MatchPattern(c.name, c.pattern), c.match) << "path '" << c.name << "' pattern '" << c.pattern << "'";
}

TEST(PathMatch, FindMatchingPatternAnswersTheFirstIndex) {
    CRefStringArray patterns;
    SplitIntoList(&patterns, "*.doc,*.txt,a*", ',');
    EXPECT_EQ(FindMatchingPattern("C:\\x\\a.txt", patterns), 1);
    EXPECT_EQ(FindMatchingPattern("C:\\x\\ab.bmp", patterns), 2);
    EXPECT_EQ(FindMatchingPattern("C:\\x\\b.bmp", patterns), -1);
    CRefStringArray none;
    EXPECT_EQ(FindMatchingPattern("C:\\x\\a.txt", none), -1);
}

TEST(PathMatch, ComparePathsPutsFilesBeforeDeeperLevels) {
    struct Case {
        const char* a;
        const char* b;
        int order;
    };
    const Case cases[] = {
        {"C:\\x\\a.txt", "C:\\x\\b.txt", -1},
        {"C:\\x\\z.txt", "C:\\x\\sub\\a.txt", -1},  // no further level sorts first
        {"C:\\x\\sub\\", "C:\\x\\z.txt", 1},
        {"C:\\x\\sub\\", "C:\\x\\sub\\a.txt", -1},
        {"C:\\x\\sub\\deep\\", "C:\\x\\sub\\z.txt", 1},
        {"C:\\x\\a\\b.txt", "C:\\x\\b\\a.txt", -1},
        {"C:\\x\\A.txt", "C:\\x\\a.txt", -1},  // bytes: case counts
        {"C:\\x\\ab", "C:\\x\\abc", -1},
        {"C:\\x\\\xE9", "C:\\x\\z", 1},  // bytes compare unsigned
        {"a\\\\b", "a\\b", 1},
        {"same\\path", "same\\path", 0},
        {"", "a", -1},
        {nullptr, "", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ComparePaths(c.a, c.b), c.order) << c.a << " | " << c.b;
        EXPECT_EQ(ComparePaths(c.b, c.a), -c.order) << c.b << " | " << c.a;
    }
}

TEST(PathMatch, SplitIntoListDropsEmptyAndOverlongPieces) {
    struct Case {
        const char* text;
        char separator;
        std::vector<std::string> pieces;
    };
    const std::string longest(259, 'x'), tooLong(260, 'y');
    const std::string withLong = "a," + longest + "," + tooLong + ",b";
    const Case cases[] = {
        {"*.txt,*.doc", ',', {"*.txt", "*.doc"}},
        {"a,,b,", ',', {"a", "b"}},
        {",,,", ',', {}},
        {"", ',', {}},
        {"one", ',', {"one"}},
        {"a;b,c", ';', {"a", "b,c"}},
        {withLong.c_str(), ',', {"a", longest, "b"}},
        {"a\0bb\0\0ignored\0", 0, {"a", "bb"}},
        {"\0a\0", 0, {}},
    };
    for (const Case& c : cases) {
        CRefStringArray list;
        list.AddChars("before");
        std::vector<std::string> expected = {"before"};
        expected.insert(expected.end(), c.pieces.begin(), c.pieces.end());
        EXPECT_EQ(SplitIntoList(&list, c.text, c.separator), static_cast<int>(c.pieces.size()));
        EXPECT_EQ(Items(list), expected) << c.text;
    }
    CRefStringArray list;
    EXPECT_EQ(SplitIntoList(&list, nullptr, ','), 0);
    EXPECT_EQ(SplitIntoList(nullptr, "a", ','), 0);

    // With separator 0 a long piece is skipped and the row goes on after it.
    std::string row = tooLong + '\0' + "z" + '\0' + '\0';
    EXPECT_EQ(SplitIntoList(&list, row.c_str(), 0), 1);
    EXPECT_EQ(Items(list), std::vector<std::string>{"z"});
}

TEST(PathMatch, SplitPathFollowsWindowsSyntax) {
    struct Case {
        const char* path;
        const char* drive;
        const char* directory;
        const char* name;
        const char* extension;
        std::vector<std::string> components;
    };
    const Case cases[] = {
        {"C:\\dir\\sub\\file.txt", "C:", "\\dir\\sub\\", "file", ".txt", {"dir", "sub"}},
        {"file", "", "", "file", "", {}},
        {"a.b.c", "", "", "a.b", ".c", {}},
        {".hidden", "", "", "", ".hidden", {}},
        {"C:", "C:", "", "", "", {}},
        {"C:file.txt", "C:", "", "file", ".txt", {}},
        {"\\\\server\\share\\x", "", "\\\\server\\share\\", "x", "", {"server", "share"}},
        {"C:\\dir\\\\", "C:", "\\dir\\\\", "", "", {"dir"}},
        {"dir.d\\name", "", "dir.d\\", "name", "", {"dir.d"}},
        {"C:/a/b.txt", "C:", "/a/", "b", ".txt", {"a"}},
        {"", "", "", "", "", {}},
    };
    for (const Case& c : cases) {
        CRefString drive, directory, name, extension;
        CRefStringArray components;
        components.AddChars("stale");
        ASSERT_TRUE(SplitPath(c.path, &drive, &directory, &components, &name, &extension)) << c.path;
        EXPECT_STREQ(drive.c_str(), c.drive) << c.path;
        EXPECT_STREQ(directory.c_str(), c.directory) << c.path;
        EXPECT_STREQ(name.c_str(), c.name) << c.path;
        EXPECT_STREQ(extension.c_str(), c.extension) << c.path;
        EXPECT_EQ(Items(components), c.components) << c.path;
    }
}

TEST(PathMatch, SplitPathKeepsThePathLimit) {
    // 259 characters split; 260 and more are refused with nothing written,
    // however long one component is.
    const std::string atLimit = "C:\\" + std::string(250, 'd') + "\\a.txt";
    ASSERT_EQ(atLimit.size(), 259u);
    CRefString drive, directory, name("untouched"), extension;
    ASSERT_TRUE(SplitPath(atLimit.c_str(), &drive, &directory, nullptr, &name, &extension));
    EXPECT_EQ(directory.GetLength(), 252);
    EXPECT_STREQ(name.c_str(), "a");

    for (size_t length : {260u, 261u, 5000u}) {
        const std::string longPath = "C:\\" + std::string(length - 9, 'n') + "\\a.txt";
        ASSERT_EQ(longPath.size(), length);
        CRefString untouched("untouched");
        CRefStringArray components;
        EXPECT_FALSE(SplitPath(longPath.c_str(), &untouched, &untouched, &components, &untouched, &untouched));
        EXPECT_STREQ(untouched.c_str(), "untouched");
        EXPECT_EQ(components.GetSize(), 0);
    }
    EXPECT_TRUE(SplitPath(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
}

}  // namespace
