// A damaged or incomplete package never passes for a clean run: the runner
// shows one box naming the file and what is wrong, runs nothing, and answers
// kExitDamagedPackage. Each damage is made from one clean package.
#include "runtime/package/bank.h"
#include "runtime/package/bank_writer.h"
#include "runtime/io/buffer_stream.h"
#include "runtime/runner/os_runner.h"
#include "runtime/package/package_damage.h"
#include "runtime/package/package_writer.h"
#include "runtime/headless/os_runner_record.h"
#include "runtime/runner/runner.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Bank(uint32_t type, const char* name, const char* element, const std::string& text) {
    CBankWriter w(type, name);
    w.AddData(element, "", text.data(), static_cast<int32_t>(text.size()), false);
    CBufferStream out;
    w.Write(&out, true);
    return std::vector<uint8_t>(out.GetData(), out.GetData() + out.GetSize());
}

// A program that would show a box of its own if it ran: its start-up text is
// long enough to be stored compressed, and it has a source and a string bank.
std::vector<uint8_t> CleanPackage() {
    PackageProgram p;
    p.title = "Damage";
    p.compress = true;
    p.startupText = "Var started = 1;\n" + std::string(400, '/') + "\n";
    p.banks.push_back(Bank(kBankSources, "Main", "main.src", "Var a = 1;\nVar b = Nothing(a);\n"));
    p.banks.push_back(Bank(kBankStrings, "Texts", "greeting", "Hello"));
    PackageDescription d;
    d.programs.push_back(p);
    std::vector<uint8_t> bytes;
    EXPECT_EQ(WritePackage(d, &bytes), 0u);
    return bytes;
}

uint32_t Get32(const std::vector<uint8_t>& v, size_t at) {
    return v[at] | (v[at + 1] << 8) | (v[at + 2] << 16) | (static_cast<uint32_t>(v[at + 3]) << 24);
}
void Put32(std::vector<uint8_t>* v, size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i) (*v)[at + i] = static_cast<uint8_t>(x >> (8 * i));
}

// Position of the n-th chunk header of an id: at the package level, or in the
// chunk list of the first program record.
size_t ChunkAt(const std::vector<uint8_t>& v, uint16_t id, int n = 0) {
    size_t at = 0;
    while (at + 8 <= v.size()) {
        const uint16_t cid = static_cast<uint16_t>(v[at] | (v[at + 1] << 8));
        if (cid == id && n-- == 0) return at;
        if (cid == 0x1200) at += 8 + 2 + (v[at + 8] | (v[at + 9] << 8));  // into the program's list
        else at += 8 + Get32(v, at + 4);
    }
    ADD_FAILURE() << "no chunk " << id;
    return 0;
}

// Bank file fields behind the n-th bank chunk (its bank name length is read).
size_t BankCountAt(const std::vector<uint8_t>& v, int n) {
    const size_t bank = ChunkAt(v, 0x1100, n) + 8 + 2;
    return bank + 4 + 2 + (v[bank + 4] | (v[bank + 5] << 8)) + 4;
}

class RunnerDamageTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.Ok()); }
    // Runs a package file; its boxes, with the exit code checked.
    std::vector<std::string> Run(const std::string& path, int exitCode) {
        GetOsRunnerRecord() = OsRunnerRecord();
        CRunner runner;
        runner.m_packagePath = path.c_str();
        EXPECT_EQ(runner.Run(), exitCode) << path;
        return GetOsRunnerRecord().boxes;
    }
    std::string Write(const std::vector<uint8_t>& bytes) {
        const std::string path = dir.File("app" + std::to_string(++files) + ".pkg");
        EXPECT_TRUE(WriteWholeFile(path, bytes));
        return path;
    }
    TestFolder dir;
    int files = 0;
};

TEST_F(RunnerDamageTest, TheCleanPackageRuns) {
    EXPECT_EQ(Run(Write(CleanPackage()), 0), std::vector<std::string>{"main.src|Error #42 at line 2."});
}

TEST_F(RunnerDamageTest, EveryDamageShowsOneBoxAndEndsWithTheExitCode) {
    const std::vector<uint8_t> clean = CleanPackage();
    struct Case {
        std::string what;
        std::function<void(std::vector<uint8_t>*)> damage;
        const char* words;  // in the box: the part and what is wrong
    };
    std::vector<Case> cases;
    for (int i = 1; i <= 8; ++i) {
        const size_t keep = clean.size() * i / 9;
        cases.push_back({"cut to " + std::to_string(keep), [keep](std::vector<uint8_t>* v) { v->resize(keep); },
                         "is cut short"});
    }
    cases.push_back({"end chunk cut", [](std::vector<uint8_t>* v) { v->resize(v->size() - 3); }, "the package"});
    for (uint32_t word : {0xFFFFFFFFu, 0x7FFFFFF0u, 0x80000000u}) {
        const std::string w = std::to_string(word);
        cases.push_back({"program record size " + w,
                         [word](std::vector<uint8_t>* v) { Put32(v, ChunkAt(*v, 0x1200) + 4, word); }, "the package"});
        cases.push_back({"settings size " + w,
                         [word](std::vector<uint8_t>* v) { Put32(v, ChunkAt(*v, 0x1000) + 4, word); },
                         "a program record"});
        cases.push_back({"bank chunk size " + w,
                         [word](std::vector<uint8_t>* v) { Put32(v, ChunkAt(*v, 0x1100, 1) + 4, word); },
                         "a program record"});
        cases.push_back({"bank element count " + w,
                         [word](std::vector<uint8_t>* v) { Put32(v, BankCountAt(*v, 1), word); }, "a resource bank"});
        cases.push_back({"start-up text length " + w,
                         [word](std::vector<uint8_t>* v) { Put32(v, ChunkAt(*v, 0x1500) + 8, word); },
                         "the start-up text"});
    }
    cases.push_back({"element record past the end",
                     [](std::vector<uint8_t>* v) { Put32(v, BankCountAt(*v, 0) + 4, 0x00FFFFFF); },
                     "a resource bank has an element record"});
    cases.push_back({"compressed start-up text flipped",
                     [](std::vector<uint8_t>* v) { (*v)[ChunkAt(*v, 0x1500) + 8 + 8 + 20] ^= 0x55; },
                     "the start-up text holds corrupt compressed data"});
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = clean;
        c.damage(&bytes);
        const std::string path = Write(bytes);
        const std::vector<std::string> boxes = Run(path, kExitDamagedPackage);
        ASSERT_EQ(boxes.size(), 1u) << c.what;
        EXPECT_EQ(boxes[0].find(std::string(kPackageDamageCaption) + "|The application package in " + path +
                                " is damaged or incomplete: "),
                  0u)
            << c.what << ": " << boxes[0];
        EXPECT_NE(boxes[0].find(c.words), std::string::npos) << c.what << ": " << boxes[0];
    }
}

TEST_F(RunnerDamageTest, APackageFileThatCannotBeOpenedIsNamed) {
    const std::string path = dir.File("none.pkg");
    const std::vector<std::string> boxes = Run(path, kExitDamagedPackage);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(path + " is damaged or incomplete: the package cannot be opened."), std::string::npos)
        << boxes[0];
}

}  // namespace
