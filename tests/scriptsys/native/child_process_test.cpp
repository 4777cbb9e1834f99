#include "scriptsys/child_process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

bool Sleep(uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return false;
}

uint32_t WaitForEnd(CChildProcess& p) {
    for (int i = 0; i < 500 && p.IsRunning(); ++i) Sleep(10);
    return p.GetExitCode();
}

}  // namespace

TEST(ChildProcess, RunWatchAndExitCode) {
    CChildProcess p;
    EXPECT_EQ(p.GetExitCode(), 0u);  // no process
    EXPECT_FALSE(p.IsRunning());
    p.SetCommandLine("sh -c \"sleep 0.2; exit 3\"");
    ASSERT_TRUE(p.Run());
    EXPECT_TRUE(p.IsRunning());
    EXPECT_EQ(p.GetExitCode(), kProcessStillActive);
    EXPECT_FALSE(p.Run());  // a process is held
    EXPECT_EQ(WaitForEnd(p), 3u);
    EXPECT_FALSE(p.Run());  // still held after its end
    p.Release();
    EXPECT_TRUE(p.Run());
}

TEST(ChildProcess, QuitAndTerminateCarryTheirCodes) {
    CChildProcess p;
    p.SetCommandLine("sleep 5");
    ASSERT_TRUE(p.Run());
    p.SendQuit(12);
    EXPECT_EQ(WaitForEnd(p), 12u);
    p.Release();
    ASSERT_TRUE(p.Run());
    p.Terminate(9);
    EXPECT_EQ(WaitForEnd(p), 9u);
    EXPECT_TRUE(p.HasProcess());
}

TEST(ChildProcess, RestartWaitsBoundedAndStartsAgain) {
    CChildProcess p;
    p.SetCommandLine("sleep 5");
    ASSERT_TRUE(p.Run());
    int waits = 0;
    EXPECT_TRUE(p.Restart(0, 2000, [&](uint32_t ms) { ++waits; return Sleep(ms); }));
    EXPECT_TRUE(p.IsRunning());  // the new process
    p.Terminate(0);
    WaitForEnd(p);

    // A process that ignores the request is left alone after the limit.
    p.Release();
    p.SetCommandLine("sh -c \"trap '' TERM; sleep 5\"");
    ASSERT_TRUE(p.Run());
    Sleep(100);  // let the shell set its trap
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(p.Restart(0, 300, Sleep));
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::milliseconds(2000));
    EXPECT_TRUE(p.IsRunning());
    // Giving up at the caller's word ends the wait at once.
    EXPECT_FALSE(p.Restart(0, 60000, [](uint32_t) { return true; }));
    p.Terminate(0);
    WaitForEnd(p);
}
