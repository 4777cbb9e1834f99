#include "runtime/runner/runner.h"

#include "runtime/package/bank.h"
#include "runtime/package/bank_writer.h"
#include "runtime/io/buffer_stream.h"
#include "runtime/interp/interpretor.h"
#include "runtime/runner/os_runner.h"
#include "runtime/package/package_writer.h"
#include "runtime/headless/os_runner_record.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Module {
    const char* name;
    const char* part;
    const char* text;
};

PackageProgram Program(const std::string& startText, const std::vector<Module>& modules) {
    PackageProgram p;
    p.title = "Runner";
    p.startupText = startText;
    for (const Module& m : modules) {
        CBankWriter w(kBankSources, m.name);
        w.AddData(m.part, "", m.text, static_cast<int32_t>(std::string(m.text).size()), false);
        CBufferStream out;
        w.Write(&out, true);
        p.banks.emplace_back(out.GetData(), out.GetData() + out.GetSize());
    }
    return p;
}

// Stands in for a script class: counts the objects scripts create, so that a
// test sees which programs really ran. Bound to a class id for one test and
// unbound (the previous binding restored) afterwards.
class ProbeObject : public CIBaseClassImpl {
public:
    explicit ProbeObject(CInterpretor* in) : CIBaseClassImpl(in, in->GetClassRecord(kProbeClass), kProbeClass, true) {
        ++created;
    }
    void Destroy(int32_t releaseAll) override {
        CIBaseClassImpl::Destroy(releaseAll);
        delete this;
    }
    static constexpr uint32_t kProbeClass = 53;  // "Serial"
    static int created;
};
int ProbeObject::created = 0;

class ProbeBinding {
public:
    ProbeBinding() {
        CInterpretor first;  // the first interpreter binds the built-in classes
        const CClassBinding* old = GetClassBinding(ProbeObject::kProbeClass);
        if (old) m_saved = *old;
        CClassBinding probe;
        probe.factory = [](CInterpretor* in) -> CIBaseClassImpl* { return new ProbeObject(in); };
        RegisterClassBinding(ProbeObject::kProbeClass, probe);
        ProbeObject::created = 0;
    }
    ~ProbeBinding() { RegisterClassBinding(ProbeObject::kProbeClass, m_saved); }

private:
    CClassBinding m_saved;
};

const char* const kBroken = "Var a = 1;\nVar b = 2;\nVar c = a + b\n";
const char* const kFine = "Var a = 1;\n";

class RunnerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.Ok());
        GetOsRunnerRecord() = OsRunnerRecord();
    }
    std::string Write(const PackageDescription& d) {
        std::vector<uint8_t> bytes;
        EXPECT_EQ(WritePackage(d, &bytes), 0u);
        std::string path = dir.File("app" + std::to_string(++files) + ".pkg");
        EXPECT_TRUE(WriteWholeFile(path, bytes));
        return path;
    }
    const OsRunnerRecord& Run(CRunner& runner, const std::string& package, int exitCode = 0) {
        GetOsRunnerRecord() = OsRunnerRecord();
        runner.m_packagePath = package.c_str();
        EXPECT_EQ(runner.Run(), exitCode);
        return GetOsRunnerRecord();
    }
    TestFolder dir;
    int files = 0;
};

}  // namespace

TEST_F(RunnerTest, CompileFailureShowsOneBoxAndTheHostIsTold) {
    PackageDescription d;
    d.programs.push_back(Program("", {{"Main", "main.src", kBroken}}));
    CRunner runner;
    const OsRunnerRecord& r = Run(runner, Write(d));
    ASSERT_EQ(r.boxes.size(), 1u);
    EXPECT_EQ(r.boxes[0], "main.src|Error #6 at line 3.");
    EXPECT_EQ(r.posted, std::vector<uint32_t>{kOsMessageClose});
    EXPECT_EQ(r.processStarts, 1);
    EXPECT_EQ(r.processStops, 1);
    EXPECT_EQ(GetObjectAtom(), 0);  // removed again at the stop
}

TEST_F(RunnerTest, ModesDecideWhatIsCompiledAndWhoIsTold) {
    PackageDescription brokenStart;
    brokenStart.programs.push_back(Program("If a == 1 { }\n", {{"Main", "main.src", kFine}}));
    PackageDescription brokenSetup;
    brokenSetup.programs.push_back(
        Program("", {{"Main", "main.src", kFine}, {"tarnwheelscreensaversetup", "setup.src", kBroken}}));
    const std::string start = Write(brokenStart), setup = Write(brokenSetup);
    int window = 0;
    struct Case {
        const char* what;
        std::string package;
        int32_t saver, setupMode;
        void* parent;
        std::vector<std::string> boxes;
        std::vector<uint32_t> posted;
    };
    const Case cases[] = {
        {"start-up text compiled", start, 0, 0, nullptr, {"InitSource|Error #16 at line 1."}, {kOsMessageClose}},
        {"a host window leaves the start-up text out", start, 0, 0, &window, {}, {kOsMessageClose}},
        {"in setup mode the host window is no host context", start, 0, 1, &window,
         {"InitSource|Error #16 at line 1."}, {kOsMessageClose}},
        {"a screen saver stops before its setup module", setup, 1, 0, nullptr, {}, {}},
        {"the setup part compiles it and tells the host", setup, 1, 1, nullptr, {"setup.src|Error #6 at line 3."},
         {kOsMessageCommand}},
    };
    for (const Case& c : cases) {
        CRunner runner;
        runner.m_screenSaverMode = c.saver;
        runner.m_setupMode = c.setupMode;
        runner.m_parentWindow = c.parent;
        const OsRunnerRecord& r = Run(runner, c.package);
        EXPECT_EQ(r.boxes, c.boxes) << c.what;
        EXPECT_EQ(r.posted, c.posted) << c.what;
    }
}

TEST_F(RunnerTest, FollowOnProgramRunsAfterwardsAndItsFailuresStaySilent) {
    PackageDescription next;
    next.programs.push_back(Program("", {{"Next", "next.src", kBroken}}));
    PackageDescription first;
    first.programs.push_back(Program("", {{"Main", "main.src", kFine}}));
    ASSERT_EQ(WritePackage(next, &first.followOn), 0u);
    CRunner runner;
    const OsRunnerRecord& r = Run(runner, Write(first));
    EXPECT_NE(runner.m_followOnOffset, 0u);
    EXPECT_EQ(r.processStarts, 2);  // the first program and the follow-on
    EXPECT_EQ(r.processStops, 2);
    EXPECT_TRUE(r.boxes.empty());

    // Without a follow-on package there is one start.
    PackageDescription alone;
    alone.programs.push_back(Program("", {{"Main", "main.src", kFine}}));
    CRunner single;
    EXPECT_EQ(Run(single, Write(alone)).processStarts, 1);
    EXPECT_EQ(single.m_followOnOffset, 0u);
}

TEST_F(RunnerTest, RuntimeErrorShowsOneBoxWithItsModuleAndLine) {
    struct Case {
        const char* text;
        const char* box;
    };
    const Case cases[] = {
        {"Var a = 1;\nVar b = 0;\nVar c = Nothing(a);\n", "main.src|Error #42 at line 3."},
        {"Var a = 1;\n\n\nVar o = New Math();\n", "main.src|Error #65 at line 4."},
    };
    for (const Case& c : cases) {
        PackageDescription d;
        d.programs.push_back(Program("", {{"Main", "main.src", c.text}}));
        CRunner runner;
        const OsRunnerRecord& r = Run(runner, Write(d));
        EXPECT_EQ(r.boxes, std::vector<std::string>{c.box}) << c.text;
    }
}

TEST_F(RunnerTest, ProgramsRunAndTheFollowOnRunsInAFreshInterpreter) {
    ProbeBinding probe;
    PackageDescription next;
    next.programs.push_back(Program("", {{"Next", "next.src", "Var p = New Serial();\nVar q = New Serial();\n"}}));
    PackageDescription first;
    first.programs.push_back(Program("Var s = New Serial();\n", {{"Main", "main.src", "Var t = New Serial();\n"}}));
    ASSERT_EQ(WritePackage(next, &first.followOn), 0u);
    CRunner runner;
    const OsRunnerRecord& r = Run(runner, Write(first));
    EXPECT_TRUE(r.boxes.empty());
    // Two objects of the first program (start-up text and module), two of
    // the follow-on program.
    EXPECT_EQ(ProbeObject::created, 4);

    // A failing first program still hands over to the follow-on program.
    ProbeObject::created = 0;
    first.programs[0] = Program("", {{"Main", "main.src", "Var t = New Serial();\nVar u = Nothing();\n"}});
    CRunner again;
    const OsRunnerRecord& r2 = Run(again, Write(first));
    EXPECT_EQ(r2.boxes, std::vector<std::string>{"main.src|Error #42 at line 2."});
    EXPECT_EQ(ProbeObject::created, 3);
}
