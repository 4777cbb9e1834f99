#include "scriptsys/child_process.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

bool Pause(uint32_t ms) {
    Sleep(ms);
    return false;
}

uint32_t WaitForEnd(CChildProcess& p) {
    for (int i = 0; i < 1000 && p.IsRunning(); ++i) Sleep(10);
    return p.GetExitCode();
}

// This test executable started again so that it runs only the message loop
// below, which ends with the code of the quit message.
// The child sets the event named by TW_CHILD_READY once its queue exists: a
// quit message posted before that would be lost, and a loaded machine can take
// seconds to start it.
constexpr char kReadyVariable[] = "TW_CHILD_READY";

HANDLE MakeReadyEvent() {
    const std::string name = "tw-child-ready-" + std::to_string(GetCurrentProcessId());
    SetEnvironmentVariableA(kReadyVariable, name.c_str());
    return CreateEventA(nullptr, TRUE, FALSE, name.c_str());
}

bool RunAndWaitForQueue(CChildProcess& p, HANDLE ready) {
    ResetEvent(ready);
    return p.Run() && WaitForSingleObject(ready, 60000) == WAIT_OBJECT_0;
}

std::string MessageLoopChild() {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    return std::string("\"") + self +
           "\" --gtest_also_run_disabled_tests --gtest_filter=ProcessChild.DISABLED_MessageLoop";
}

}  // namespace

TEST(ProcessChild, DISABLED_MessageLoop) {
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // make the queue
    char name[128] = {};
    if (GetEnvironmentVariableA(kReadyVariable, name, sizeof name) > 0)
        if (HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, name)) {
            SetEvent(ready);
            CloseHandle(ready);
        }
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    ExitProcess(static_cast<UINT>(msg.wParam));
}

TEST(ChildProcessWin, ExitCodeOfAProgram) {
    CChildProcess p;
    p.SetCommandLine("cmd.exe /c exit 3");
    ASSERT_TRUE(p.Run());
    EXPECT_FALSE(p.Run());
    EXPECT_EQ(WaitForEnd(p), 3u);
    p.Release();
    p.SetCommandLine("no-such-program-anywhere.exe");
    EXPECT_FALSE(p.Run());
    EXPECT_FALSE(p.HasProcess());
}

TEST(ChildProcessWin, QuitMessageAndRestart) {
    CChildProcess p;
    HANDLE ready = MakeReadyEvent();
    ASSERT_NE(ready, nullptr);
    p.SetCommandLine(MessageLoopChild().c_str());
    ASSERT_TRUE(RunAndWaitForQueue(p, ready));
    EXPECT_TRUE(p.IsRunning());
    p.SendQuit(21);
    EXPECT_EQ(WaitForEnd(p), 21u);

    p.Release();
    ASSERT_TRUE(RunAndWaitForQueue(p, ready));
    EXPECT_TRUE(p.Restart(5, 5000, Pause));
    EXPECT_TRUE(p.IsRunning());
    p.Terminate(4);
    EXPECT_EQ(WaitForEnd(p), 4u);
    CloseHandle(ready);
}

TEST(ChildProcessWin, RestartGivesUpOnAProcessWithoutQueue) {
    CChildProcess p;
    // A console program never reads a quit message.
    p.SetCommandLine("cmd.exe /c ping -n 30 127.0.0.1 >NUL");
    ASSERT_TRUE(p.Run());
    DWORD start = GetTickCount();
    EXPECT_FALSE(p.Restart(0, 500, Pause));
    EXPECT_LT(GetTickCount() - start, 3000u);
    EXPECT_TRUE(p.IsRunning());
    p.Terminate(0);
    WaitForEnd(p);
}
