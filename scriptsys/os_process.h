#pragma once
// Child processes of the process script class.
#include <cstdint>

typedef intptr_t ProcessHandle;
const ProcessHandle kNoProcess = 0;

// The exit code a process reports while it still runs.
constexpr uint32_t kProcessStillActive = 259;

// Starts the command line as a new process (no separate program name, handles
// inherited, normal priority, the caller's environment, folder and start-up
// settings). True with the process handle and the id of its main thread.
bool OsStartProcess(const char* commandLine, ProcessHandle* process, uint32_t* threadId);
// The exit code, kProcessStillActive while the process runs; false when the
// query fails.
bool OsGetProcessExitCode(ProcessHandle process, uint32_t* code);
// Posts the quit message carrying the exit code to a thread's queue; false
// when it cannot be posted (no such thread, or a thread without a queue).
bool OsPostQuitToThread(uint32_t threadId, int32_t exitCode);
// Ends the process with the exit code; false when refused.
bool OsTerminateProcess(ProcessHandle process, uint32_t exitCode);
void OsCloseProcess(ProcessHandle process);
