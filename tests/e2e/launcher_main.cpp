// End-to-end test launcher (Windows): starts a program, watches for the message
// boxes it shows, reports each box's caption, text and icon, closes it, and
// finally reports the program's exit code. Runs inside the same Wine prefix as
// the program, so the test harness can assert on exact message texts.
//
// Usage: launcher.exe TIMEOUT_MS PROGRAM [ARGS...]
// Output lines: "box: CAPTION|TEXT|ICON" (ICON: hand, question, exclamation,
// asterisk or none) and last "exit: CODE" or "timeout".
//
// When the working folder holds steps.txt, its lines are acted out one by one
// while the program runs (a step that cannot be done prints "step failed:"):
//   wait TITLE          wait until a window of the program has this title; it
//                       becomes the target of the steps below
//   report              print "window: CLASS WIDTHxHEIGHT style=S exstyle=E" of
//                       the target (client size, GWL_STYLE, GWL_EXSTYLE in hex)
//   key VK...           press and release each virtual key (hex 0x.. or decimal;
//                       "+VK" only presses, "-VK" only releases) with SendInput
//   type TEXT           types the characters of TEXT with SendInput
//   click X Y [right]   clicks at client point X, Y of the target
//   drag X Y DX DY      presses the left button at point X, Y of the target's
//                       window rectangle (its frame included), moves the
//                       mouse by DX, DY in steps and releases it
//   dragclient X1 Y1 X2 Y2  the same between two client points of the target,
//                       moving in steps of 5 pixels
//   press BUTTON        waits for the next message box, reports it (the "box:"
//                       line, then "buttons: TEXT,TEXT... default TEXT") and
//                       clicks its button of that text (BM_CLICK); such a box
//                       does not stop the steps
//   syscommand close|minimize|maximize   posts WM_SYSCOMMAND to the target
//   displaychange       posts WM_DISPLAYCHANGE (32 bits, the screen size)
//   move X Y | size W H moves or sizes the target with SetWindowPos
//   capture NAME        waits for the title "capture:NAME", saves the target's
//                       client area from the screen as NAME.bmp (24 bits) and
//                       renames the window "captured:NAME"
//   snap NAME           saves the target's client area from the screen as
//                       NAME.bmp (24 bits) at once
//   cursor              print "cursor: hotspot X Y" of the cursor shown
//   sleep MS
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
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


struct TitleSearch {
    DWORD pid;
    std::string title;
    HWND found;
};

BOOL CALLBACK FindTitled(HWND hwnd, LPARAM param) {
    TitleSearch* s = reinterpret_cast<TitleSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char text[256] = {0};
    GetWindowTextA(hwnd, text, sizeof text);
    if (pid == s->pid && s->title == text) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK PrintTitle(HWND hwnd, LPARAM pid) {
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    char text[256] = {0}, cls[64] = {0};
    GetWindowTextA(hwnd, text, sizeof text);
    GetClassNameA(hwnd, cls, sizeof cls);
    if (owner == static_cast<DWORD>(pid)) std::printf("debug: window %s '%s'\n", cls, text);
    return TRUE;
}

HWND WaitForTitle(DWORD pid, const std::string& title, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        TitleSearch s = {pid, title, nullptr};
        EnumWindows(FindTitled, reinterpret_cast<LPARAM>(&s));
        if (s.found) return s.found;
        // A message box (an error) or the end of the program ends the wait.
        Search box = {pid, nullptr};
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&box));
        if (box.found || GetTickCount() - start > ms) return nullptr;
        Sleep(20);
    }
}

void SendKey(WORD vk, bool down) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, 0));
    in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &in, sizeof in);
    Sleep(30);
}

void SendMouse(DWORD flags) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof in);
    Sleep(30);
}

void WriteBmp24(const std::string& name, const std::vector<DWORD>& pixels, int w, int h) {
    const int row = (w * 3 + 3) & ~3;
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + row * h;
    ih.biSize = sizeof ih;
    ih.biWidth = w;
    ih.biHeight = h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biSizeImage = row * h;
    std::ofstream out(name.c_str(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&fh), sizeof fh);
    out.write(reinterpret_cast<const char*>(&ih), sizeof ih);
    std::vector<unsigned char> line(row, 0);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            DWORD p = pixels[y * w + x];
            line[x * 3] = p & 0xFF;
            line[x * 3 + 1] = (p >> 8) & 0xFF;
            line[x * 3 + 2] = (p >> 16) & 0xFF;
        }
        out.write(reinterpret_cast<const char*>(line.data()), row);
    }
}

struct ButtonList {
    std::string texts;
    std::string wanted;
    HWND found;
    HWND defaultButton;
};

// A button's text without its mnemonic ampersands.
std::string PlainText(HWND hwnd) {
    char text[128] = {0};
    GetWindowTextA(hwnd, text, sizeof text);
    std::string plain;
    for (const char* c = text; *c; ++c)
        if (*c != '&') plain += *c;
    return plain;
}

BOOL CALLBACK ListButtons(HWND hwnd, LPARAM param) {
    ButtonList* list = reinterpret_cast<ButtonList*>(param);
    char cls[32] = {0};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpiA(cls, "Button") != 0 || !IsWindowVisible(hwnd)) return TRUE;
    const std::string text = PlainText(hwnd);
    list->texts += (list->texts.empty() ? "" : ",") + text;
    if (text == list->wanted) list->found = hwnd;
    if ((GetWindowLongA(hwnd, GWL_STYLE) & 0xF) == BS_DEFPUSHBUTTON) list->defaultButton = hwnd;
    return TRUE;
}

// Saves a window's client area as the screen shows it, as NAME.bmp (24 bits).
void SaveClientArea(HWND w, const std::string& name) {
    Sleep(300);  // let the program finish presenting
    RECT r;
    GetClientRect(w, &r);
    POINT origin = {0, 0};
    ClientToScreen(w, &origin);
    HDC screen = GetDC(nullptr);
    std::vector<DWORD> pixels = Grab(screen, origin.x, origin.y, r.right, r.bottom);
    ReleaseDC(nullptr, screen);
    WriteBmp24(name + ".bmp", pixels, r.right, r.bottom);
}

// Reports the box as "box: CAPTION|TEXT|ICON"; false while its texts are not
// set yet.
bool ReportBox(HWND box) {
    Sleep(200);  // let the box finish painting its controls
    char caption[512] = {0}, text[2048] = {0};
    GetWindowTextA(box, caption, sizeof caption);
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    // On a busy machine a box can be found before its texts are set (or
    // while it is being torn down): look again on the next round rather
    // than report an empty box.
    if (!caption[0] && !text[0]) return false;
    std::printf("box: %s|%s|%s\n", caption, text, IconName(box));
    std::fflush(stdout);
    return true;
}

// The press step: the next box not yet reported, its buttons and default
// button, then a click on the named button.
bool PressBoxButton(DWORD pid, const std::string& name, std::set<HWND>& reported) {
    const DWORD start = GetTickCount();
    for (;;) {
        Search s = {pid, nullptr};
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&s));
        if (s.found && !reported.count(s.found) && ReportBox(s.found)) {
            reported.insert(s.found);
            ButtonList list = {"", name, nullptr, nullptr};
            EnumChildWindows(s.found, ListButtons, reinterpret_cast<LPARAM>(&list));
            const LRESULT def = SendMessageA(s.found, DM_GETDEFID, 0, 0);
            // Wine's boxes answer DM_GETDEFID only for some button sets: the
            // button drawn as the default one, or the focused one, tells it then.
            HWND defButton = HIWORD(def) == DC_HASDEFID ? GetDlgItem(s.found, LOWORD(def)) : list.defaultButton;
            if (!defButton) {  // else the button that has the focus
                GUITHREADINFO gui = {};
                gui.cbSize = sizeof gui;
                if (GetGUIThreadInfo(GetWindowThreadProcessId(s.found, nullptr), &gui) && IsChild(s.found, gui.hwndFocus))
                    defButton = gui.hwndFocus;
            }
            std::printf("buttons: %s default %s\n", list.texts.c_str(), defButton ? PlainText(defButton).c_str() : "none");
            std::fflush(stdout);
            if (!list.found) return false;
            PostMessageA(list.found, BM_CLICK, 0, 0);
            return true;
        }
        if (GetTickCount() - start > 10000) return false;
        Sleep(20);
    }
}

WORD ParseKey(const std::string& word) { return static_cast<WORD>(std::strtoul(word.c_str(), nullptr, 0)); }

// Acts out one line of steps.txt; false (with a message printed) when it fails.
bool RunStep(const std::string& line, DWORD pid, HWND& target, std::set<HWND>& reported) {
    char verb[32] = {0};
    std::sscanf(line.c_str(), "%31s", verb);
    const std::string v = verb;
    const std::string rest = line.size() > v.size() ? line.substr(v.size() + 1) : std::string();
    if (v.empty() || v[0] == '#') return true;
    if (v == "wait") {
        target = WaitForTitle(pid, rest, 10000);
        if (!target && getenv("LAUNCHER_DEBUG")) EnumWindows(PrintTitle, pid);
        return target != nullptr;
    }
    if (v == "sleep") {
        Sleep(std::atoi(rest.c_str()));
        return true;
    }
    if (v == "press") return PressBoxButton(pid, rest, reported);
    if (!target || !IsWindow(target)) return false;
    if (v == "report") {
        char cls[64] = {0};
        GetClassNameA(target, cls, sizeof cls);
        RECT r;
        GetClientRect(target, &r);
        std::printf("window: %s %ldx%ld style=%08lX exstyle=%08lX\n", cls, r.right, r.bottom,
                    static_cast<unsigned long>(GetWindowLongA(target, GWL_STYLE)),
                    static_cast<unsigned long>(GetWindowLongA(target, GWL_EXSTYLE)));
        std::fflush(stdout);
        return true;
    }
    if (v == "key" || v == "type") {
        SetForegroundWindow(target);
        Sleep(50);
        if (v == "type") {
            for (char c : rest) {
                const SHORT scan = VkKeyScanA(c);
                const bool shift = (scan >> 8) & 1;
                if (shift) SendKey(VK_SHIFT, true);
                SendKey(scan & 0xFF, true);
                SendKey(scan & 0xFF, false);
                if (shift) SendKey(VK_SHIFT, false);
            }
            return true;
        }
        size_t at = 0;
        while (at < rest.size()) {
            size_t end = rest.find(' ', at);
            if (end == std::string::npos) end = rest.size();
            std::string word = rest.substr(at, end - at);
            at = end + 1;
            if (word.empty()) continue;
            if (word[0] == '+') SendKey(ParseKey(word.substr(1)), true);
            else if (word[0] == '-') SendKey(ParseKey(word.substr(1)), false);
            else {
                SendKey(ParseKey(word), true);
                SendKey(ParseKey(word), false);
            }
        }
        return true;
    }
    if (v == "click") {
        int x = 0, y = 0;
        char button[16] = {0};
        std::sscanf(rest.c_str(), "%d %d %15s", &x, &y, button);
        POINT p = {x, y};
        ClientToScreen(target, &p);
        SetForegroundWindow(target);
        SetCursorPos(p.x, p.y);
        Sleep(50);
        const bool right = std::strcmp(button, "right") == 0;
        SendMouse(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
        SendMouse(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
        return true;
    }
    if (v == "dragclient") {
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        std::sscanf(rest.c_str(), "%d %d %d %d", &x1, &y1, &x2, &y2);
        SetForegroundWindow(target);
        auto moveTo = [&](int x, int y) {
            POINT p = {x, y};
            ClientToScreen(target, &p);
            INPUT in = {};
            in.type = INPUT_MOUSE;
            in.mi.dx = p.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
            in.mi.dy = p.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
            in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
            SendInput(1, &in, sizeof in);
            Sleep(30);
        };
        moveTo(x1, y1);
        Sleep(50);
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        const int steps = (std::abs(x2 - x1) > std::abs(y2 - y1) ? std::abs(x2 - x1) : std::abs(y2 - y1)) / 5 + 1;
        for (int i = 1; i <= steps; ++i)
            moveTo(x1 + (x2 - x1) * i / steps, y1 + (y2 - y1) * i / steps);
        Sleep(50);
        SendMouse(MOUSEEVENTF_LEFTUP);
        return true;
    }
    if (v == "drag") {
        int x = 0, y = 0, dx = 0, dy = 0;
        std::sscanf(rest.c_str(), "%d %d %d %d", &x, &y, &dx, &dy);
        RECT r;
        GetWindowRect(target, &r);
        SetForegroundWindow(target);
        SetCursorPos(r.left + x, r.top + y);
        Sleep(50);
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        const int steps = 8;
        for (int i = 1; i <= steps; ++i) {
            INPUT in = {};
            in.type = INPUT_MOUSE;
            in.mi.dx = (r.left + x + dx * i / steps) * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
            in.mi.dy = (r.top + y + dy * i / steps) * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
            in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
            SendInput(1, &in, sizeof in);
            Sleep(40);
        }
        SendMouse(MOUSEEVENTF_LEFTUP);
        return true;
    }
    if (v == "syscommand") {
        const WPARAM cmd = rest == "close" ? SC_CLOSE : rest == "minimize" ? SC_MINIMIZE : SC_MAXIMIZE;
        PostMessageA(target, WM_SYSCOMMAND, cmd, 0);
        return true;
    }
    if (v == "displaychange") {
        PostMessageA(target, WM_DISPLAYCHANGE, 32,
                     MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
        return true;
    }
    if (v == "move" || v == "size") {
        int a = 0, b = 0;
        std::sscanf(rest.c_str(), "%d %d", &a, &b);
        SetWindowPos(target, nullptr, a, b, a, b, SWP_NOZORDER | SWP_NOACTIVATE | (v == "move" ? SWP_NOSIZE : SWP_NOMOVE));
        return true;
    }
    if (v == "capture") {
        HWND w = WaitForTitle(pid, "capture:" + rest, 10000);
        if (!w) return false;
        target = w;
        SaveClientArea(w, rest);
        SetWindowTextA(w, ("captured:" + rest).c_str());
        return true;
    }
    if (v == "snap") {
        SaveClientArea(target, rest);
        return true;
    }
    if (v == "cursor") {
        CURSORINFO ci = {};
        ci.cbSize = sizeof ci;
        ICONINFO ii = {};
        if (!GetCursorInfo(&ci) || !ci.hCursor) return false;
        // Wine keeps a cursor made by another process out of reach of
        // GetIconInfo (ERROR_INVALID_CURSOR_HANDLE): it is then reported as
        // shown, and the hot spot is checked in process by the window tests.
        if (!GetIconInfo(ci.hCursor, &ii)) {
            std::printf("cursor: %s of another process\n",
                        ci.hCursor == LoadCursorA(nullptr, IDC_ARROW) ? "the arrow" : "a cursor");
            std::fflush(stdout);
            return true;
        }
        std::printf("cursor: hotspot %lu %lu\n", ii.xHotspot, ii.yHotspot);
        std::fflush(stdout);
        if (ii.hbmMask) DeleteObject(ii.hbmMask);
        if (ii.hbmColor) DeleteObject(ii.hbmColor);
        return true;
    }
    return false;
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
    std::vector<std::string> steps;
    {
        std::ifstream in("steps.txt");
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            steps.push_back(line);
        }
    }
    size_t nextStep = 0;
    bool closedBox = false;
    HWND target = nullptr;
    for (;;) {
        if (WaitForSingleObject(pi.hProcess, 20) == WAIT_OBJECT_0) break;
        if (GetTickCount() - start > timeout) {
            TerminateProcess(pi.hProcess, 124);
            std::printf("timeout\n");
            return 1;
        }
        Search s = {pi.dwProcessId, nullptr};
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&s));
        const bool pressNext = nextStep < steps.size() && !closedBox && steps[nextStep].compare(0, 6, "press ") == 0;
        if (!s.found || reported.count(s.found) || pressNext) {
            // No box waits: the next step, if any (a box closed by the
            // launcher itself stops the steps).
            if (nextStep < steps.size() && !closedBox) {
                if (!RunStep(steps[nextStep], pi.dwProcessId, target, reported)) {
                    std::printf("step failed: %s\n", steps[nextStep].c_str());
                    std::fflush(stdout);
                    nextStep = steps.size();
                }
                ++nextStep;
            }
            continue;
        }
        if (!ReportBox(s.found)) continue;
        reported.insert(s.found);
        closedBox = true;
        // Close it the way a user would: the default button, then WM_CLOSE.
        PostMessageA(s.found, WM_COMMAND, IDOK, 0);
        PostMessageA(s.found, WM_CLOSE, 0, 0);
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    std::printf("exit: %lu\n", code);
    return 0;
}
