#include "runtime/io/file_helpers.h"

#include "runtime/io/io_status.h"
#include "runtime/io/os_file.h"
#include "runtime/base/ref_string.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <cstring>
#include <string>

TEST(FileLayer, ReadStatusTellsEndOfFileFromRefusal) {
    TestFolder dir;
    ASSERT_TRUE(dir.Ok());
    std::string name = dir.File("data.bin");
    ASSERT_TRUE(WriteWholeFile(name, {1, 2, 3}));

    FileHandle h = OpenFileHandle(name.c_str(), 0);
    ASSERT_NE(h, kNoFileHandle);
    uint8_t buf[8];
    EXPECT_EQ(ReadFileChecked(h, buf, 2), kIoOk);
    EXPECT_EQ(ReadFileChecked(h, buf, 2), kIoEndOfData);  // one byte left
    EXPECT_EQ(ReadFileChecked(h, buf, 1), kIoEndOfData);  // at the end
    EXPECT_EQ(SeekFileAbsolute(h, 1), 1);
    EXPECT_EQ(ReadFileCount(h, buf, 8), 2);
    EXPECT_EQ(GetFileHandleSize(h), 3);
    EXPECT_EQ(TellFileHandle(h), 3);  // the size query leaves the pointer alone
    CloseFileHandle(h);

    FileHandle w = OpenFileHandle(name.c_str(), 1);  // write access only
    ASSERT_NE(w, kNoFileHandle);
    EXPECT_EQ(ReadFileChecked(w, buf, 1), kIoReadFailed);
    CloseFileHandle(w);

    EXPECT_EQ(OpenFileHandle(dir.File("missing.bin").c_str(), 0), kNoFileHandle);
    EXPECT_EQ(OpenFileHandle(dir.Path().c_str(), 0), kNoFileHandle);  // a folder is no file
}

TEST(FileLayer, PathQueriesRenameAndDelete) {
    TestFolder dir;
    ASSERT_TRUE(dir.Ok());
    std::string a = dir.File("a.txt"), b = dir.File("b.txt"), sub = dir.File("sub");
    ASSERT_TRUE(WriteWholeFile(a, {1, 2, 3, 4, 5}));
    ASSERT_EQ(CreateDirectoryPath(sub.c_str()), 0);

    struct Case { std::string name; int32_t size; int isDir; int exists; };
    const Case cases[] = {{a, 5, 0, 1}, {sub, 0, 1, 1}, {b, 0, 0, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(GetPathFileSize(c.name.c_str()), c.size) << c.name;
        EXPECT_EQ(IsDirectoryPath(c.name.c_str()), c.isDir) << c.name;
        EXPECT_EQ(PathExists(c.name.c_str()), c.exists) << c.name;
    }

    EXPECT_EQ(RenamePathFile(b.c_str(), a.c_str()), 0);  // new name first
    EXPECT_EQ(PathExists(a.c_str()), 0);
    EXPECT_EQ(GetPathFileSize(b.c_str()), 5);
    EXPECT_EQ(RenamePathFile(b.c_str(), a.c_str()), -1);  // a is gone

    EXPECT_EQ(DeletePathFile(sub.c_str()), 0);  // an empty folder goes too
    EXPECT_EQ(IsDirectoryPath(sub.c_str()), 0);
    EXPECT_EQ(DeletePathFile(b.c_str()), 0);
    EXPECT_EQ(DeletePathFile(b.c_str()), -1);
}

TEST(FileLayer, CountedStringLengthIsCheckedAgainstTheFile) {
    TestFolder dir;
    ASSERT_TRUE(dir.Ok());
    struct Case { std::vector<uint8_t> bytes; uint32_t status; const char* text; };
    const Case cases[] = {
        {{3, 0, 'a', 'b', 'c', 'x'}, kIoOk, "abc"},
        {{0, 0}, kIoOk, ""},
        {{4, 0, 'a', 'b', 'c'}, kIoEndOfData, nullptr},
        {{0xFF, 0xFF, 'a'}, kIoEndOfData, nullptr},
        {{1}, kIoEndOfData, nullptr},
    };
    std::string name = dir.File("s.bin");
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteWholeFile(name, c.bytes));
        FileHandle h = OpenFileHandle(name.c_str(), 0);
        ASSERT_NE(h, kNoFileHandle);
        char* text = reinterpret_cast<char*>(1);
        EXPECT_EQ(ReadCountedString(h, &text), c.status);
        if (c.text) {
            ASSERT_NE(text, nullptr);
            EXPECT_STREQ(text, c.text);
        } else {
            EXPECT_EQ(text, nullptr);
        }
        std::free(text);
        CloseFileHandle(h);
    }
}

TEST(FileHelpers, ChangeFileExtension) {
    struct Case { const char* path; const char* ext; size_t size; const char* result; };
    const Case cases[] = {
        {"c.old", "new", 64, "c.new"},
        {"c.old", ".new", 64, "c.new"},
        {"a.b\\c", "new", 64, "a.b\\c.new"},  // the last dot is in a folder name
        {"a.b/c", "new", 64, "a.b/c.new"},
        {"dir\\file", ".txt", 64, "dir\\file.txt"},
        {"x.tar.gz", "zip", 64, "x.tar.zip"},
        {"c.old", "longer", 8, "c.longe"},  // cut to the buffer
    };
    for (const Case& c : cases) {
        char buf[64];
        std::strcpy(buf, c.path);
        ChangeFileExtension(buf, c.size, c.ext);
        EXPECT_STREQ(buf, c.result) << c.path << " + " << c.ext;
    }
}

TEST(FileHelpers, ChangeFileExtensionOfAString) {
    struct Case { const char* path; const char* ext; const char* result; };
    const Case cases[] = {
        {"c.old", "new", "c.new"},
        {"C:\\games\\c.old", ".new", "C:\\games\\c.new"},
        {"a.b\\c", "new", "a.b\\c.new"},
        {"C:name", "txt", "C:name.txt"},
        {"x.tar.gz", "", "x.tar"},  // no extension: none is left
        {"", "txt", ""},
    };
    for (const Case& c : cases) {
        CRefString path(c.path);
        ChangeFileExtensionString(path, c.ext);
        EXPECT_STREQ(path.c_str(), c.result) << c.path << " + " << c.ext;
    }
}

TEST(FileHelpers, TempNamesCountUpFromStart) {
    TestFolder dir;
    ASSERT_TRUE(dir.Ok());
    char name[1024];
    std::string first = dir.File("tw1.tmp"), second = dir.File("tw2.tmp");

    EXPECT_EQ(MakeTempFileName(dir.Path().c_str(), "tw", name, sizeof name, nullptr, 1, 0), 1);
    EXPECT_EQ(std::string(name), first);
    EXPECT_EQ(PathExists(first.c_str()), 1);  // kept
    // The name 1 is taken now, so 2 is next; without keep the file is removed.
    EXPECT_EQ(MakeTempFileName(dir.Path().c_str(), "tw", name, sizeof name, "", 0, 0), 2);
    EXPECT_EQ(std::string(name), second);
    EXPECT_EQ(PathExists(second.c_str()), 0);

    std::string withExt = dir.File("tw8.dat");
    EXPECT_EQ(MakeTempFileName((dir.Path() + "\\").c_str(), "tw", name, sizeof name, ".dat", 0, 7), 8);
    EXPECT_EQ(std::string(name), withExt);
}

TEST(FileHelpers, TempNameInAMissingFolderFails) {
    TestFolder dir;
    ASSERT_TRUE(dir.Ok());
    char name[1024] = "x";
    std::string missing = dir.Path() + "\\no-such-folder";
    EXPECT_EQ(MakeTempFileName(missing.c_str(), "tw", name, sizeof name, "tmp", 0, 0), -1);
    EXPECT_STREQ(name, "");
    // A name that does not fit the caller's buffer fails too.
    char small[8];
    EXPECT_EQ(MakeTempFileName(dir.Path().c_str(), "tw", small, sizeof small, "tmp", 0, 0), -1);
    // Without a folder the system's temporary folder is used.
    int32_t n = MakeTempFileName(nullptr, "twx", name, sizeof name, nullptr, 0, 0);
    EXPECT_GE(n, 1);
    EXPECT_NE(std::strstr(name, ".tmp"), nullptr);
}
