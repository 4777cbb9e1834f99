// The script-class API over the interpreter: what runtime/classes/script_class.h
// promises a native class, answered by the running interpreter.
#include "runtime/classes/script_class.h"

#include "runtime/interp/interpretor.h"

CClassRecord* ClassRecordOf(CInterpretor* in, uint32_t classId) { return in ? in->GetClassRecord(classId) : nullptr; }
int32_t CountInstances(CInterpretor* in, uint32_t classId) { return in->CountInstances(classId); }

int32_t GetArgCount(CInterpretor* in) { return in->GetArgCount(); }
CValue* GetArg(CInterpretor* in, int32_t i) { return in->GetArg(i); }
bool IsArgDefault(CInterpretor* in, int32_t i) { return in->IsArgDefault(i) != 0; }
int32_t GetArgInt(CInterpretor* in, int32_t i) { return in->GetArgInt(i); }
double GetArgDouble(CInterpretor* in, int32_t i) { return in->GetArgDouble(i); }
float GetArgFloat(CInterpretor* in, int32_t i) { return in->GetArgFloat(i); }
const char* GetArgString(CInterpretor* in, int32_t i) { return in->GetArgString(i); }
const char* ArgTextOrNull(CInterpretor* in, int32_t i) { return in->IsArgDefault(i) ? nullptr : in->GetArgString(i); }
CIBaseClassImpl* GetArgObject(CInterpretor* in, int32_t i) { return in->GetArgObject(i); }
CIBaseClassImpl* GetArgObjectOfClass(CInterpretor* in, int32_t i, uint32_t classId) {
    return in->GetArgObjectOfClass(i, classId);
}
uint16_t GetCurrentMemberId(CInterpretor* in) { return in->GetCurrentMemberId(); }
CValue* Result(CInterpretor* in) { return in->Result(); }
void RaiseError(CInterpretor* in, int32_t code, int32_t detail) { in->RaiseError(code, detail); }

CFunctionRecord* ReadAssignedFunction(CInterpretor* in) { return in->ReadAssignedFunction(); }
void PostEvent(CInterpretor* in, CFunctionRecord* handler, const CValue* const* args, int count) {
    const CValue* a[CEventRecord::kMaxArgs] = {};
    for (int i = 0; i < count && i < CEventRecord::kMaxArgs; ++i)
        a[i] = args[i];
    in->PostEvent(handler, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
}
void SetScriptErrorHandler(CInterpretor* in, CFunctionRecord* handler, ScriptErrorLogger logger, void* context) {
    in->SetScriptErrorHandler(handler, logger, context);
}

int32_t Wait(CInterpretor* in, uint32_t ms) { return in->Wait(ms); }
int32_t WaitUnlessInCall(CInterpretor* in, uint32_t ms) { return in->WaitUnlessInCall(ms); }
void CollectGarbage(CInterpretor* in) { in->CollectGarbage(); }

CProgramState& ProgramState(CInterpretor* in) { return in->m_programState; }
CProgramContainer* PackageOf(CInterpretor* in) { return in ? in->GetProgramContainer() : nullptr; }
const CRunner* RunnerOf(CInterpretor* in) { return in ? in->m_runner : nullptr; }

CIBaseClassImpl* GetCurrentWindow(CInterpretor* in) { return in->m_currentWindow; }
void SetCurrentWindow(CInterpretor* in, CIBaseClassImpl* window) { in->m_currentWindow = window; }
void PostEventCoalesced(CInterpretor* in, CFunctionRecord* handler, const void* target, const CValue* const* args,
                        int count) {
    const CValue* a[CEventRecord::kMaxArgs] = {};
    for (int i = 0; i < count && i < CEventRecord::kMaxArgs; ++i)
        a[i] = args[i];
    in->PostEventCoalesced(handler, target, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
}
void RequestRefresh(CInterpretor* in) { in->RequestRefresh(); }
void RunTick(CInterpretor* in) { in->Tick(); }
void KeepPendingError(CInterpretor* in, const CIError& error) {
    try {
        if (in->HandleHandlerError(error))
            return;
    } catch (const CIError& posting) {
        if (in->m_pendingError < 0)
            in->m_pendingError = posting.code;
        return;
    }
    if (in->m_pendingError < 0)
        in->m_pendingError = error.code;
}
void DeleteScriptObject(CInterpretor* in, CIBaseClassImpl* object) { in->DeleteObject(object); }
void EndIfNoWindows(CInterpretor* in) { in->EndIfNoWindows(); }
bool IsReleasingAll(CInterpretor* in) { return in->m_releaseAll != 0; }
uint32_t DefaultWindowColour(CInterpretor* in) { return in->m_packageSettings[1]; }
CRunner* WindowRunnerOf(CInterpretor* in) { return in ? in->m_runner : nullptr; }
