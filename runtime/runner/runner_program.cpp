// One program run for the runner: an interpreter, its loaded package and the
// compiled-program object that CompileAndRun fills and runs.
#include "runtime/runner/runner_program.h"

#include "runtime/base/ci_error.h"
#include "runtime/compiler/code_format.h"
#include "runtime/base/error_text.h"
#include "runtime/interp/interpretor.h"
#include "runtime/package/program_container.h"

#include <cstring>
#include <new>

namespace {

void CopyCut(char* out, int size, const char* text) {
    if (out == nullptr || size < 1) return;
    size_t n = text != nullptr ? std::strlen(text) : 0;
    if (n > static_cast<size_t>(size - 1)) n = static_cast<size_t>(size - 1);
    if (n != 0) std::memcpy(out, text, n);
    out[n] = 0;
}

}  // namespace

struct CRunnerProgram::State {
    CInterpretor* interpretor = nullptr;
    CCompiledProgram program;
    // A failure outside the interpreter's own run (no memory for it, an error
    // while preparing a run without program).
    CIError ownError{44};
    bool hasOwnError = false;
};

CRunnerProgram::CRunnerProgram(CRunner* runner) : m_state(new State) {
    m_state->interpretor = new (std::nothrow) CInterpretor(runner);
}

CRunnerProgram::~CRunnerProgram() {
    // The interpreter's Destroy unloads it (releasing every script object and
    // the package) and frees it.
    if (m_state->interpretor) m_state->interpretor->Destroy(0);
    delete m_state;
}

int CRunnerProgram::Load(const char* commandLine, const char* packagePath, int fromOwnFile) {
    if (!m_state->interpretor) return 0;
    return m_state->interpretor->Load(commandLine, packagePath, fromOwnFile) ? 1 : 0;
}

CProgramContainer* CRunnerProgram::GetContainer() {
    return m_state->interpretor ? m_state->interpretor->GetProgramContainer() : nullptr;
}

bool CRunnerProgram::FindPackageDamage(const char** part, uint32_t* status) {
    *part = nullptr;
    *status = m_state->interpretor ? m_state->interpretor->GetLoadStatus() : kIoGeneralFailure;
    if (*status == kPackageMissing) return false;
    if (*status != kIoOk) return true;
    CProgramContainer* container = GetContainer();
    if (!container || !container->GetDamagedPart()) return false;
    *part = container->GetDamagedPart();
    *status = container->GetDamageStatus();
    return true;
}

void CRunnerProgram::ClearHeaderWords() {
    CProgramContainer* container = GetContainer();
    CBankSet* program = container ? container->GetCurrentProgram() : nullptr;
    if (program) program->ClearHeaderSettings();
}

void CRunnerProgram::PrepareRun() {
    if (!m_state->interpretor) return;
    try {
        m_state->interpretor->PrepareRun(nullptr);
    } catch (const CIError& error) {
        m_state->ownError = error;
        m_state->hasOwnError = true;
    } catch (const std::bad_alloc&) {
        m_state->ownError = CIError(15);
        m_state->hasOwnError = true;
    }
}

int CRunnerProgram::CompileAndRun(void* hostContext, int withStartText) {
    if (!m_state->interpretor) {
        m_state->ownError = CIError(15);
        m_state->hasOwnError = true;
        return 0;
    }
    m_state->hasOwnError = false;
    return m_state->interpretor->CompileAndRun(&m_state->program, 0, hostContext, withStartText) ? 1 : 0;
}

void CRunnerProgram::GetLastError(char* text, int textSize, char* caption, int captionSize) {
    const CIError* last = m_state->interpretor ? m_state->interpretor->GetLastError() : nullptr;
    const CIError error = m_state->hasOwnError || !last ? m_state->ownError : *last;
    char message[512];
    FormatErrorMessage(error, message, sizeof message, true);
    CopyCut(text, textSize, message);
    CopyCut(caption, captionSize, error.module.c_str());
}
