// Native stand-in of child processes: the command line runs under /bin/sh;
// the handle and the "thread id" are the process id. A quit message becomes
// SIGTERM and a termination SIGKILL; a process ended by either reports the
// exit code that went with it, as a Windows program leaving its message loop
// would.
#include "scriptsys/os_process.h"

#include <csignal>
#include <map>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

struct Child {
    bool reaped = false;
    uint32_t code = 0;
    bool codeGiven = false;  // the exit code of a quit or termination request
    uint32_t givenCode = 0;
};

std::map<pid_t, Child>& Children() {
    static std::map<pid_t, Child> children;
    return children;
}

Child* Find(ProcessHandle process) {
    auto it = Children().find(static_cast<pid_t>(process));
    return it == Children().end() ? nullptr : &it->second;
}

}  // namespace

bool OsStartProcess(const char* commandLine, ProcessHandle* process, uint32_t* threadId) {
    *process = kNoProcess;
    *threadId = 0;
    char sh[] = "/bin/sh";
    char dashC[] = "-c";
    char* argv[] = {sh, dashC, const_cast<char*>(commandLine ? commandLine : ""), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, sh, nullptr, nullptr, argv, environ) != 0) return false;
    Children()[pid] = Child();
    *process = pid;
    *threadId = static_cast<uint32_t>(pid);
    return true;
}

bool OsGetProcessExitCode(ProcessHandle process, uint32_t* code) {
    Child* child = Find(process);
    if (!child) return false;
    if (!child->reaped) {
        int status = 0;
        pid_t r = waitpid(static_cast<pid_t>(process), &status, WNOHANG);
        if (r < 0) return false;
        if (r == 0) {
            *code = kProcessStillActive;
            return true;
        }
        child->reaped = true;
        if (WIFEXITED(status))
            child->code = static_cast<uint32_t>(WEXITSTATUS(status));
        else
            child->code = child->codeGiven ? child->givenCode : 128u + static_cast<uint32_t>(WTERMSIG(status));
    }
    *code = child->code;
    return true;
}

static bool Signal(ProcessHandle process, int signal, uint32_t code) {
    Child* child = Find(process);
    if (!child || child->reaped) return false;
    child->codeGiven = true;
    child->givenCode = code;
    return kill(static_cast<pid_t>(process), signal) == 0;
}

bool OsPostQuitToThread(uint32_t threadId, int32_t exitCode) {
    return Signal(static_cast<ProcessHandle>(threadId), SIGTERM, static_cast<uint32_t>(exitCode));
}

bool OsTerminateProcess(ProcessHandle process, uint32_t exitCode) {
    return Signal(process, SIGKILL, exitCode);
}

void OsCloseProcess(ProcessHandle process) {
    Child* child = Find(process);
    if (!child) return;
    if (!child->reaped) {
        int status = 0;
        waitpid(static_cast<pid_t>(process), &status, WNOHANG);
    }
    Children().erase(static_cast<pid_t>(process));
}
