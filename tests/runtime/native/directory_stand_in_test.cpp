// The scan over the native stand-in: Escape as a flag of the stand-in, links
// that lead back up, and names at the path limit (which the Windows A
// functions cannot make).
#include "runtime/io/file_finder.h"
#include "runtime/io/file_list.h"
#include "runtime/io/os_directory.h"
#include "runtime/posix/escape_key_stand_in.h"
#include "tests/runtime/scan_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string Native(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

struct EscapeReleased {
    ~EscapeReleased() { tw::testing::SetEscapeKeyDownAfter(-1); }
};

TEST(DirectoryStandIn, EscapeAbortsTheScanAndKeepsWhatWasFound) {
    ScanTree tree({"sub\\", "sub\\1.txt", "sub\\2.txt", "sub\\3.txt", "sub\\4.txt"});
    ASSERT_TRUE(tree.Ok());
    EscapeReleased release;

    CFileList full;
    full.AddIncludePatterns("*.*");
    ASSERT_EQ(full.ScanDirectoryRecursive(tree.Root().c_str(), 0x19), 1);
    const std::vector<std::string> all = tree.Relative(full);
    ASSERT_EQ(all.size(), 5u);

    // Escape after n checks, one check per entry: the outer folder has ".",
    // ".." and "sub", sub has "." and ".." and four files, so the abort falls
    // in the inner scan for some n. What was kept is part of the full result.
    bool abortedInside = false;
    for (int n = 0; n <= 12; ++n) {
        tw::testing::SetEscapeKeyDownAfter(n);
        CFileList list;
        list.AddIncludePatterns("*.*");
        const int result = list.ScanDirectoryRecursive(tree.Root().c_str(), 0x19);
        const std::vector<std::string> got = tree.Relative(list);
        if (n >= 9) {
            EXPECT_EQ(result, 1) << n;  // 9 entries: Escape comes too late
            EXPECT_EQ(got.size(), all.size()) << n;
            continue;
        }
        EXPECT_EQ(result, 0) << n;
        for (const std::string& p : got) EXPECT_NE(std::find(all.begin(), all.end(), p), all.end()) << p;
        if (got.size() > 1) abortedInside = true;  // "sub\\" and some of its files were kept
    }
    EXPECT_TRUE(abortedInside);

    tw::testing::SetEscapeKeyDownAfter(0);
    CFileList list;
    list.AddIncludePatterns("*.*");
    EXPECT_EQ(list.ScanDirectoryRecursive(tree.Root().c_str(), 0x19), 0);
    EXPECT_EQ(list.GetCount(), 0);
}

TEST(DirectoryStandIn, LinkBackUpEndsAtThePathLimit) {
    ScanTree tree({"sub\\", "sub\\a.txt"});
    ASSERT_TRUE(tree.Ok());
    ASSERT_EQ(symlink("..", Native(tree.Root() + "sub\\up").c_str()), 0);
    tree.Adopt("sub\\up");

    CFileList list;
    list.AddIncludePatterns("*.*");
    ASSERT_EQ(list.ScanDirectoryRecursive(tree.Root().c_str(), 0x1B), 1);
    const std::vector<std::string> got = tree.Relative(list);
    ASSERT_GT(got.size(), 4u);
    size_t longest = 0;
    for (int k = 0; k < list.GetCount(); ++k) longest = std::max<size_t>(longest, list.GetPath(k)->GetLength());
    EXPECT_LT(longest, 260u);
    EXPECT_GT(longest, 250u - 7u);  // it went round until the next level would not fit
    EXPECT_EQ(got[0], "sub\\");
    EXPECT_EQ(got[1], "sub\\a.txt");
    EXPECT_EQ(got[2], "sub\\up\\");
    EXPECT_EQ(got[3], "sub\\up\\sub\\");
}

TEST(DirectoryStandIn, EntriesBeyondThePathLimitAreSkipped) {
    ScanTree tree({});
    ASSERT_TRUE(tree.Ok());
    // A folder whose path with its "\\" is 259 characters, holding a file.
    const size_t room = 259 - tree.Root().size() - 1;
    const std::string folder(room, 'f');
    ASSERT_EQ(CreateDirectoryPath((tree.Root() + folder).c_str()), 0);
    ASSERT_TRUE(WriteWholeFile(tree.Root() + folder + "\\x.txt", {}));
    const std::string shortName(room - 9, 'g');
    ASSERT_EQ(CreateDirectoryPath((tree.Root() + shortName).c_str()), 0);
    ASSERT_TRUE(WriteWholeFile(tree.Root() + shortName + "\\" + std::string(9, 'h'), {}));   // 259: kept
    ASSERT_TRUE(WriteWholeFile(tree.Root() + shortName + "\\" + std::string(10, 'i'), {}));  // 260: skipped
    tree.Adopt(shortName);
    tree.Adopt(shortName + "\\" + std::string(9, 'h'));
    tree.Adopt(shortName + "\\" + std::string(10, 'i'));
    tree.Adopt(folder);
    tree.Adopt(folder + "\\x.txt");

    CFileList list;
    list.AddIncludePatterns("*.*");
    ASSERT_EQ(list.ScanDirectoryRecursive(tree.Root().c_str(), 0x1B), 1);
    const std::vector<std::string> expected = {folder + "\\", shortName + "\\", shortName + "\\" + std::string(9, 'h')};
    EXPECT_EQ(tree.Relative(list), expected);

    CFileFinder finder;
    EXPECT_FALSE(finder.FindFirst((tree.Root() + folder + "\\*.*").c_str()));  // 262 characters
}

TEST(DirectoryStandIn, FullPathsAndTheFinder) {
    char buffer[260];
    ASSERT_GT(GetFullPathOf("/a/./b/../c//d/", buffer, sizeof buffer), 0u);
    EXPECT_STREQ(buffer, "\\a\\c\\d\\");
    ASSERT_GT(GetFullPathOf("\\..\\x.txt", buffer, sizeof buffer), 0u);
    EXPECT_STREQ(buffer, "\\x.txt");
    EXPECT_EQ(GetFullPathOf("/abc", buffer, 4), 0u);  // no room for the terminator

    ScanTree tree({"a.txt", "b.doc", "sub\\"});
    ASSERT_TRUE(tree.Ok());
    char cwd[4096];
    ASSERT_TRUE(getcwd(cwd, sizeof cwd));
    ASSERT_EQ(chdir(Native(tree.Root()).c_str()), 0);
    CFileFinder finder;
    const bool found = finder.FindFirst("a*.t?t");
    std::vector<std::string> names;
    for (bool more = found; more;) {
        more = finder.FindNext();
        names.push_back(finder.GetFileName());
    }
    CRefString path = finder.GetFilePath();
    ASSERT_EQ(chdir(cwd), 0);
    EXPECT_TRUE(found);
    EXPECT_EQ(names, std::vector<std::string>{"a.txt"});
    ASSERT_GT(GetFullPathOf(tree.Root().c_str(), buffer, sizeof buffer), 0u);
    EXPECT_EQ(std::string(path.c_str()), std::string(buffer) + "a.txt");

    // Sizes come with everything; names and kinds may go without them.
    ASSERT_TRUE(WriteWholeFile(tree.Root() + "a.txt", {1, 2, 3, 4, 5}));
    for (FindDetail detail : {kFindEverything, kFindNamesAndKinds}) {
        FindRecord record;
        FindHandle h = FindFirstEntry((tree.Root() + "a.txt").c_str(), &record, detail);
        ASSERT_NE(h, kNoFindHandle);
        EXPECT_STREQ(record.name, "a.txt");
        EXPECT_EQ(record.attributes & kFindAttributeDirectory, 0u);
        if (detail == kFindEverything) {
            EXPECT_EQ(record.size, 5u);
            EXPECT_GT(record.writeTime, 116444736000000000ull);  // after 1970
        }
        EXPECT_FALSE(FindNextEntry(h, &record));
        FindCloseEntry(h);
        h = FindFirstEntry((tree.Root() + "s*").c_str(), &record, detail);
        ASSERT_NE(h, kNoFindHandle);
        EXPECT_STREQ(record.name, "sub");
        EXPECT_NE(record.attributes & kFindAttributeDirectory, 0u);
        FindCloseEntry(h);
    }

    CRefStringArray roots;
    EXPECT_EQ(roots.AddLogicalDrives(), 1);
    EXPECT_STREQ(roots.GetAt(0)->c_str(), "/");
}

}  // namespace
