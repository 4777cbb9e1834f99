#pragma once
// CRunner: one execution of the packaged program. It performs the process-wide
// start-up, creates and loads the interpreter, compiles and runs the program,
// shows a failure in a message box, runs a follow-on program when the package
// names one, and performs the process-wide shut-down.
//
// A host process may hand the runner a mutex (waited for before the start,
// released at the end), a semaphore (released once the package is loaded), a
// parent window (told when the run ends) and screen-saver and setup modes;
// the program entry leaves all of them empty.
#include "runtime/base/ref_string.h"

#include <cstdint>

class CRunner {
public:
    // Empty command line, every flag and handle 0, the constructing thread.
    CRunner();
    ~CRunner();

    void SetCommandLine(const char* commandLine);
    const char* GetCommandLine() const { return m_commandLine; }

    // Runs the program (and its follow-on program); returns the process exit
    // code: 0, or kExitDamagedPackage when the package is damaged or incomplete.
    int Run();

    int32_t m_setupMode;        // 1: the setup part of a screen saver
    int32_t m_screenSaverMode;  // 1: running as a screen saver
    void* m_parentWindow;       // host window told at the end; host context
    void* m_mutex;
    void* m_semaphore;
    // Set by the host or the runtime to end the operation loop.
    volatile int32_t m_quit;
    uint32_t m_threadId;
    uint32_t m_reserved;
    // When set, the top-level window ignores the system close command.
    int32_t m_refuseClose;
    // With a parent window: the script's first window without parent.
    void* m_mainWindow;
    // When not empty, the package file to read instead of the program's own.
    CRefString m_packagePath;
    // Offset of a follow-on package in the program's own file; 0 = none.
    uint32_t m_followOnOffset;

private:
    CRunner(const CRunner&) = delete;
    CRunner& operator=(const CRunner&) = delete;
    void RunFollowOn();

    char* m_commandLine;
    CRefString m_followOnFile;  // the file holding the follow-on package
};
