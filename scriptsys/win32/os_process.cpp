#include "scriptsys/os_process.h"

#include <windows.h>

#include <cstring>
#include <vector>

bool OsStartProcess(const char* commandLine, ProcessHandle* process, uint32_t* threadId) {
    *process = kNoProcess;
    *threadId = 0;
    // CreateProcess may write into the command line: give it a copy.
    std::vector<char> line(commandLine ? commandLine : "", commandLine ? commandLine + std::strlen(commandLine) : nullptr);
    line.push_back(0);
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info;
    ZeroMemory(&info, sizeof info);
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                        &startup, &info))
        return false;
    CloseHandle(info.hThread);
    *process = reinterpret_cast<ProcessHandle>(info.hProcess);
    *threadId = info.dwThreadId;
    return true;
}

bool OsGetProcessExitCode(ProcessHandle process, uint32_t* code) {
    DWORD value = 0;
    if (process == kNoProcess || !GetExitCodeProcess(reinterpret_cast<HANDLE>(process), &value)) return false;
    *code = value;
    return true;
}

bool OsPostQuitToThread(uint32_t threadId, int32_t exitCode) {
    return threadId != 0 && PostThreadMessageA(threadId, WM_QUIT, static_cast<WPARAM>(exitCode), 0) != 0;
}

bool OsTerminateProcess(ProcessHandle process, uint32_t exitCode) {
    return process != kNoProcess && TerminateProcess(reinterpret_cast<HANDLE>(process), exitCode) != 0;
}

void OsCloseProcess(ProcessHandle process) {
    if (process != kNoProcess) CloseHandle(reinterpret_cast<HANDLE>(process));
}
