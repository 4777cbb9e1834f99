#include "scriptsys/file_access.h"

#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

// Every line of a file as ReadLine gives them, up to the end.
std::vector<std::string> Lines(CFileAccess& f) {
    std::vector<std::string> lines;
    while (f.GetPosition() < f.GetLength()) {
        std::string line;
        EXPECT_EQ(f.ReadLine(&line), 0u);
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> Fields(CFileAccess& f, const std::string& separators, int options) {
    std::vector<std::string> fields;
    for (;;) {
        std::string field;
        bool found = false;
        EXPECT_EQ(f.ReadField(separators, options, &field, &found), 0u);
        if (!found) break;
        fields.push_back(field);
    }
    return fields;
}

class FileAccessTest : public ::testing::Test {
protected:
    // Opens a new file holding the content.
    void OpenWith(const std::string& content, int mode = CFileAccess::kReadWrite) {
        name = dir.File("f" + std::to_string(++count) + ".txt");
        ASSERT_TRUE(WriteWholeFile(name, Bytes(content)));
        file.SetPath(name.c_str());
        file.SetMode(mode);
        ASSERT_EQ(file.Open(), 0u);
    }

    TestFolder dir;
    std::string name;
    int count = 0;
    CFileAccess file;
};

}  // namespace

TEST_F(FileAccessTest, ReadLineEndings) {
    struct Case { const char* content; std::vector<std::string> lines; };
    const Case cases[] = {
        {"a\r\nb", {"a", "b"}},
        {"a\n\nb", {"a", "b"}},           // one CR or LF after the end is part of it
        {"a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"a\rb\n", {"a", "b"}},
        {"no end", {"no end"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content);
        OpenWith(c.content);
        EXPECT_EQ(Lines(file), c.lines);
        std::string line = "x";
        EXPECT_EQ(file.ReadLine(&line), 0u);  // at the end: empty, position kept
        EXPECT_EQ(line, "");
        EXPECT_EQ(file.GetPosition(), file.GetLength());
    }
    OpenWith(std::string("a\0\nb", 4));
    EXPECT_EQ(Lines(file), (std::vector<std::string>{"a", "b"}));
}

TEST_F(FileAccessTest, LongLinesSpanChunks) {
    // Terminators at and around the chunk boundary, and lines of several chunks.
    for (size_t n : {254u, 255u, 256u, 600u}) {
        SCOPED_TRACE(n);
        std::string first(n, 'x');
        OpenWith(first + "\r\n" + "second");
        EXPECT_EQ(Lines(file), (std::vector<std::string>{first, "second"}));
    }
}

TEST_F(FileAccessTest, ReadFieldSeparatorsAndLineEnds) {
    OpenWith("x,y\r\nz;w");
    EXPECT_EQ(Fields(file, "", 0), (std::vector<std::string>{"x", "y", "z;w"}));
    OpenWith("x,y\r\nz;w");
    EXPECT_EQ(Fields(file, ";,", 0), (std::vector<std::string>{"x", "y", "z", "w"}));
    OpenWith("a,,b\n\rc\r\rd");  // LF CR is one line end; CR CR are two
    EXPECT_EQ(Fields(file, ",", 0), (std::vector<std::string>{"a", "", "b", "c", "", "d"}));
    OpenWith("  a b \t, \tc  ");
    EXPECT_EQ(Fields(file, ",", CFileAccess::kSkipSpaces), (std::vector<std::string>{"a b", "c"}));
    OpenWith("  a , b");
    EXPECT_EQ(Fields(file, ",", 0), (std::vector<std::string>{"  a ", " b"}));
}

TEST_F(FileAccessTest, ReadFieldQuotes) {
    const std::string text = "\"a,b\",c,\"d\"\r\n\"open,e\nf";
    OpenWith(text);
    EXPECT_EQ(Fields(file, ",", CFileAccess::kHandleQuotes),
              (std::vector<std::string>{"a,b", "c", "d", "open,e", "f"}));
    OpenWith(text);
    EXPECT_EQ(Fields(file, ",", CFileAccess::kHandleQuotes | CFileAccess::kReturnQuotes),
              (std::vector<std::string>{"\"a,b\"", "c", "\"d\"", "\"open,e", "f"}));
    OpenWith(text);  // without the option quotes are ordinary bytes
    EXPECT_EQ(Fields(file, ",", 0), (std::vector<std::string>{"\"a", "b\"", "c", "\"d\"", "\"open", "e", "f"}));
    OpenWith("x\"y,z\"w,v");  // a run inside a field ends the field
    EXPECT_EQ(Fields(file, ",", CFileAccess::kHandleQuotes), (std::vector<std::string>{"xy,z", "w", "v"}));
}

TEST_F(FileAccessTest, WritesMovePositionAndLength) {
    OpenWith("0123456789");
    ASSERT_EQ(file.SetPosition(1000), 0u);
    EXPECT_EQ(file.GetPosition(), 10);  // never past the known length
    ASSERT_EQ(file.SetPosition(4), 0u);
    ASSERT_EQ(file.Write("ab", 2), 0u);
    EXPECT_EQ(file.GetPosition(), 6);
    EXPECT_EQ(file.GetLength(), 10);
    ASSERT_EQ(file.SetPosition(9), 0u);
    ASSERT_EQ(file.Write("XYZ", 3), 0u);
    EXPECT_EQ(file.GetPosition(), 12);
    EXPECT_EQ(file.GetLength(), 12);
    std::string line;
    ASSERT_EQ(file.SetPosition(0), 0u);
    ASSERT_EQ(file.ReadLine(&line), 0u);
    EXPECT_EQ(line, "0123ab678XYZ");
    file.Close();
    EXPECT_EQ(ReadWholeFile(name), Bytes("0123ab678XYZ"));
    EXPECT_FALSE(file.HasPath());
}

TEST_F(FileAccessTest, FailedReadsAndWritesAreFailures) {
    OpenWith("abc", CFileAccess::kWriteOnly);
    std::string line = "x";
    EXPECT_NE(file.ReadLine(&line), 0u);  // not the end of a file: a refusal
    EXPECT_EQ(line, "");
    EXPECT_EQ(file.GetPosition(), 0);
    bool found = true;
    EXPECT_NE(file.ReadField(",", 0, &line, &found), 0u);
    EXPECT_EQ(file.GetPosition(), 0);

    OpenWith("abc", CFileAccess::kReadOnly);
    EXPECT_NE(file.Write("zz", 2), 0u);
    EXPECT_EQ(file.GetPosition(), 0);  // nothing counted as written
    EXPECT_EQ(file.GetLength(), 3);
    file.Close();
    EXPECT_EQ(ReadWholeFile(name), Bytes("abc"));
}

TEST_F(FileAccessTest, OpenCreateAndOpenOrCreate) {
    std::string missing = dir.File("missing.txt");
    file.SetPath(missing.c_str());
    EXPECT_NE(file.Open(), 0u);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_STREQ(file.GetPath(), missing.c_str());  // a failed open keeps the path

    file.SetMode(CFileAccess::kReadOnly);
    ASSERT_EQ(file.OpenOrCreate(), 0u);  // created empty
    EXPECT_TRUE(PathExists(missing.c_str()));
    EXPECT_EQ(file.GetLength(), 0);

    OpenWith("hello");
    file.SetMode(CFileAccess::kReadOnly);
    ASSERT_EQ(file.OpenOrCreate(), 0u);  // existing: reopened in the mode asked for
    EXPECT_EQ(file.GetLength(), 5);
    EXPECT_NE(file.Write("x", 1), 0u);

    ASSERT_EQ(file.Create(), 0u);  // truncates
    EXPECT_EQ(file.GetLength(), 0);
    file.Close();
    EXPECT_EQ(GetPathFileSize(name.c_str()), 0);

    std::string longPath(400, 'a');
    file.SetPath(longPath.c_str());
    EXPECT_EQ(std::string(file.GetPath()).size(), CFileAccess::kPathBytes - 1);
}
