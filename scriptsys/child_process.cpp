#include "scriptsys/child_process.h"

#include <chrono>

bool CChildProcess::Run() {
    if (HasProcess()) return false;
    return OsStartProcess(m_commandLine.c_str(), &m_process, &m_threadId);
}

bool CChildProcess::IsRunning() const {
    uint32_t code = 0;
    return HasProcess() && OsGetProcessExitCode(m_process, &code) && code == kProcessStillActive;
}

uint32_t CChildProcess::GetExitCode() const {
    uint32_t code = 0;
    if (!HasProcess() || !OsGetProcessExitCode(m_process, &code)) return 0;
    return code;
}

void CChildProcess::SendQuit(int32_t exitCode) {
    if (HasProcess()) OsPostQuitToThread(m_threadId, exitCode);
}

void CChildProcess::Terminate(int32_t exitCode) {
    if (HasProcess()) OsTerminateProcess(m_process, static_cast<uint32_t>(exitCode));
}

bool CChildProcess::Restart(int32_t exitCode, uint32_t limitMs, const std::function<bool(uint32_t)>& wait) {
    if (HasProcess()) {
        OsPostQuitToThread(m_threadId, exitCode);
        const auto start = std::chrono::steady_clock::now();
        const auto limit = std::chrono::milliseconds(limitMs);
        for (;;) {
            uint32_t code = 0;
            if (!OsGetProcessExitCode(m_process, &code) || code != kProcessStillActive) break;
            if (std::chrono::steady_clock::now() - start >= limit) return false;
            if (wait && wait(10)) return false;
        }
        Release();
    }
    return Run();
}

void CChildProcess::Release() {
    OsCloseProcess(m_process);
    m_process = kNoProcess;
    m_threadId = 0;
}
