#pragma once
// CIProcess: the script class "Process", one child process that a script
// starts, watches, asks to quit, ends or restarts.
#include "runtime/interp/script_object.h"
#include "scriptsys/child_process.h"

class CIProcess : public CIBaseClassImpl {
public:
    explicit CIProcess(CInterpretor* interpretor);

    void CallMember(int32_t memberId) override;
    void Destroy(int32_t releaseAll) override;
    // new Process(command line, [run = 1], [ignored]); run must be 0 or 1
    // (runtime error 14).
    void ConstructFromArgs() override;

    CChildProcess& Child() { return m_child; }

private:
    int32_t SetCommandLine();
    int32_t GetCommandLine();
    int32_t Restart();
    int32_t Run();
    int32_t IsProcessRunning();
    int32_t GetExitCode();
    int32_t SendQuitMessage();
    int32_t Terminate();

    // The exit code argument; omitted: 0.
    int32_t ExitCodeArgument();

    CChildProcess m_child;
};
