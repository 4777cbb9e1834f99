// The packer reads nothing outside the application folder it is given.
#include "tools/pack/folder_paths.h"
#include "tools/pack/packer.h"

#include "tests/support/test_files.h"

#include <gtest/gtest.h>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

// An application folder "app" inside a scratch folder that also holds a file
// outside the application, "secret.txt".
class EscapeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.Ok());
        ASSERT_TRUE(WriteWholeFile(m_dir.File("secret.txt"), Bytes("not to be packed")));
        m_app = m_dir.Path() + "\\app";
        ASSERT_EQ(CreateDirectoryPath(m_app.c_str()), 0);
        m_manifest = m_dir.File("app\\manifest.txt");
        ASSERT_TRUE(WriteWholeFile(m_dir.File("app\\main.src"), Bytes("Var a;\n")));
        m_output = m_dir.File("out.exe");
        m_extra = m_dir.File("app\\link");
        m_dir.File("app\\sub\\main.src");
        m_dir.File("app\\sub");
        m_dir.File("app");  // removed after its files
    }
    // Packs a manifest; false with the packer's error.
    bool Pack(const std::string& manifest, std::string* error) {
        EXPECT_TRUE(WriteWholeFile(m_manifest, Bytes(manifest)));
        std::vector<uint8_t> package;
        return BuildPackage(m_app, &package, error);
    }
    TestFolder m_dir;
    std::string m_app, m_manifest, m_output, m_extra;
};

TEST_F(EscapeTest, NamesOutsideTheFolderAreRefusedOnTheirLine) {
    struct Case {
        const char* manifest;
        const char* error;
    };
    const Case cases[] = {
        {"title = T\n[sources M]\n../secret.txt\n", "manifest.txt line 3: ../secret.txt: lies outside"},
        {"title = T\n[sources M]\nmain.src\nx = ..\\..\\..\\..\\..\\..\\..\\..\\etc\\passwd\n", "line 4: "},
        {"[sources M]\n../../../../../../../../etc/passwd\n", "line 2: ../../../../../../../../etc/passwd: lies outside"},
        {"[sources M]\n/etc/passwd\n", "line 2: /etc/passwd: an absolute path"},
        {"[strings S]\nx = C:\\windows\\win.ini\n", "line 2: C:\\windows\\win.ini: an absolute path"},
        {"startup = ../secret.txt\n", "line 1: ../secret.txt: lies outside"},
        {"title = T\ngameinput = \\secret.txt\n", "line 2: \\secret.txt: an absolute path"},
        {"palette = ./../secret.txt\n", "line 1: ./../secret.txt: lies outside"},
        {"followon = ..\n", "line 1: ..: lies outside"},
        {"[strings S]\n../x = main.src\n", "line 2: element name ../x is absolute"},
        {"[strings S]\n/x = main.src\n", "line 2: element name /x is absolute"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(Pack(c.manifest, &error)) << c.manifest;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.manifest << " gave " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}

TEST_F(EscapeTest, NamesThatStayInsideArePacked) {
    ASSERT_EQ(CreateDirectoryPath((m_app + "\\sub").c_str()), 0);
    ASSERT_TRUE(WriteWholeFile(m_app + "\\sub\\main.src", Bytes("Var b;\n")));
    std::string error;
    EXPECT_TRUE(Pack("[sources M]\nsub/../main.src\nsub\\main.src\nb = ./sub/../sub/main.src\n"
                     "[strings S]\na..b = main.src\n",
                     &error))
        << error;
}

TEST_F(EscapeTest, ARefusedPackLeavesNoOutputFile) {
    ASSERT_TRUE(WriteWholeFile(m_manifest, Bytes("[sources M]\n../secret.txt\n")));
    ASSERT_TRUE(WriteWholeFile(m_dir.File("runtime.exe"), Bytes("MZ")));
    std::string error;
    EXPECT_FALSE(PackExecutable(m_dir.Path() + "\\runtime.exe", m_app, m_output, &error));
    EXPECT_NE(error.find("lies outside"), std::string::npos) << error;
    EXPECT_FALSE(PathExists(m_output.c_str()));
}

#ifndef _WIN32
// A symbolic link inside the folder that leads out of it is followed before
// the check.
TEST_F(EscapeTest, ASymbolicLinkLeadingOutIsRefused) {
    std::string link = m_extra;
    for (char& c : link)
        if (c == '\\') c = '/';
    std::error_code ec;
    std::filesystem::create_symlink("../secret.txt", link, ec);
    ASSERT_FALSE(ec) << ec.message();
    std::string error;
    EXPECT_FALSE(Pack("[sources M]\nlink\n", &error));
    EXPECT_NE(error.find("line 2: link: lies outside"), std::string::npos) << error;
    std::filesystem::remove(link, ec);
    std::filesystem::create_symlink("main.src", link, ec);
    ASSERT_FALSE(ec) << ec.message();
    EXPECT_TRUE(Pack("[sources M]\nlink\n", &error)) << error;
}
#endif

}  // namespace
