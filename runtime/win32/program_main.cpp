// The program entry of the runtime executable: runs the packaged program.
#include "app/script_modules.h"
#include "runtime/package/os_module.h"
#include "runtime/runner/runner.h"

#include <windows.h>
#include <commctrl.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    RegisterScriptModules();
    CRunner runner;
    OsSetModuleInstance(instance);
    InitCommonControls();
    runner.SetCommandLine(commandLine);
    return runner.Run();
}
