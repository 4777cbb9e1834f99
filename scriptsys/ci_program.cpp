#include "scriptsys/ci_program.h"
#include "scriptsys/ci_program_members.h"

#include "runtime/classes/class_registry.h"
#include "runtime/base/command_tokens.h"
#include "runtime/classes/script_class.h"
#include "runtime/base/number_text.h"
#include "runtime/package/os_module.h"
#include "runtime/runner/runner.h"
#include "runtime/interp/script_array.h"
#include "runtime/interp/script_value.h"
#include "scriptsys/os_library.h"
#include "runtime/classes/script_class.h"
#include "scriptsys/string_bank_text.h"

#include <cstring>
#include <string>

CIProgram::CIProgram(CInterpretor* interpretor)
    : CIBaseClassImpl(interpretor, ClassRecordOf(interpretor, kClassProgram), kClassProgram, true) {}

void CIProgram::Destroy(int32_t) {
    if (m_errorHandler) SetScriptErrorHandler(m_interpretor, nullptr);
    UnlinkFromClassList();
    delete this;
}

void CIProgram::CallMember(int32_t memberId) {
    static const CDispatchEntry<CIProgram> kHandlers[] = {
        TW_MEMBER(Program, Restart),
        TW_MEMBER(Program, GetCommandLine),
        TW_MEMBER(Program, GetArgument),
        TW_MEMBER(Program, Wait),
        {kProgramSysDebug, &CIProgram::DoNothing},  // SysDebug
        TW_MEMBER(Program, IsDebug),
        TW_MEMBER(Program, IsRelease),
        {kProgramIsScreenSaver, &CIProgram::AnswerZero},  // IsScreenSaver
        {kProgramIsApplication, &CIProgram::AnswerOne},   // IsApplication
        TW_MEMBER(Program, GetNArguments),
        {kProgramIsStandAlone, &CIProgram::AnswerOne},  // IsStandAlone
        TW_MEMBER(Program, End),
        TW_MEMBER(Program, GetChar),
        TW_MEMBER(Program, GetString),
        TW_MEMBER(Program, Flush),
        TW_MEMBER(Program, SetFlush),
        TW_MEMBER(Program, GetRGB),
        TW_MEMBER(Program, GetRed),
        TW_MEMBER(Program, GetGreen),
        TW_MEMBER(Program, GetBlue),
        TW_MEMBER(Program, GetDefaultGameInput),
        TW_MEMBER(Program, IsScreenSaverSetupDialog),
        TW_MEMBER(Program, IsScreenSaverControlPanel),
        {kProgramIsEditorMode, &CIProgram::AnswerZero},  // IsEditorMode
        TW_MEMBER(Program, IsDirectSound3DUsed),
        TW_MEMBER(Program, IsDirectSound3DEnabled),
        TW_MEMBER(Program, EnableDirectSound3D),
        TW_MEMBER(Program, DisableDirectSound3D),
        TW_MEMBER(Program, LoadString),
        {kProgramDebugBreak, &CIProgram::DoNothing},  // DebugBreak
        TW_MEMBER(Program, FillArray),
        TW_MEMBER(Program, IsArray),
        TW_MEMBER(Program, IsDefaultValue),
        TW_MEMBER(Program, IsString),
        TW_MEMBER(Program, IsNumber),
        TW_MEMBER(Program, IsInteger),
        TW_MEMBER(Program, IsFloat),
        TW_MEMBER(Program, IsObject),
        TW_MEMBER(Program, IsFunction),
        TW_MEMBER(Program, GetArrayDimensionCount),
        TW_MEMBER(Program, GetArrayDimensionSize),
        {kProgramAddToDebugger, &CIProgram::DoNothing},  // AddToDebugger
        {kProgramRemoveFromDebugger, &CIProgram::DoNothing},  // RemoveFromDebugger
        TW_MEMBER(Program, DisableEvents),
        TW_MEMBER(Program, EnableEvents),
        TW_MEMBER(Program, EventsEnabled),
        TW_MEMBER(Program, OnError),
        TW_MEMBER(Program, GetLastError),
        TW_MEMBER(Program, GetErrorMessage),
        // This runtime carries no QuickTime, QuickTime VR or speech engine.
        {kProgramIsQuickTimeInstalled, &CIProgram::AnswerZero},  // IsQuickTimeInstalled
        TW_MEMBER(Program, IsModPlugInstalled),
        {kProgramIsSpeechInstalled, &CIProgram::AnswerZero},  // IsSpeechInstalled
        {kProgramIsQuickTimeVRInstalled, &CIProgram::AnswerZero},  // IsQuickTimeVRInstalled
        TW_MEMBER(Program, GetAscii),
        TW_MEMBER(Program, GetApplicationDirectory),
    };
    DispatchMember(this, kHandlers, memberId);
}

void CIProgram::ResultInt(int32_t value) { Result(m_interpretor)->SetInt(value); }

int32_t CIProgram::DoNothing() { return 0; }
int32_t CIProgram::AnswerZero() { ResultInt(0); return 0; }
int32_t CIProgram::AnswerOne() { ResultInt(1); return 0; }

// ---- running ----

int32_t CIProgram::Restart() { RaiseError(m_interpretor, 1); }
int32_t CIProgram::End() { RaiseError(m_interpretor, 0); }

int32_t CIProgram::Wait() {
    if (ProgramState(m_interpretor).noWait) RaiseError(m_interpretor, 84);
    const int32_t ms = IsArgDefault(m_interpretor, 0) ? 20 : GetArgInt(m_interpretor, 0);
    if (ms > 0) WaitUnlessInCall(m_interpretor, static_cast<uint32_t>(ms));
    return 0;
}

int32_t CIProgram::IsDebug() { ResultInt(ProgramState(m_interpretor).releaseBuild ? 0 : 1); return 0; }
int32_t CIProgram::IsRelease() { ResultInt(ProgramState(m_interpretor).releaseBuild ? 1 : 0); return 0; }

int32_t CIProgram::Flush() {
    CollectGarbage(m_interpretor);
    return 0;
}

int32_t CIProgram::SetFlush() {
    const int32_t n = GetArgInt(m_interpretor, 0);
    if (IsArgDefault(m_interpretor, 0) || n <= 0) RaiseError(m_interpretor, 14);
    ProgramState(m_interpretor).collectionThreshold = n;
    return 0;
}

// ---- command line ----

int32_t CIProgram::GetCommandLine() {
    Result(m_interpretor)->SetString(ProgramState(m_interpretor).commandLine.c_str(), 0);
    return 0;
}

int32_t CIProgram::GetArgument() {
    char token[256] = {};
    const int32_t index = GetArgInt(m_interpretor, 0);
    if (index >= 0) GetQuotedToken(token, sizeof token, ProgramState(m_interpretor).commandLine.c_str(), index);
    Result(m_interpretor)->SetString(token, 0);
    return 0;
}

int32_t CIProgram::GetNArguments() {
    ResultInt(CountTokens(ProgramState(m_interpretor).commandLine.c_str()));
    return 0;
}

int32_t CIProgram::GetApplicationDirectory() {
    char path[1024] = {};
    OsGetProgramFileName(path, sizeof path);
    char* cut = std::strrchr(path, '\\');
    if (char* slash = std::strrchr(path, '/'); slash && (!cut || slash > cut)) cut = slash;
    if (cut) cut[1] = 0;
    else path[0] = 0;
    Result(m_interpretor)->SetString(path, 0);
    return 0;
}

// ---- texts and colours ----

int32_t CIProgram::GetChar() {
    const int32_t code = GetArgInt(m_interpretor, 0);
    if (code < 1 || code > 255) RaiseError(m_interpretor, 14);
    const char text[2] = {static_cast<char>(code), 0};
    Result(m_interpretor)->SetString(text, 0);
    return 0;
}

int32_t CIProgram::GetString() {
    char text[40];
    tw::FormatDouble(text, sizeof text, GetArgDouble(m_interpretor, 0));
    Result(m_interpretor)->SetString(text, 0);
    return 0;
}

int32_t CIProgram::GetAscii() {
    const char* text = ArgTextOrNull(m_interpretor, 0);
    ResultInt(text ? static_cast<signed char>(text[0]) : 0);
    return 0;
}

int32_t CIProgram::GetRGB() {
    // An omitted part reads as 0x80000000, whose low byte is 0.
    const int32_t r = GetArgInt(m_interpretor, 0) & 255;
    const int32_t g = GetArgInt(m_interpretor, 1) & 255;
    const int32_t b = GetArgInt(m_interpretor, 2) & 255;
    ResultInt(r * 65536 + g * 256 + b);
    return 0;
}

int32_t CIProgram::GetRed() { ResultInt((GetArgInt(m_interpretor, 0) >> 16) & 255); return 0; }
int32_t CIProgram::GetGreen() { ResultInt((GetArgInt(m_interpretor, 0) >> 8) & 255); return 0; }
int32_t CIProgram::GetBlue() { ResultInt(GetArgInt(m_interpretor, 0) & 255); return 0; }

int32_t CIProgram::LoadString() {
    std::string text;
    if (!ReadStringElement(PackageOf(m_interpretor), GetArg(m_interpretor, 0), &text)) RaiseError(m_interpretor, 79);
    Result(m_interpretor)->SetString(text.c_str(), 0);
    return 0;
}

// ---- values and arrays ----

CScriptArray* CIProgram::ArrayArgument() {
    CScriptArray* array = GetArg(m_interpretor, 0)->GetArray();
    if (!array) RaiseError(m_interpretor, 46);
    return array;
}

int32_t CIProgram::FillArray() {
    CValue* holder = GetArg(m_interpretor, 0);
    CScriptArray* array = ArrayArgument();
    const CValue* value = GetArg(m_interpretor, 1);
    const uint32_t cells = array->GetCellCount();
    for (uint32_t i = 0; i < cells; ++i) holder->SetArrayCell(i, *value);
    return 0;
}

int32_t CIProgram::IsArray() { ResultInt(GetArg(m_interpretor, 0)->GetTag() == CValue::kArray); return 0; }
int32_t CIProgram::IsDefaultValue() { ResultInt(IsArgDefault(m_interpretor, 0) ? 1 : 0); return 0; }
int32_t CIProgram::IsString() { ResultInt(GetArg(m_interpretor, 0)->GetTag() == CValue::kText); return 0; }
int32_t CIProgram::IsInteger() { ResultInt(GetArg(m_interpretor, 0)->GetTag() == CValue::kInt); return 0; }
int32_t CIProgram::IsFloat() { ResultInt(GetArg(m_interpretor, 0)->GetTag() == CValue::kDouble); return 0; }
int32_t CIProgram::IsFunction() { ResultInt(GetArg(m_interpretor, 0)->GetTag() == CValue::kFunction); return 0; }

int32_t CIProgram::IsNumber() {
    const uint32_t tag = GetArg(m_interpretor, 0)->GetTag();
    ResultInt(tag == CValue::kInt || tag == CValue::kDouble);
    return 0;
}

int32_t CIProgram::IsObject() {
    const CValue* arg = GetArg(m_interpretor, 0);
    CIBaseClassImpl* object = arg->GetTag() == CValue::kObject ? arg->GetObject() : nullptr;
    if (!object) {
        ResultInt(0);
        return 0;
    }
    const char* wanted = ArgTextOrNull(m_interpretor, 1);
    if (!wanted) {
        ResultInt(1);
        return 0;
    }
    const char* name = object->m_classRecord ? object->m_classRecord->name.c_str() : GetScriptClassName(object->m_classId);
    ResultInt(name && std::strcmp(name, wanted) == 0);
    return 0;
}

int32_t CIProgram::GetArrayDimensionCount() {
    ResultInt(ArrayArgument()->m_dimensionCount);
    return 0;
}

int32_t CIProgram::GetArrayDimensionSize() {
    CScriptArray* array = ArrayArgument();
    int32_t dimension = 0;
    if (IsArgDefault(m_interpretor, 1)) {
        if (array->m_dimensionCount != 1) RaiseError(m_interpretor, 21);
    } else {
        dimension = GetArgInt(m_interpretor, 1);
        if (dimension < 0 || dimension >= array->m_dimensionCount) RaiseError(m_interpretor, 45);
    }
    ResultInt(static_cast<int32_t>(array->m_sizes[dimension]));
    return 0;
}

// ---- events and errors ----

int32_t CIProgram::DisableEvents() { ProgramState(m_interpretor).eventsEnabled = 0; return 0; }
int32_t CIProgram::EnableEvents() { ProgramState(m_interpretor).eventsEnabled = 1; return 0; }
int32_t CIProgram::EventsEnabled() { ResultInt(ProgramState(m_interpretor).eventsEnabled); return 0; }

void CIProgram::LogError(void* context, const CIError& error, const char* message) {
    static_cast<CIProgram*>(context)->SetLastError(error, message);
}

int32_t CIProgram::OnError() {
    m_errorHandler = ReadAssignedFunction(m_interpretor);
    SetScriptErrorHandler(m_interpretor, m_errorHandler, m_errorHandler ? &CIProgram::LogError : nullptr,
                                         m_errorHandler ? this : nullptr);
    return 0;
}

int32_t CIProgram::GetLastError() {
    ResultInt(m_lastError.code);
    m_lastError.Clear();
    return 0;
}

int32_t CIProgram::GetErrorMessage() {
    const std::string text = IsArgDefault(m_interpretor, 0) ? std::string()
                                                            : ErrorCodeMessage(GetArgInt(m_interpretor, 0));
    Result(m_interpretor)->SetString(text.c_str(), 0);
    return 0;
}

// ---- platform components ----

int32_t CIProgram::GetDefaultGameInput() {
    CIBaseClassImpl* input = ProgramState(m_interpretor).gameInput;
    if (!input) RaiseError(m_interpretor, 91);
    Result(m_interpretor)->SetObject(input, 1);
    return 0;
}

int32_t CIProgram::IsScreenSaverSetupDialog() {
    const CRunner* runner = RunnerOf(m_interpretor);
    ResultInt(runner ? runner->m_setupMode : 0);
    return 0;
}

int32_t CIProgram::IsScreenSaverControlPanel() {
    const CRunner* runner = RunnerOf(m_interpretor);
    ResultInt(runner && runner->m_parentWindow && !runner->m_setupMode &&
              OsWindowSizeDiffersFromScreen(runner->m_parentWindow));
    return 0;
}

int32_t CIProgram::IsModPlugInstalled() { ResultInt(OsCanLoadLibrary("npmod32.dll") ? 1 : 0); return 0; }

int32_t CIProgram::IsDirectSound3DUsed() { ResultInt(ProgramState(m_interpretor).Sound3DUsed()); return 0; }
int32_t CIProgram::IsDirectSound3DEnabled() { ResultInt(ProgramState(m_interpretor).Sound3DRequested()); return 0; }

void CIProgram::SwitchSound3D(bool requested) {
    // Speakers hold 3D buffers made under the current setting.
    if (CountInstances(m_interpretor, kClassSpeaker) > 0) RaiseError(m_interpretor, 78);
    ProgramState(m_interpretor).SetSound3DRequested(requested ? 1 : 0);
}

int32_t CIProgram::EnableDirectSound3D() { SwitchSound3D(true); return 0; }
int32_t CIProgram::DisableDirectSound3D() { SwitchSound3D(false); return 0; }
