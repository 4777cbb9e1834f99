#pragma once
// The child process of a Process script object: its command line, the process
// handle and the id of its main thread.
#include "scriptsys/os_process.h"

#include <cstdint>
#include <functional>
#include <string>

class CChildProcess {
public:
    // How long Restart waits for the old process to end.
    static constexpr uint32_t kRestartWaitMs = 5000;

    CChildProcess() = default;
    ~CChildProcess() { Release(); }
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    void SetCommandLine(const char* text) { m_commandLine.assign(text ? text : ""); }
    const std::string& GetCommandLine() const { return m_commandLine; }
    bool HasProcess() const { return m_process != kNoProcess; }

    // Starts the command line; false while a process is held or when the
    // start fails.
    bool Run();
    // True while the held process runs.
    bool IsRunning() const;
    // The exit code of the held process (kProcessStillActive while it runs),
    // 0 without a process or when the query fails.
    uint32_t GetExitCode() const;
    void SendQuit(int32_t exitCode);
    // Ends the process; the handle stays held (its exit code can be read).
    void Terminate(int32_t exitCode);
    // Asks the process to quit with the exit code and waits for its end, at
    // most limitMs, calling wait(ms) between the checks so that the caller can
    // keep its windows alive (wait answers true to give up at once). When the
    // process has ended, the handle is closed and the command line started
    // again: true when it started. False when the process did not end in
    // time (it stays held) or the new start failed.
    bool Restart(int32_t exitCode, uint32_t limitMs, const std::function<bool(uint32_t)>& wait);
    // Closes the handle (the process itself goes on).
    void Release();

private:
    std::string m_commandLine;
    ProcessHandle m_process = kNoProcess;
    uint32_t m_threadId = 0;
};
