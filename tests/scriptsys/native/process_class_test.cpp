// The Process script class through its member handlers, with commands of
// /bin/sh standing in for programs.
#include "runtime/classes/class_registry.h"
#include "runtime/interp/os_clock.h"
#include "runtime/interp/os_message_pump.h"
#include "scriptsys/ci_process.h"
#include "tests/support/script_call_harness.h"

#include <chrono>
#include <thread>

namespace {

enum ProcessMember {
    kSetCommandLine = 1, kGetCommandLine, kRestart, kRun, kIsProcessRunning, kGetExitCode, kSendQuitMessage,
    kTerminate,
};

class ProcessClassTest : public ScriptCallTest {
protected:
    int32_t Int(CIBaseClassImpl* p, int32_t member, std::initializer_list<CallArg> args = {}) {
        return Call(p, member, args)->GetInt();
    }
    int32_t WaitForEnd(CIBaseClassImpl* p) {
        for (int i = 0; i < 500 && Int(p, kIsProcessRunning); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return Int(p, kGetExitCode);
    }
};

TEST_F(ProcessClassTest, NewProcessRunsByDefaultAndReportsItsExitCode) {
    CIBaseClassImpl* p = New(kClassProcess, {"sh -c \"exit 3\""});
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(WaitForEnd(p), 3);
    EXPECT_EQ(Int(p, kIsProcessRunning), 0);
    EXPECT_EQ(Int(p, kRun), 0);  // the ended process is still held
    EXPECT_EQ(Text(Call(p, kGetCommandLine)), "sh -c \"exit 3\"");
}

TEST_F(ProcessClassTest, RunFlagZeroWaitsForRunAndOtherFlagsAreRefused) {
    CIBaseClassImpl* p = New(kClassProcess, {"sh -c \"exit 4\"", 0});
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(Int(p, kGetExitCode), 0);  // no process yet
    EXPECT_EQ(Int(p, kRun), 1);
    EXPECT_EQ(Int(p, kRun), 0);
    EXPECT_EQ(WaitForEnd(p), 4);
    EXPECT_EQ(NewError(kClassProcess, {"true", 2}), 14);
}

// A program that cannot be started is a failed start, as under Windows: Run
// answers 0 and no process is held.
TEST_F(ProcessClassTest, AProgramThatCannotStartAnswersZero) {
    for (const char* command : {"tw-no-such-program --version", "/no/such/folder/program", "", "  "}) {
        CIBaseClassImpl* p = New(kClassProcess, {command, 0});
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(Int(p, kRun), 0) << command;
        EXPECT_EQ(Int(p, kIsProcessRunning), 0) << command;
        EXPECT_EQ(Int(p, kGetExitCode), 0) << command;
    }
}

// Quotes group the words of the command line; the program gets them as they are.
TEST_F(ProcessClassTest, QuotedWordsReachTheProgramWhole) {
    CIBaseClassImpl* p = New(kClassProcess, {"sh -c 'test \"$1\" = \"a b\" && exit 5' zero \"a b\""});
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(WaitForEnd(p), 5);
}

TEST_F(ProcessClassTest, TerminateEndsTheProcessWithTheCode) {
    CIBaseClassImpl* p = New(kClassProcess, {"sleep 5"});
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(Int(p, kIsProcessRunning), 1);
    Call(p, kTerminate, {7});
    EXPECT_EQ(WaitForEnd(p), 7);
}

TEST_F(ProcessClassTest, RestartStartsTheCommandAgainAfterTheOldProcessQuits) {
    CIBaseClassImpl* p = New(kClassProcess, {"sleep 5", 0});
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(Int(p, kRestart), 1);  // nothing held: just starts
    EXPECT_EQ(Int(p, kIsProcessRunning), 1);
    Call(p, kSetCommandLine, {"sh -c \"exit 9\""});
    EXPECT_EQ(Int(p, kRestart, {2}), 1);
    EXPECT_EQ(WaitForEnd(p), 9);
}

// A process that ignores the quit request: Restart waits for it while the
// program's own queue and tick keep being served, and never without limit.
TEST_F(ProcessClassTest, RestartKeepsPumpingWhileTheOldProcessHangsOn) {
    CIBaseClassImpl* p = New(kClassProcess, {"sh -c \"trap '' TERM; sleep 30\""});
    ASSERT_NE(p, nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the trap is set

    // The quit message of the program's own queue ends the wait at once.
    ASSERT_TRUE(OsPostThreadMessage(kOsMessageQuit, 0, 0));
    uint32_t start = OsTimeMs();
    EXPECT_EQ(Int(p, kRestart), 0);
    EXPECT_LT(OsTimeMs() - start, 2000u);
    EXPECT_EQ(Int(p, kIsProcessRunning), 1);  // the old process is still held

    // The tick runs too: an error that became due meanwhile is raised.
    m_interp.m_pendingError = 77;
    EXPECT_EQ(ErrorOf(p, kRestart), 77);

    // Without either, the wait gives up after its limit.
    start = OsTimeMs();
    EXPECT_EQ(Int(p, kRestart), 0);
    const uint32_t waited = OsTimeMs() - start;
    EXPECT_GE(waited, CChildProcess::kRestartWaitMs - 100);
    EXPECT_LT(waited, CChildProcess::kRestartWaitMs + 2000);
    Call(p, kTerminate, {1});
    EXPECT_EQ(WaitForEnd(p), 1);
}

}  // namespace
