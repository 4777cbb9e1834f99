#include "scriptsys/ci_process.h"

#include "runtime/class_registry.h"
#include "runtime/interpretor.h"
#include "runtime/script_value.h"
#include "scriptsys/script_class_support.h"

CIProcess::CIProcess(CInterpretor* interpretor)
    : CIBaseClassImpl(interpretor, ClassRecordOf(interpretor, kClassProcess), kClassProcess, true) {}

void CIProcess::Destroy(int32_t) {
    m_child.Release();
    UnlinkFromClassList();
    delete this;
}

void CIProcess::CallMember(int32_t memberId) {
    static const CDispatchEntry<CIProcess> kHandlers[] = {
        {1, &CIProcess::SetCommandLine},
        {2, &CIProcess::GetCommandLine},
        {3, &CIProcess::Restart},
        {4, &CIProcess::Run},
        {5, &CIProcess::IsProcessRunning},
        {6, &CIProcess::GetExitCode},
        {7, &CIProcess::SendQuitMessage},
        {8, &CIProcess::Terminate},
    };
    DispatchMember(this, kHandlers, memberId);
}

void CIProcess::ConstructFromArgs() {
    const int32_t count = m_interpretor->GetArgCount();
    if (count >= 1 && !m_interpretor->IsArgDefault(0)) m_child.SetCommandLine(m_interpretor->GetArgString(0));
    int32_t run = 1;
    if (count >= 2 && !m_interpretor->IsArgDefault(1)) {
        run = m_interpretor->GetArgInt(1);
        if (run != 0 && run != 1) m_interpretor->RaiseError(14, CIError::kNoDetail);
    }
    if (run == 1 && count >= 1) m_child.Run();
    AssignInstanceNumber();
}

int32_t CIProcess::ExitCodeArgument() {
    return m_interpretor->IsArgDefault(0) ? 0 : m_interpretor->GetArgInt(0);
}

int32_t CIProcess::SetCommandLine() { m_child.SetCommandLine(ArgTextOrNull(m_interpretor, 0)); return 0; }

int32_t CIProcess::GetCommandLine() { m_interpretor->Result()->SetString(m_child.GetCommandLine().c_str(), 0); return 0; }

int32_t CIProcess::Run() { m_interpretor->Result()->SetInt(m_child.Run() ? 1 : 0); return 0; }

int32_t CIProcess::Restart() {
    // The old process gets a bounded time to end while the program's own
    // windows keep being served; the quit message gives up at once.
    CInterpretor* interpretor = m_interpretor;
    const bool started = m_child.Restart(ExitCodeArgument(), CChildProcess::kRestartWaitMs,
                                         [interpretor](uint32_t ms) { return interpretor->Wait(ms) != 0; });
    m_interpretor->Result()->SetInt(started ? 1 : 0);
    return 0;
}

int32_t CIProcess::IsProcessRunning() { m_interpretor->Result()->SetInt(m_child.IsRunning() ? 1 : 0); return 0; }

int32_t CIProcess::GetExitCode() { m_interpretor->Result()->SetInt(static_cast<int32_t>(m_child.GetExitCode())); return 0; }

int32_t CIProcess::SendQuitMessage() { m_child.SendQuit(ExitCodeArgument()); return 0; }

int32_t CIProcess::Terminate() { m_child.Terminate(ExitCodeArgument()); return 0; }
