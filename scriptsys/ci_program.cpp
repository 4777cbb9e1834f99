#include "scriptsys/ci_program.h"

#include "runtime/class_registry.h"
#include "runtime/command_tokens.h"
#include "runtime/interpretor.h"
#include "runtime/number_text.h"
#include "runtime/os_module.h"
#include "runtime/runner.h"
#include "runtime/script_array.h"
#include "runtime/script_value.h"
#include "scriptsys/os_library.h"
#include "scriptsys/script_class_support.h"
#include "scriptsys/string_bank_text.h"

#include <cstring>
#include <string>

CIProgram::CIProgram(CInterpretor* interpretor)
    : CIBaseClassImpl(interpretor, ClassRecordOf(interpretor, kClassProgram), kClassProgram, true) {}

void CIProgram::Destroy(int32_t) {
    if (m_errorHandler) m_interpretor->SetScriptErrorHandler(nullptr);
    UnlinkFromClassList();
    delete this;
}

void CIProgram::CallMember(int32_t memberId) {
    static const CDispatchEntry<CIProgram> kHandlers[] = {
        {1, &CIProgram::Restart},
        {2, &CIProgram::GetCommandLine},
        {3, &CIProgram::GetArgument},
        {4, &CIProgram::Wait},
        {5, &CIProgram::DoNothing},  // SysDebug
        {6, &CIProgram::IsDebug},
        {7, &CIProgram::IsRelease},
        {8, &CIProgram::AnswerZero},  // IsScreenSaver
        {9, &CIProgram::AnswerOne},   // IsApplication
        {10, &CIProgram::GetNArguments},
        {11, &CIProgram::AnswerOne},  // IsStandAlone
        {12, &CIProgram::End},
        {13, &CIProgram::GetChar},
        {14, &CIProgram::GetString},
        {15, &CIProgram::Flush},
        {16, &CIProgram::SetFlush},
        {17, &CIProgram::GetRGB},
        {18, &CIProgram::GetRed},
        {19, &CIProgram::GetGreen},
        {20, &CIProgram::GetBlue},
        {21, &CIProgram::GetDefaultGameInput},
        {22, &CIProgram::IsScreenSaverSetupDialog},
        {23, &CIProgram::IsScreenSaverControlPanel},
        {24, &CIProgram::AnswerZero},  // IsEditorMode
        {25, &CIProgram::IsDirectSound3DUsed},
        {26, &CIProgram::IsDirectSound3DEnabled},
        {27, &CIProgram::EnableDirectSound3D},
        {28, &CIProgram::DisableDirectSound3D},
        {29, &CIProgram::LoadString},
        {30, &CIProgram::DoNothing},  // DebugBreak
        {31, &CIProgram::FillArray},
        {32, &CIProgram::IsArray},
        {33, &CIProgram::IsDefaultValue},
        {34, &CIProgram::IsString},
        {35, &CIProgram::IsNumber},
        {36, &CIProgram::IsInteger},
        {37, &CIProgram::IsFloat},
        {38, &CIProgram::IsObject},
        {39, &CIProgram::IsFunction},
        {40, &CIProgram::GetArrayDimensionCount},
        {41, &CIProgram::GetArrayDimensionSize},
        {42, &CIProgram::DoNothing},  // AddToDebugger
        {43, &CIProgram::DoNothing},  // RemoveFromDebugger
        {44, &CIProgram::DisableEvents},
        {45, &CIProgram::EnableEvents},
        {46, &CIProgram::EventsEnabled},
        {47, &CIProgram::OnError},
        {48, &CIProgram::GetLastError},
        {49, &CIProgram::GetErrorMessage},
        // This runtime carries no QuickTime, QuickTime VR or speech engine.
        {50, &CIProgram::AnswerZero},  // IsQuickTimeInstalled
        {51, &CIProgram::IsModPlugInstalled},
        {52, &CIProgram::AnswerZero},  // IsSpeechInstalled
        {53, &CIProgram::AnswerZero},  // IsQuickTimeVRInstalled
        {54, &CIProgram::GetAscii},
        {55, &CIProgram::GetApplicationDirectory},
    };
    DispatchMember(this, kHandlers, memberId);
}

void CIProgram::ResultInt(int32_t value) { m_interpretor->Result()->SetInt(value); }

int32_t CIProgram::DoNothing() { return 0; }
int32_t CIProgram::AnswerZero() { ResultInt(0); return 0; }
int32_t CIProgram::AnswerOne() { ResultInt(1); return 0; }

// ---- running ----

int32_t CIProgram::Restart() { m_interpretor->RaiseError(1); }
int32_t CIProgram::End() { m_interpretor->RaiseError(0); }

int32_t CIProgram::Wait() {
    if (m_interpretor->m_noWait) m_interpretor->RaiseError(84);
    const int32_t ms = m_interpretor->IsArgDefault(0) ? 20 : m_interpretor->GetArgInt(0);
    if (ms > 0) m_interpretor->WaitUnlessInCall(static_cast<uint32_t>(ms));
    return 0;
}

int32_t CIProgram::IsDebug() { ResultInt(m_interpretor->m_releaseBuild ? 0 : 1); return 0; }
int32_t CIProgram::IsRelease() { ResultInt(m_interpretor->m_releaseBuild ? 1 : 0); return 0; }

int32_t CIProgram::Flush() {
    m_interpretor->CollectGarbage();
    return 0;
}

int32_t CIProgram::SetFlush() {
    const int32_t n = m_interpretor->GetArgInt(0);
    if (m_interpretor->IsArgDefault(0) || n <= 0) m_interpretor->RaiseError(14);
    m_interpretor->m_collectionThreshold = n;
    return 0;
}

// ---- command line ----

int32_t CIProgram::GetCommandLine() {
    m_interpretor->Result()->SetString(m_interpretor->m_commandLine.c_str(), 0);
    return 0;
}

int32_t CIProgram::GetArgument() {
    char token[256] = {};
    const int32_t index = m_interpretor->GetArgInt(0);
    if (index >= 0) GetQuotedToken(token, sizeof token, m_interpretor->m_commandLine.c_str(), index);
    m_interpretor->Result()->SetString(token, 0);
    return 0;
}

int32_t CIProgram::GetNArguments() {
    ResultInt(CountTokens(m_interpretor->m_commandLine.c_str()));
    return 0;
}

int32_t CIProgram::GetApplicationDirectory() {
    char path[1024] = {};
    OsGetProgramFileName(path, sizeof path);
    char* cut = std::strrchr(path, '\\');
    if (char* slash = std::strrchr(path, '/'); slash && (!cut || slash > cut)) cut = slash;
    if (cut) cut[1] = 0;
    else path[0] = 0;
    m_interpretor->Result()->SetString(path, 0);
    return 0;
}

// ---- texts and colours ----

int32_t CIProgram::GetChar() {
    const int32_t code = m_interpretor->GetArgInt(0);
    if (code < 1 || code > 255) m_interpretor->RaiseError(14);
    const char text[2] = {static_cast<char>(code), 0};
    m_interpretor->Result()->SetString(text, 0);
    return 0;
}

int32_t CIProgram::GetString() {
    char text[40];
    tw::FormatDouble(text, sizeof text, m_interpretor->GetArgDouble(0));
    m_interpretor->Result()->SetString(text, 0);
    return 0;
}

int32_t CIProgram::GetAscii() {
    const char* text = ArgTextOrNull(m_interpretor, 0);
    ResultInt(text ? static_cast<signed char>(text[0]) : 0);
    return 0;
}

int32_t CIProgram::GetRGB() {
    // An omitted part reads as 0x80000000, whose low byte is 0.
    const int32_t r = m_interpretor->GetArgInt(0) & 255;
    const int32_t g = m_interpretor->GetArgInt(1) & 255;
    const int32_t b = m_interpretor->GetArgInt(2) & 255;
    ResultInt(r * 65536 + g * 256 + b);
    return 0;
}

int32_t CIProgram::GetRed() { ResultInt((m_interpretor->GetArgInt(0) >> 16) & 255); return 0; }
int32_t CIProgram::GetGreen() { ResultInt((m_interpretor->GetArgInt(0) >> 8) & 255); return 0; }
int32_t CIProgram::GetBlue() { ResultInt(m_interpretor->GetArgInt(0) & 255); return 0; }

int32_t CIProgram::LoadString() {
    std::string text;
    if (!ReadStringElement(PackageOf(m_interpretor), m_interpretor->GetArg(0), &text)) m_interpretor->RaiseError(79);
    m_interpretor->Result()->SetString(text.c_str(), 0);
    return 0;
}

// ---- values and arrays ----

CScriptArray* CIProgram::ArrayArgument() {
    CScriptArray* array = m_interpretor->GetArg(0)->GetArray();
    if (!array) m_interpretor->RaiseError(46);
    return array;
}

int32_t CIProgram::FillArray() {
    CValue* holder = m_interpretor->GetArg(0);
    CScriptArray* array = ArrayArgument();
    const CValue* value = m_interpretor->GetArg(1);
    const uint32_t cells = array->GetCellCount();
    for (uint32_t i = 0; i < cells; ++i) holder->SetArrayCell(i, *value);
    return 0;
}

int32_t CIProgram::IsArray() { ResultInt(m_interpretor->GetArg(0)->GetTag() == CValue::kArray); return 0; }
int32_t CIProgram::IsDefaultValue() { ResultInt(m_interpretor->IsArgDefault(0) ? 1 : 0); return 0; }
int32_t CIProgram::IsString() { ResultInt(m_interpretor->GetArg(0)->GetTag() == CValue::kText); return 0; }
int32_t CIProgram::IsInteger() { ResultInt(m_interpretor->GetArg(0)->GetTag() == CValue::kInt); return 0; }
int32_t CIProgram::IsFloat() { ResultInt(m_interpretor->GetArg(0)->GetTag() == CValue::kDouble); return 0; }
int32_t CIProgram::IsFunction() { ResultInt(m_interpretor->GetArg(0)->GetTag() == CValue::kFunction); return 0; }

int32_t CIProgram::IsNumber() {
    const uint32_t tag = m_interpretor->GetArg(0)->GetTag();
    ResultInt(tag == CValue::kInt || tag == CValue::kDouble);
    return 0;
}

int32_t CIProgram::IsObject() {
    const CValue* arg = m_interpretor->GetArg(0);
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
    if (m_interpretor->IsArgDefault(1)) {
        if (array->m_dimensionCount != 1) m_interpretor->RaiseError(21);
    } else {
        dimension = m_interpretor->GetArgInt(1);
        if (dimension < 0 || dimension >= array->m_dimensionCount) m_interpretor->RaiseError(45);
    }
    ResultInt(static_cast<int32_t>(array->m_sizes[dimension]));
    return 0;
}

// ---- events and errors ----

int32_t CIProgram::DisableEvents() { m_interpretor->m_eventsEnabled = 0; return 0; }
int32_t CIProgram::EnableEvents() { m_interpretor->m_eventsEnabled = 1; return 0; }
int32_t CIProgram::EventsEnabled() { ResultInt(m_interpretor->m_eventsEnabled); return 0; }

void CIProgram::LogError(void* context, const CIError& error, const char* message) {
    static_cast<CIProgram*>(context)->SetLastError(error, message);
}

int32_t CIProgram::OnError() {
    m_errorHandler = m_interpretor->ReadAssignedFunction();
    m_interpretor->SetScriptErrorHandler(m_errorHandler, m_errorHandler ? &CIProgram::LogError : nullptr,
                                         m_errorHandler ? this : nullptr);
    return 0;
}

int32_t CIProgram::GetLastError() {
    ResultInt(m_lastError.code);
    m_lastError.Clear();
    return 0;
}

int32_t CIProgram::GetErrorMessage() {
    const std::string text = m_interpretor->IsArgDefault(0) ? std::string()
                                                            : ErrorCodeMessage(m_interpretor->GetArgInt(0));
    m_interpretor->Result()->SetString(text.c_str(), 0);
    return 0;
}

// ---- platform components ----

int32_t CIProgram::GetDefaultGameInput() {
    CIBaseClassImpl* input = m_interpretor->m_gameInput;
    if (!input) m_interpretor->RaiseError(91);
    m_interpretor->Result()->SetObject(input, 1);
    return 0;
}

int32_t CIProgram::IsScreenSaverSetupDialog() {
    ResultInt(m_interpretor->m_runner ? m_interpretor->m_runner->m_setupMode : 0);
    return 0;
}

int32_t CIProgram::IsScreenSaverControlPanel() {
    const CRunner* runner = m_interpretor->m_runner;
    ResultInt(runner && runner->m_parentWindow && !runner->m_setupMode &&
              OsWindowSizeDiffersFromScreen(runner->m_parentWindow));
    return 0;
}

int32_t CIProgram::IsModPlugInstalled() { ResultInt(OsCanLoadLibrary("npmod32.dll") ? 1 : 0); return 0; }

int32_t CIProgram::IsDirectSound3DUsed() { ResultInt(m_interpretor->m_sound3DUsed); return 0; }
int32_t CIProgram::IsDirectSound3DEnabled() { ResultInt(m_interpretor->m_sound3DRequested); return 0; }

void CIProgram::SwitchSound3D(bool requested) {
    // Speakers hold 3D buffers made under the current setting.
    if (m_interpretor->CountInstances(kClassSpeaker) > 0) m_interpretor->RaiseError(78);
    m_interpretor->m_sound3DRequested = requested ? 1 : 0;
    m_interpretor->m_sound3DUsed = requested && m_interpretor->m_directXVersion >= 0x600 ? 1 : 0;
}

int32_t CIProgram::EnableDirectSound3D() { SwitchSound3D(true); return 0; }
int32_t CIProgram::DisableDirectSound3D() { SwitchSound3D(false); return 0; }
