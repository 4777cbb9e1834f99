#include "runtime/runner/runner.h"

#include "runtime/package/os_module.h"
#include "runtime/interp/os_process_memory.h"
#include "runtime/runner/os_runner.h"
#include "runtime/package/package_damage.h"
#include "runtime/package/program_container.h"
#include "runtime/runner/runner_program.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

namespace {

const int kErrorTextSize = 256;
const int kErrorCaptionSize = 150;

}  // namespace

CRunner::CRunner()
    : m_setupMode(0), m_screenSaverMode(0), m_parentWindow(nullptr), m_mutex(nullptr), m_semaphore(nullptr),
      m_quit(0), m_threadId(OsGetCurrentThreadId()), m_reserved(0), m_refuseClose(0), m_mainWindow(nullptr),
      m_followOnOffset(0), m_commandLine(nullptr) {
    SetCommandLine("");
}

CRunner::~CRunner() { std::free(m_commandLine); }

void CRunner::SetCommandLine(const char* commandLine) {
    if (!commandLine) commandLine = "";
    const size_t n = std::strlen(commandLine);
    char* copy = static_cast<char*>(std::malloc(n + 1));
    if (!copy) return;  // the previous command line stays
    std::memcpy(copy, commandLine, n + 1);
    std::free(m_commandLine);
    m_commandLine = copy;
}

int CRunner::Run() {
    OsSetProgramLocale();
    LoadProcessMemoryApi();
    // With a host window outside setup mode the start-up text is not compiled.
    void* hostContext = m_setupMode == 0 ? m_parentWindow : nullptr;
    if (m_mutex) OsWaitForHandle(m_mutex);
    ProcessStart();
    CRunnerProgram* program = new (std::nothrow) CRunnerProgram(this);
    int exitCode = 0;
    const int loaded =
        program && program->Load(m_commandLine, m_packagePath.IsEmpty() ? nullptr : m_packagePath.c_str(), 1);
    // A package that failed to load or was read with damage is not run: the
    // player is told, and the exit code says so.
    const char* damagedPart = nullptr;
    uint32_t damage = 0;
    if (program && program->FindPackageDamage(&damagedPart, &damage)) {
        char file[260];
        if (m_packagePath.IsEmpty()) OsGetProgramFileName(file, sizeof file);
        const std::string text =
            PackageDamageText(m_packagePath.IsEmpty() ? file : m_packagePath.c_str(), damagedPart, damage);
        OsShowErrorBox(text.c_str(), kPackageDamageCaption);
        exitCode = kExitDamagedPackage;
    } else if (loaded) {
        CProgramContainer* container = program->GetContainer();
        m_followOnOffset = container ? container->GetFollowOnOffset() : 0;
        // The follow-on package lies in the file the package came from.
        m_followOnFile = container ? container->GetPath() : "";
        if (m_semaphore) OsReleaseSemaphoreHandle(m_semaphore);
        if (!program->CompileAndRun(hostContext, 1)) {
            char text[kErrorTextSize], caption[kErrorCaptionSize];
            program->GetLastError(text, sizeof text, caption, sizeof caption);
            OsShowErrorBox(text, caption);
        }
    }
    delete program;
    ProcessStop();
    if (m_screenSaverMode) {
        if (m_setupMode) OsPostWindowMessage(m_parentWindow, kOsMessageCommand, 1, 0);
    } else {
        OsPostWindowMessage(m_parentWindow, kOsMessageClose, 0, 0);
    }
    if (m_mutex) OsReleaseMutexHandle(m_mutex);
    FreeProcessMemoryApi();
    if (m_followOnOffset != 0) RunFollowOn();
    return exitCode;
}

// The follow-on program runs in a fresh interpreter with an empty command
// line and no start-up text; its failures are not reported. Its package is
// read from the file of the first package: the program's own file, or the
// package file the runner was given.
void CRunner::RunFollowOn() {
    CRunner record;
    ProcessStart();
    CRunnerProgram* program = new (std::nothrow) CRunnerProgram(&record);
    char path[260];
    OsGetProgramFileName(path, sizeof path);
    const char* file = m_followOnFile.IsEmpty() ? path : m_followOnFile.c_str();
    if (program && program->Load(nullptr, nullptr, 0)) {
        CProgramContainer* container = program->GetContainer();
        if (container &&
            container->ReadPackageFile(file, static_cast<int32_t>(m_followOnOffset)) == 0) {
            program->ClearHeaderWords();
            program->PrepareRun();
            program->CompileAndRun(nullptr, 0);
        }
    }
    delete program;
    ProcessStop();
}
