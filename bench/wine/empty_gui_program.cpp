// An empty Win32 program that loads the system libraries the runtime imports
// (common controls, USER, multimedia timer): the floor of a GUI program's
// start-up under Wine.
#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    InitCommonControls();
    GetDesktopWindow();
    timeGetTime();
    return 0;
}
