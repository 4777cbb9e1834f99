#include "runtime/io/file_list.h"

#include "runtime/io/path_match.h"
#include "scan_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> kTree = {
    "a.txt", "b.doc", "readme", "old.txt", "sub\\", "sub\\c.txt", "sub\\deep\\", "sub\\deep\\d.txt", "old\\", "old\\e.txt",
};

std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

struct ScanCase {
    const char* what;
    uint32_t flags;
    const char* include;
    const char* exclude;
    std::vector<std::string> expected;
    bool ordered;  // else compared as sets (the system's listing order is its own)
};

TEST(FileList, ScanOfATemporaryTree) {
    ScanTree tree(kTree);
    ASSERT_TRUE(tree.Ok());
    const ScanCase cases[] = {
        {"files of the whole tree", 0x11, "*.txt", nullptr,
         // "readme" has no extension: "*.txt" steps over its appended "."
         {"a.txt", "old.txt", "readme", "old\\e.txt", "sub\\c.txt", "sub\\deep\\d.txt"}, false},
        {"top level only", 0x10, "*.*", nullptr, {"a.txt", "b.doc", "old.txt", "readme"}, false},
        {"two include patterns", 0x10, "*.doc,a", nullptr, {"a.txt", "b.doc", "readme"}, false},
        {"no include pattern adds no file", 0x19, nullptr, nullptr, {"old\\", "sub\\", "sub\\deep\\"}, false},
        {"sorted: files of a folder before its subfolders", 0x13, "*.*", nullptr,
         {"a.txt", "b.doc", "old.txt", "readme", "old\\e.txt", "sub\\c.txt", "sub\\deep\\d.txt"}, true},
        {"folders with a trailing backslash, the excluded one not entered", 0x1B, "*.*", "old",
         {"a.txt", "b.doc", "readme", "sub\\", "sub\\c.txt", "sub\\deep\\", "sub\\deep\\d.txt"}, true},
        {"exclude by a folder pattern", 0x13, "*.*", "sub\\deep\\*.*",
         {"a.txt", "b.doc", "old.txt", "readme", "old\\e.txt", "sub\\c.txt"}, true},
        {"names and extensions only", 0x1F, "*.*", nullptr,
         {"a.txt", "b.doc", "c.txt", "d.txt", "e.txt", "old.txt", "readme", "deep\\", "old\\", "sub\\"}, true},
        {"folders only", 0x0B, "*.*", nullptr, {"old\\", "sub\\", "sub\\deep\\"}, true},
    };
    for (const ScanCase& c : cases) {
        CFileList list;
        list.AddIncludePatterns(c.include);
        list.AddExcludePatterns(c.exclude);
        EXPECT_EQ(list.ScanDirectoryRecursive(tree.Root().c_str(), c.flags), 1) << c.what;
        std::vector<std::string> got = tree.Relative(list);
        if (c.ordered) {
            EXPECT_EQ(got, c.expected) << c.what;
        } else {
            EXPECT_EQ(Sorted(got), Sorted(c.expected)) << c.what;
        }
    }
}

TEST(FileList, MissingFolderIsACompleteScanThatAddsNothing) {
    ScanTree tree({});
    ASSERT_TRUE(tree.Ok());
    CFileList list;
    list.AddIncludePatterns("*.*");
    EXPECT_EQ(list.ScanDirectoryRecursive((tree.Root() + "missing\\").c_str(), 0x1F), 1);
    EXPECT_EQ(list.ScanDirectoryRecursive(tree.Root().c_str(), 0x1F), 1);  // empty
    EXPECT_EQ(list.GetCount(), 0);
}

// A sorted scan into a list that an unsorted scan filled out of order still
// inserts each path before the first that compares greater (the place a walk
// from the front finds; a search by halves of an unordered list would not).
TEST(FileList, SortedScanAfterAnUnsortedOneInsertsBeforeTheFirstGreater) {
    ScanTree tree(kTree);
    ASSERT_TRUE(tree.Ok());
    CFileList list;
    list.AddIncludePatterns("*.*");
    ASSERT_EQ(list.ScanDirectoryRecursive((tree.Root() + "sub\\").c_str(), 0x10), 1);
    ASSERT_EQ(list.ScanDirectoryRecursive(tree.Root().c_str(), 0x10), 1);  // after sub\c.txt: out of order
    std::vector<std::string> expected = tree.Relative(list);
    ASSERT_EQ(expected.size(), 5u);
    ASSERT_EQ(expected[0], "sub\\c.txt");

    ASSERT_EQ(list.ScanDirectoryRecursive((tree.Root() + "old\\").c_str(), 0x12), 1);
    expected.insert(expected.begin(), "old\\e.txt");  // "old" < "sub" at the first difference
    EXPECT_EQ(tree.Relative(list), expected);

    // Once emptied, the list is in order again and sorted scans stay sorted.
    list.RemoveAllPaths();
    ASSERT_EQ(list.ScanDirectoryRecursive(tree.Root().c_str(), 0x13), 1);
    std::vector<std::string> got = tree.Relative(list);
    EXPECT_TRUE(std::is_sorted(got.begin(), got.end(), [&](const std::string& a, const std::string& b) {
        return ComparePaths(a.c_str(), b.c_str()) < 0;
    }));
    EXPECT_EQ(got.size(), 7u);
}

}  // namespace
