// The File and Ini script classes through their member handlers.
#include "runtime/classes/class_registry.h"
#include "scriptsys/ci_file.h"
#include "scriptsys/ci_ini.h"
#include "tests/support/script_call_harness.h"
#include "tests/support/test_files.h"

namespace {

enum FileMember {
    kOpen = 1, kCreate, kClose, kReadLn, kWriteLn, kSetPosition, kGetPosition, kGetLength, kRead, kWrite,
    kGetFilePath, kIsOpened,
};

enum IniMember { kOpenFile = 1, kCloseFile, kSetValue, kGetStrValue, kGetIntValue };

constexpr uint32_t kReadOnly = CIFile::kConstReadOnly;
constexpr uint32_t kWriteOnly = CIFile::kConstWriteOnly;
constexpr uint32_t kReadWrite = CIFile::kConstReadWrite;

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

class FileClassTest : public ScriptCallTest {
protected:
    CIFile* File() { return static_cast<CIFile*>(New(kClassFile)); }
    // A file object opened on a new file holding the content.
    CIFile* FileWith(const std::string& content) {
        std::string name = m_folder.File("data" + std::to_string(m_count++) + ".txt");
        EXPECT_TRUE(WriteWholeFile(name, Bytes(content)));
        CIFile* f = File();
        Call(f, kOpen, {name.c_str()});
        return f;
    }
    std::string ReadAll(const std::string& name) {
        std::vector<uint8_t> bytes = ReadWholeFile(name);
        return std::string(bytes.begin(), bytes.end());
    }

    TestFolder m_folder;
    int m_count = 0;
};

TEST_F(FileClassTest, LinesEndAtCrLfAndOneFollowingLineEnd) {
    CIFile* f = FileWith("a\r\nb");
    EXPECT_EQ(Text(Call(f, kReadLn)), "a");
    EXPECT_EQ(Text(Call(f, kReadLn)), "b");
    EXPECT_EQ(Text(Call(f, kReadLn)), "");
    f = FileWith("a\n\nb");
    EXPECT_EQ(Text(Call(f, kReadLn)), "a");
    EXPECT_EQ(Text(Call(f, kReadLn)), "b");
}

TEST_F(FileClassTest, ReadTakesSeparatorsAndFlagsInAnyOrder) {
    CIFile* f = FileWith("x,y\r\n  \"p;q\" ; r \n");
    EXPECT_EQ(Text(Call(f, kRead, {","})), "x");
    EXPECT_EQ(Text(Call(f, kRead, {","})), "y");
    EXPECT_EQ(Text(Call(f, kRead, {CIFile::kConstHandleQuotes, ";", CIFile::kConstSkipSpaces})), "p;q");
    // The quoted run ends the field: the separator behind it gives an empty one.
    EXPECT_EQ(Text(Call(f, kRead, {";", CIFile::kConstSkipSpaces})), "");
    EXPECT_EQ(Text(Call(f, kRead, {";", CIFile::kConstSkipSpaces})), "r");
    EXPECT_EQ(Text(Call(f, kRead)), "");  // end of the file
    EXPECT_EQ(ErrorOf(f, kRead, {5}), 14);
}

TEST_F(FileClassTest, PositionStaysWithinTheKnownLength) {
    CIFile* f = FileWith("0123456789");
    Call(f, kSetPosition, {1000});
    EXPECT_EQ(Call(f, kGetPosition)->GetInt(), 10);
    Call(f, kSetPosition, {4});
    EXPECT_EQ(Text(Call(f, kReadLn)), "456789");
    EXPECT_EQ(ErrorOf(f, kSetPosition, {-1}), 14);
    EXPECT_EQ(ErrorOf(f, kSetPosition), 14);
    EXPECT_EQ(Call(f, kGetLength)->GetInt(), 10);
}

TEST_F(FileClassTest, BadPathsModesAndClosedFilesRaiseTheirErrors) {
    CIFile* f = File();
    EXPECT_EQ(ErrorOf(f, kOpen, {""}), 29);
    EXPECT_EQ(ErrorOf(f, kOpen), 29);
    EXPECT_EQ(ErrorOf(f, kOpen, {"x.txt", 5}), 14);
    for (int member : {kReadLn, kWriteLn, kWrite, kRead, kGetPosition, kSetPosition})
        EXPECT_EQ(ErrorOf(f, member, {"a"}), 48) << member;
    EXPECT_EQ(Call(f, kIsOpened)->GetInt(), 0);
    EXPECT_EQ(Call(f, kGetLength)->GetInt(), 0);  // no check needed
}

TEST_F(FileClassTest, OpeningAMissingFileRaisesThePlatformErrorAndKeepsThePath) {
    std::string name = m_folder.File("missing.txt");
    CIFile* f = File();
    const int32_t code = ErrorOf(f, kOpen, {name.c_str()});
    EXPECT_NE(code, -1);
    EXPECT_NE(static_cast<uint32_t>(code) & 0x80000000u, 0u);  // a platform error code
    EXPECT_EQ(Call(f, kIsOpened)->GetInt(), 0);
    EXPECT_EQ(Text(Call(f, kGetFilePath)), name);
}

TEST_F(FileClassTest, CreatingInAMissingFolderRaisesThePlatformError) {
    const std::string name = m_folder.Path() + "\\no such folder\\x.txt";
    CIFile* f = File();
    const int32_t code = ErrorOf(f, kCreate, {name.c_str()});
    EXPECT_NE(code, -1);
    EXPECT_NE(static_cast<uint32_t>(code) & 0x80000000u, 0u);
    EXPECT_EQ(Call(f, kIsOpened)->GetInt(), 0);
    EXPECT_NE(NewError(kClassFile, {name.c_str()}), -1);
}

TEST_F(FileClassTest, NewFileCreatesAMissingFileAndOpensAnExistingOne) {
    std::string name = m_folder.File("new.txt");
    CIFile* f = static_cast<CIFile*>(New(kClassFile, {name.c_str()}));
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(Call(f, kIsOpened)->GetInt(), 1);
    EXPECT_EQ(Call(f, kGetLength)->GetInt(), 0);
    Call(f, kWriteLn, {"ab", "", 12});
    Call(f, kWrite, {"c"});
    EXPECT_EQ(Call(f, kGetPosition)->GetInt(), 7);
    Call(f, kClose);
    EXPECT_EQ(ReadAll(name), "ab12\r\nc");

    CIFile* g = static_cast<CIFile*>(New(kClassFile, {name.c_str(), kReadOnly}));
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(Call(g, kGetLength)->GetInt(), 7);
    EXPECT_EQ(Text(Call(g, kReadLn)), "ab12");
    EXPECT_EQ(NewError(kClassFile, {name.c_str(), 3}), 14);
}

TEST_F(FileClassTest, AWriteThatFailsRaisesAndMovesNothing) {
    CIFile* f = FileWith("abc");
    const std::string name = f->Access().GetPath();
    Call(f, kOpen, {name.c_str(), kReadOnly});
    const int32_t code = ErrorOf(f, kWriteLn, {"xyz"});
    EXPECT_NE(code, -1);
    EXPECT_NE(static_cast<uint32_t>(code) & 0x80000000u, 0u);
    EXPECT_EQ(Call(f, kGetPosition)->GetInt(), 0);
    EXPECT_EQ(Call(f, kGetLength)->GetInt(), 3);
    Call(f, kClose);
    EXPECT_EQ(ReadAll(name), "abc");
}

TEST_F(FileClassTest, ReadingAWriteOnlyFileRaises) {
    CIFile* f = FileWith("abc");
    const std::string name = f->Access().GetPath();
    Call(f, kOpen, {name.c_str(), kWriteOnly});
    EXPECT_NE(ErrorOf(f, kReadLn), -1);
    Call(f, kOpen, {name.c_str(), kReadWrite});
    EXPECT_EQ(Text(Call(f, kReadLn)), "abc");
}

class IniClassTest : public ScriptCallTest {
protected:
    TestFolder m_folder;
};

TEST_F(IniClassTest, DefaultsAnswerWhenNothingIsNamedOrFound) {
    CIBaseClassImpl* ini = New(kClassIni);
    EXPECT_EQ(Text(Call(ini, kGetStrValue, {"s", "k", "dflt"})), "dflt");
    EXPECT_EQ(Call(ini, kGetIntValue, {"s", "k"})->GetInt(), 0);
    std::string name = m_folder.File("a.ini");
    Call(ini, kOpenFile, {name.c_str()});
    EXPECT_EQ(Call(ini, kGetIntValue, {"s", "missing"})->GetInt(), 0);
    EXPECT_EQ(Call(ini, kGetIntValue, {"s", "missing", "42"})->GetInt(), 42);
    Call(ini, kSetValue, {"s", "", "v"});  // empty key: nothing written
    Call(ini, kSetValue, {"s", "n", " -17x"});
    Call(ini, kSetValue, {"s", "t", "hello"});
    EXPECT_EQ(Call(ini, kGetIntValue, {"S", "N"})->GetInt(), -17);
    EXPECT_EQ(Text(Call(ini, kGetStrValue, {"s", "t"})), "hello");
    EXPECT_EQ(Text(Call(ini, kGetStrValue, {"s", ""})), "");

    CIBaseClassImpl* again = New(kClassIni, {name.c_str()});
    EXPECT_EQ(Text(Call(again, kGetStrValue, {"s", "t"})), "hello");
    Call(again, kCloseFile);
    EXPECT_EQ(Text(Call(again, kGetStrValue, {"s", "t", "gone"})), "gone");
}

}  // namespace
