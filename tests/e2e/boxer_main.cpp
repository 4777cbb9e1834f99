// Test program for the launcher: shows the message boxes named on its command
// line ("hand:TEXT" or "none:TEXT"), then exits with code 7.
#include <windows.h>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    for (int i = 1; i < __argc; ++i) {
        const char* a = __argv[i];
        UINT icon = std::strncmp(a, "hand:", 5) == 0 ? MB_ICONHAND : 0;
        const char* text = std::strchr(a, ':');
        MessageBoxA(nullptr, text ? text + 1 : a, "Boxer", MB_OK | icon);
    }
    return 7;
}
