// The find functions, drives and Escape of the Windows layer, under Wine.
#include <windows.h>

#include "runtime/io/file_finder.h"
#include "runtime/io/file_list.h"
#include "runtime/io/os_directory.h"
#include "tests/runtime/scan_tree.h"
#include "handle_probe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string FullPath(const std::string& path) {
    char buffer[MAX_PATH];
    DWORD n = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    return n > 0 && n < sizeof buffer ? std::string(buffer) : std::string();
}

struct Seen {
    std::vector<std::string> names;
    std::vector<std::string> paths;
    std::vector<std::string> folders;  // IsDirectory
    std::vector<std::string> dots;     // IsDots
};

Seen Walk(CFileFinder& finder, bool found) {
    Seen seen;
    for (bool more = found; more;) {
        more = finder.FindNext();
        seen.names.push_back(finder.GetFileName());
        seen.paths.push_back(finder.GetFilePath().c_str());
        if (finder.IsDirectory()) seen.folders.push_back(finder.GetFileName());
        if (finder.IsDots()) seen.dots.push_back(finder.GetFileName());
    }
    for (auto* v : {&seen.names, &seen.paths, &seen.folders, &seen.dots}) std::sort(v->begin(), v->end());
    return seen;
}

// Runs with the current folder set to folder, and puts the old one back.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::string& folder) {
        GetCurrentDirectoryA(sizeof m_old, m_old);
        m_ok = SetCurrentDirectoryA(folder.c_str()) != 0;
    }
    ~CurrentFolder() { SetCurrentDirectoryA(m_old); }
    bool Ok() const { return m_ok; }

private:
    char m_old[MAX_PATH];
    bool m_ok;
};

TEST(FileFinderWin, PatternsFoldersAndRelativePaths) {
    ScanTree tree({"a.txt", "b.doc", "sub\\", "sub\\c.txt"});
    ASSERT_TRUE(tree.Ok());
    const std::string root = FullPath(tree.Root());
    const std::vector<std::string> all = {".", "..", "a.txt", "b.doc", "sub"};

    {
        CurrentFolder here(tree.Root());
        ASSERT_TRUE(here.Ok());
        CFileFinder none;  // no pattern: "*.*" in the current folder
        Seen seen = Walk(none, none.FindFirst());
        EXPECT_EQ(seen.names, all);
        EXPECT_EQ(seen.folders, (std::vector<std::string>{".", "..", "sub"}));
        EXPECT_EQ(seen.dots, (std::vector<std::string>{".", ".."}));
        EXPECT_NE(std::find(seen.paths.begin(), seen.paths.end(), root + "a.txt"), seen.paths.end());

        CFileFinder relative;  // made full with GetFullPathNameA
        seen = Walk(relative, relative.FindFirst("sub\\*.txt"));
        EXPECT_EQ(seen.names, std::vector<std::string>{"c.txt"});
        EXPECT_EQ(seen.paths, std::vector<std::string>{root + "sub\\c.txt"});
    }

    CFileFinder bare;  // a folder alone lists everything in it
    Seen seen = Walk(bare, bare.FindFirst(tree.Root().c_str()));
    EXPECT_EQ(seen.names, all);

    CFileFinder finder;
    EXPECT_TRUE(finder.GetFilePath().IsEmpty());
    ASSERT_TRUE(finder.FindFirst((tree.Root() + "*.doc").c_str()));
    EXPECT_FALSE(finder.FindFirst((tree.Root() + "*.txt").c_str()));  // a search is open
    EXPECT_FALSE(finder.FindNext());                                  // the one entry, and the end
    EXPECT_STREQ(finder.GetFileName(), "b.doc");
    EXPECT_EQ(std::string(finder.GetFilePath().c_str()), root + "b.doc");
    EXPECT_FALSE(finder.FindNext());
    finder.Close();
    EXPECT_TRUE(finder.GetFilePath().IsEmpty());
    EXPECT_TRUE(finder.FindFirst((tree.Root() + "*.txt").c_str()));
    finder.Close();

    EXPECT_FALSE(finder.FindFirst((tree.Root() + "missing\\*.*").c_str()));
    EXPECT_FALSE(finder.FindFirst((tree.Root() + "*.none").c_str()));
    EXPECT_FALSE(finder.FindFirst(("C:\\" + std::string(300, 'x') + "\\*.*").c_str()));
}

TEST(FileFinderWin, CloseAndDestructionReleaseTheSearch) {
    ScanTree tree({"a.txt"});
    ASSERT_TRUE(tree.Ok());
    const HANDLE before = NextHandleValue();
    {
        CFileFinder finder;
        ASSERT_TRUE(finder.FindFirst((tree.Root() + "*.*").c_str()));
        EXPECT_NE(NextHandleValue(), before);  // the open search holds a handle
        CFileFinder second;
        ASSERT_TRUE(second.FindFirst((tree.Root() + "*.*").c_str()));
        second.Close();
    }
    EXPECT_EQ(NextHandleValue(), before);
}

TEST(FileFinderWin, LogicalDrives) {
    CRefStringArray roots;
    roots.AddChars("first");
    const int count = roots.AddLogicalDrives();
    ASSERT_EQ(count, roots.GetSize());
    ASSERT_GE(count, 2);
    std::string list;
    bool sawC = false;
    for (int k = 1; k < count; ++k) {
        const char* root = roots.GetAt(k)->c_str();
        list += std::string(root) + " ";
        EXPECT_TRUE(std::strlen(root) == 3 && root[1] == ':' && root[2] == '\\') << root;
        sawC = sawC || std::strcmp(root, "C:\\") == 0;
    }
    std::printf("drives: %s\n", list.c_str());
    EXPECT_TRUE(sawC);
    EXPECT_EQ(roots.AddLogicalDrives(), 2 * count - 1);
}

void SendEscape(bool down) {
    std::thread([down] {
        INPUT input;
        ZeroMemory(&input, sizeof input);
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = VK_ESCAPE;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(VK_ESCAPE, 0));
        input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
        SendInput(1, &input, sizeof input);
    }).join();
}

// Waits for the key state, pumping the messages the injected input makes.
bool WaitForEscape(bool down) {
    for (int k = 0; k < 100; ++k) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        if (IsEscapeKeyDown() == down) return true;
        Sleep(5);
    }
    return false;
}

// A focused window of this thread for the keyboard input to go to. Wine takes
// the key state from the X server when a window gains the focus, which would
// release a key injected at that moment: the focus settles first.
class FocusWindow {
public:
    FocusWindow()
        : m_hwnd(CreateWindowExA(WS_EX_TOPMOST, "STATIC", "escape", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr)) {
        SetForegroundWindow(m_hwnd);
        SetFocus(m_hwnd);
        for (int k = 0; k < 20; ++k) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
            Sleep(10);
        }
    }
    ~FocusWindow() { DestroyWindow(m_hwnd); }

private:
    HWND m_hwnd;
};

TEST(FileFinderWin, HoldingEscapeAbortsAScan) {
    ScanTree tree({"a.txt", "sub\\", "sub\\b.txt"});
    ASSERT_TRUE(tree.Ok());
    FocusWindow focus;
    // A focus change in the display can still take the key state from the X
    // server between injection and scan: press again then.
    bool seenDown = false;
    for (int attempt = 0; attempt < 4 && !seenDown; ++attempt) {
        SendEscape(true);
        seenDown = WaitForEscape(true);
        if (!seenDown) SendEscape(false);
    }
    CFileList held;
    held.AddIncludePatterns("*.*");
    const int heldResult = held.ScanDirectoryRecursive(tree.Root().c_str(), 0x1B);
    SendEscape(false);
    ASSERT_TRUE(WaitForEscape(false));
    std::printf("Escape injected with SendInput %s seen by GetAsyncKeyState\n", seenDown ? "is" : "is not");
    ASSERT_TRUE(seenDown);
    EXPECT_EQ(heldResult, 0);
    EXPECT_EQ(held.GetCount(), 0);

    CFileList released;
    released.AddIncludePatterns("*.*");
    EXPECT_EQ(released.ScanDirectoryRecursive(tree.Root().c_str(), 0x1B), 1);
    EXPECT_EQ(released.GetCount(), 3);
}

// Runs a Linux command on the Linux name of a Windows path, as a Linux user
// would, through Wine; false where that cannot be done. It runs beside Wine's
// processes: done() tells when it has had its effect.
template <class Done>
bool RunOnLinuxName(const char* program, const std::string& arguments, const std::string& path, Done done) {
    typedef char*(CDECL * UnixNameFn)(LPCWSTR);
    UnixNameFn unixName =
        reinterpret_cast<UnixNameFn>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
    if (!unixName) return false;
    wchar_t wide[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, FullPath(path).c_str(), -1, wide, MAX_PATH)) return false;
    char* native = unixName(wide);
    if (!native) return false;
    std::string command = std::string("/bin/") + program + " " + arguments + " \"" + native + "\"";
    HeapFree(GetProcessHeap(), 0, native);
    STARTUPINFOA si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(("Z:\\bin\\" + std::string(program)).c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    for (int k = 0; k < 300; ++k) {
        if (done()) return true;
        Sleep(10);
    }
    return false;
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A Linux link "up" -> ".." in sub, removed again by rm (Windows calls cannot).
class LinkBackUp {
public:
    explicit LinkBackUp(const std::string& sub) : m_link(sub + "up") {
        m_made = RunOnLinuxName("ln", "-s ..", m_link, [&] { return IsFolder(m_link + "\\sub"); });
    }
    ~LinkBackUp() {
        if (GetFileAttributesA(m_link.c_str()) != INVALID_FILE_ATTRIBUTES)
            RunOnLinuxName("rm", "-f", m_link, [&] { return GetFileAttributesA(m_link.c_str()) == INVALID_FILE_ATTRIBUTES; });
    }
    bool Made() const { return m_made; }

private:
    std::string m_link;
    bool m_made;
};

TEST(FileFinderWin, LinkBackUpEndsAtThePathLimit) {
    ScanTree tree({"sub\\", "sub\\a.txt"});
    ASSERT_TRUE(tree.Ok());
    LinkBackUp link(tree.Root() + "sub\\");
    if (!link.Made()) GTEST_SKIP() << "no Linux link can be made here";

    CFileList list;
    list.AddIncludePatterns("*.*");
    ASSERT_EQ(list.ScanDirectoryRecursive(tree.Root().c_str(), 0x1B), 1);
    int longest = 0;
    for (int k = 0; k < list.GetCount(); ++k) longest = std::max(longest, list.GetPath(k)->GetLength());
    std::printf("link scan: %d paths, the longest %d characters\n", list.GetCount(), longest);
    EXPECT_GT(list.GetCount(), 4);
    EXPECT_LT(longest, 260);
}

}  // namespace
