// The program entry of the runtime executable: runs the packaged program.
#include "runtime/os_module.h"
#include "runtime/runner.h"

#include <windows.h>
#include <commctrl.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    CRunner runner;
    OsSetModuleInstance(instance);
    InitCommonControls();
    runner.SetCommandLine(commandLine);
    return runner.Run();
}
