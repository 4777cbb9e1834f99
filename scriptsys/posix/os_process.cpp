// Native stand-in of child processes: the first word of the command line is
// the program, the others its arguments (blank-separated, quotes group); the
// handle and the "thread id" are the process id. A quit message becomes
// SIGTERM and a termination SIGKILL; a process ended by either reports the
// exit code that went with it, as a Windows program leaving its message loop
// would.
#include "scriptsys/os_process.h"

#include "runtime/base/command_tokens.h"

#include <csignal>
#include <cstring>
#include <map>
#include <string>
#include <vector>
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

// The words of a command line, split as the script's command-line tokens are.
std::vector<std::string> CommandWords(const char* commandLine) {
    std::vector<std::string> words;
    const int count = CountTokens(commandLine);
    std::vector<char> word(std::strlen(commandLine ? commandLine : "") + 1);
    for (int i = 0; i < count; ++i) {
        GetQuotedToken(word.data(), static_cast<int>(word.size()), commandLine, i);
        words.emplace_back(word.data());
    }
    return words;
}

Child* Find(ProcessHandle process) {
    auto it = Children().find(static_cast<pid_t>(process));
    return it == Children().end() ? nullptr : &it->second;
}

}  // namespace

bool OsStartProcess(const char* commandLine, ProcessHandle* process, uint32_t* threadId) {
    *process = kNoProcess;
    *threadId = 0;
    // The program is started directly, found along PATH as Windows finds it,
    // so that a program that cannot be started is a failed start (glibc's
    // posix_spawnp reports a failed exec) and not a shell that says "not found".
    const std::vector<std::string> words = CommandWords(commandLine);
    if (words.empty()) return false;
    std::vector<char*> argv;
    for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
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
