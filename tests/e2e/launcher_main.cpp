// End-to-end test launcher (Windows): starts a program, watches for the message
// boxes it shows, reports each box's caption, text and icon, closes it, and
// finally reports the program's exit code. Runs inside the same Wine prefix as
// the program, so the test harness can assert on exact message texts.
//
// Usage: launcher.exe TIMEOUT_MS PROGRAM [ARGS...]
// Output lines: "box: CAPTION|TEXT|ICON" (ICON: hand, question, exclamation,
// asterisk or none) and last "exit: CODE" or "timeout".
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <set>
#include <vector>

namespace {

struct Search {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM param) {
    Search* s = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != s->pid || !IsWindowVisible(hwnd)) return TRUE;
    char cls[64] = {0};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::string(cls) == "#32770") {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

std::vector<DWORD> Grab(HDC src, int x, int y, int w, int h) {
    HDC mem = CreateCompatibleDC(src);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, src, x, y, SRCCOPY);
    GdiFlush();
    std::vector<DWORD> out(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + w * h);
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    return out;
}

// Draws one of the system icons on the given background, as a message box would.
std::vector<DWORD> Render(LPCSTR id, DWORD background, int w, int h) {
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT r = {0, 0, w, h};
    HBRUSH brush = CreateSolidBrush(RGB((background >> 16) & 0xFF, (background >> 8) & 0xFF, background & 0xFF));
    FillRect(mem, &r, brush);
    DeleteObject(brush);
    DrawIcon(mem, 0, 0, LoadIconA(nullptr, id));
    std::vector<DWORD> out = Grab(mem, 0, 0, w, h);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return out;
}

BOOL CALLBACK FindIconStatic(HWND hwnd, LPARAM param) {
    char cls[32] = {0};
    GetClassNameA(hwnd, cls, sizeof cls);
    LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    if (lstrcmpiA(cls, "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON && IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(param) = hwnd;
        return FALSE;
    }
    return TRUE;
}

// Icon handles are not shared between processes here, so the box's icon is
// recognised by its pixels: the icon static is captured from the screen and
// compared with each system icon drawn on the same background.
const char* IconName(HWND box) {
    HWND st = nullptr;
    EnumChildWindows(box, FindIconStatic, reinterpret_cast<LPARAM>(&st));
    if (!st || !SendMessageA(st, STM_GETICON, 0, 0)) return "none";
    const int w = GetSystemMetrics(SM_CXICON), h = GetSystemMetrics(SM_CYICON);
    RECT r;
    GetWindowRect(st, &r);
    HDC dc = GetDC(nullptr);
    std::vector<DWORD> shown = Grab(dc, r.left, r.top, w, h);
    ReleaseDC(nullptr, dc);
    DWORD background = shown[0] & 0xFFFFFF;
    struct { LPCSTR id; const char* name; } icons[] = {
        {IDI_HAND, "hand"}, {IDI_QUESTION, "question"},
        {IDI_EXCLAMATION, "exclamation"}, {IDI_ASTERISK, "asterisk"},
    };
    const char* best = "other";
    size_t fewest = shown.size() / 10;  // at most 10% of the pixels may differ
    for (const auto& i : icons) {
        std::vector<DWORD> drawn = Render(i.id, background, w, h);
        size_t differ = 0;
        for (size_t k = 0; k < shown.size(); ++k)
            if ((shown[k] & 0xFFFFFF) != (drawn[k] & 0xFFFFFF)) ++differ;
        if (getenv("LAUNCHER_DEBUG")) std::printf("debug: %s differs in %u of %u (bg %06lx)\n", i.name, (unsigned)differ, (unsigned)shown.size(), background);
        if (differ < fewest) { fewest = differ; best = i.name; }
    }
    return best;
}

std::string Quote(const char* arg) {
    std::string s = "\"";
    s += arg;
    s += "\"";
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: launcher TIMEOUT_MS PROGRAM [ARGS...]\n");
        return 2;
    }
    DWORD timeout = static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10));
    std::string cmd = Quote(argv[2]);
    for (int i = 3; i < argc; ++i) cmd += " " + Quote(argv[i]);

    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::printf("error: cannot start %s (%lu)\n", argv[2], GetLastError());
        return 2;
    }
    DWORD start = GetTickCount();
    std::set<HWND> reported;
    for (;;) {
        if (WaitForSingleObject(pi.hProcess, 20) == WAIT_OBJECT_0) break;
        if (GetTickCount() - start > timeout) {
            TerminateProcess(pi.hProcess, 124);
            std::printf("timeout\n");
            return 1;
        }
        Search s = {pi.dwProcessId, nullptr};
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&s));
        if (!s.found || reported.count(s.found)) continue;
        Sleep(200);  // let the box finish painting its controls
        char caption[512] = {0}, text[2048] = {0};
        GetWindowTextA(s.found, caption, sizeof caption);
        GetDlgItemTextA(s.found, 0xFFFF, text, sizeof text);
        // On a busy machine a box can be found before its texts are set (or
        // while it is being torn down): look again on the next round rather
        // than report an empty box.
        if (!caption[0] && !text[0]) continue;
        std::printf("box: %s|%s|%s\n", caption, text, IconName(s.found));
        std::fflush(stdout);
        reported.insert(s.found);
        // Close it the way a user would: the default button, then WM_CLOSE.
        PostMessageA(s.found, WM_COMMAND, IDOK, 0);
        PostMessageA(s.found, WM_CLOSE, 0, 0);
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    std::printf("exit: %lu\n", code);
    return 0;
}
