// The registry helpers and the window placement store on a test key under
// HKEY_CURRENT_USER, with real windows, under Wine.
#include <windows.h>

#include "runtime/win32/registry_dword.h"
#include "runtime/win32/window_placement_store.h"
#include "handle_probe.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// A key of its own under HKCU for each test, deleted afterwards.
class TestKey {
public:
    TestKey() {
        static int serial = 0;
        char path[128];
        std::snprintf(path, sizeof path, "Software\\TwPlacementTests\\p%lu-%d",
                      static_cast<unsigned long>(GetCurrentProcessId()), ++serial);
        m_path = path;
    }
    ~TestKey() {
        RegDeleteKeyA(HKEY_CURRENT_USER, m_path.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\TwPlacementTests");  // when no other test holds it
    }
    const char* Path() const { return m_path.c_str(); }
    bool Exists() const {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, m_path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }

private:
    std::string m_path;
};

const char* WindowClass() {
    static const char* name = [] {
        WNDCLASSA wc;
        ZeroMemory(&wc, sizeof wc);
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TwPlacementTestWindow";
        RegisterClassA(&wc);
        return "TwPlacementTestWindow";
    }();
    return name;
}

class Window {
public:
    Window(int width, int height, DWORD style = WS_OVERLAPPEDWINDOW)
        : m_hwnd(CreateWindowExA(0, WindowClass(), "placement", style, 40, 50, width, height, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr)) {}
    ~Window() {
        if (!m_hwnd) return;
        // Back to a plain hidden window first: Wine's X11 driver can fail on a
        // minimised window destroyed after other windows of the process.
        WINDOWPLACEMENT p = Placement();
        p.showCmd = SW_HIDE;
        SetWindowPlacement(m_hwnd, &p);
        DestroyWindow(m_hwnd);
    }
    HWND Get() const { return m_hwnd; }
    WINDOWPLACEMENT Placement() const {
        WINDOWPLACEMENT p;
        p.length = sizeof p;
        GetWindowPlacement(m_hwnd, &p);
        return p;
    }
    RECT Client() const {
        RECT r;
        GetClientRect(m_hwnd, &r);
        return r;
    }

private:
    HWND m_hwnd;
};

POINT ScreenSize() {
    HDC dc = GetDC(nullptr);
    POINT size = {GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES)};
    ReleaseDC(nullptr, dc);
    return size;
}

// A complete saved placement for a window of this default client size.
void WriteSavedPlacement(const CWindowPlacementStore& store, const char* path, const RECT& client, LONG width,
                         LONG height) {
    const POINT screen = ScreenSize();
    const struct {
        const char* name;
        LONG value;
    } values[] = {
        {"ScreenWidth", screen.x}, {"ScreenHeight", screen.y}, {"InitDefaultWidth", client.right},
        {"InitDefaultHeight", client.bottom}, {"Left", 210}, {"Top", 220}, {"Width", width}, {"Height", height},
        {"Flags", 0}, {"ShowCmd", SW_SHOWNORMAL}, {"MinX", -1}, {"MinY", -1}, {"MaxX", -1}, {"MaxY", -1},
    };
    for (const auto& v : values) ASSERT_TRUE(store.WriteDword(path, v.name, static_cast<DWORD>(v.value)));
}

std::string Text(const RECT& r) {
    char s[80];
    std::snprintf(s, sizeof s, "%ld,%ld,%ld,%ld", static_cast<long>(r.left), static_cast<long>(r.top),
                  static_cast<long>(r.right), static_cast<long>(r.bottom));
    return s;
}

TEST(RegistryDword, ReadWriteAndDefaults) {
    TestKey key;
    CWindowPlacementStore store(HKEY_CURRENT_USER);
    EXPECT_EQ(store.ReadDword(key.Path(), "Missing", 77), 77u);
    EXPECT_FALSE(key.Exists());  // a read does not create the key
    ASSERT_TRUE(store.WriteDword(key.Path(), "Value", 0xDEADBEEF));
    EXPECT_EQ(store.ReadDword(key.Path(), "Value", 1), 0xDEADBEEFu);
    EXPECT_EQ(store.ReadDword(key.Path(), "Other", 5), 5u);

    HKEY open = store.OpenKey(key.Path());
    ASSERT_NE(open, nullptr);
    ASSERT_EQ(RegSetValueExA(open, "Text", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 4), ERROR_SUCCESS);
    RegCloseKey(open);
    EXPECT_EQ(store.ReadDword(key.Path(), "Text", 9), 9u);  // not a 32-bit value

    // Root key 0 disables everything.
    CWindowPlacementStore off;
    EXPECT_EQ(off.OpenKey(key.Path()), nullptr);
    EXPECT_EQ(off.ReadDword(key.Path(), "Value", 3), 3u);
    EXPECT_FALSE(off.WriteDword(key.Path(), "Value", 4));
    EXPECT_EQ(ReadRegistryDword(HKEY_CURRENT_USER, key.Path(), "Value", 0), 0xDEADBEEFu);
}

TEST(RegistryDword, EveryKeyIsClosedAfterUse) {
    TestKey key;
    ASSERT_TRUE(WriteRegistryDword(HKEY_CURRENT_USER, key.Path(), "Value", 1));
    const HANDLE before = NextHandleValue();
    for (int k = 0; k < 50; ++k) {
        WriteRegistryDword(HKEY_CURRENT_USER, key.Path(), "Value", static_cast<DWORD>(k));
        ReadRegistryDword(HKEY_CURRENT_USER, key.Path(), "Value", 0);
        ReadRegistryDword(HKEY_CURRENT_USER, key.Path(), "Missing", 0);
    }
    EXPECT_EQ(NextHandleValue(), before);

    // The probe sees a key left open.
    HKEY open = OpenRegistryKey(HKEY_CURRENT_USER, key.Path());
    ASSERT_NE(open, nullptr);
    EXPECT_NE(NextHandleValue(), before);
    RegCloseKey(open);
    EXPECT_EQ(NextHandleValue(), before);
}

TEST(WindowPlacementStore, SaveThenRestorePutsThePlacementBack) {
    const UINT shows[] = {SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
    for (UINT show : shows) {
        TestKey key;
        const RECT normal = {120, 130, 120 + 420, 130 + 310};
        {
            Window first(300, 200);
            ASSERT_TRUE(first.Get());
            CWindowPlacementStore store(HKEY_CURRENT_USER);
            store.SetSaveEnabled(true);
            EXPECT_EQ(store.Restore(key.Path(), first.Get()), 1);  // nothing saved yet
            WINDOWPLACEMENT p = first.Placement();
            p.showCmd = show;
            p.rcNormalPosition = normal;
            ASSERT_TRUE(SetWindowPlacement(first.Get(), &p));
            EXPECT_EQ(store.Save(), 1);
        }
        Window second(300, 200);
        const WINDOWPLACEMENT before = second.Placement();
        CWindowPlacementStore store(HKEY_CURRENT_USER);
        EXPECT_EQ(store.Restore(key.Path(), second.Get()), 1);
        const WINDOWPLACEMENT after = second.Placement();
        EXPECT_EQ(Text(after.rcNormalPosition), Text(normal)) << "show " << show;
        EXPECT_EQ(after.showCmd, show);
        EXPECT_NE(Text(before.rcNormalPosition), Text(normal));
    }
}

TEST(WindowPlacementStore, RestoresOnlyOnTheSameScreenAndDefaultSize) {
    struct Case {
        const char* what;
        const char* changed;  // value changed after a complete save (null: none)
        DWORD value;
        bool restored;
    };
    const POINT screen = ScreenSize();
    const Case cases[] = {
        {"unchanged", nullptr, 0, true},
        {"another screen width", "ScreenWidth", static_cast<DWORD>(screen.x + 1), false},
        {"another screen height", "ScreenHeight", static_cast<DWORD>(screen.y - 1), false},
        {"another default width", "InitDefaultWidth", 1, false},
        {"another default height", "InitDefaultHeight", 1, false},
        {"no screen width", "ScreenWidth", 0, false},
    };
    for (const Case& c : cases) {
        TestKey key;
        Window window(300, 200);
        CWindowPlacementStore store(HKEY_CURRENT_USER);
        WriteSavedPlacement(store, key.Path(), window.Client(), 500, 400);
        if (c.changed) ASSERT_TRUE(store.WriteDword(key.Path(), c.changed, c.value));
        const RECT before = window.Placement().rcNormalPosition;
        store.Restore(key.Path(), window.Get());
        const RECT after = window.Placement().rcNormalPosition;
        const RECT saved = {210, 220, 710, 620};
        EXPECT_EQ(Text(after), Text(c.restored ? saved : before)) << c.what;
    }

    // A window whose default client size is 0 restores nothing, even when the
    // saved default size is 0 too.
    TestKey key;
    Window empty(0, 0, WS_POPUP);
    ASSERT_EQ(Text(empty.Client()), "0,0,0,0");
    CWindowPlacementStore store(HKEY_CURRENT_USER);
    WriteSavedPlacement(store, key.Path(), empty.Client(), 500, 400);
    const RECT before = empty.Placement().rcNormalPosition;
    store.Restore(key.Path(), empty.Get());
    EXPECT_EQ(Text(empty.Placement().rcNormalPosition), Text(before));
}

TEST(WindowPlacementStore, SavedSizeSmallerThanTheClientGivesTheClientSize) {
    TestKey key;
    Window window(300, 200);
    const RECT client = window.Client();
    CWindowPlacementStore store(HKEY_CURRENT_USER);
    WriteSavedPlacement(store, key.Path(), client, 50, 0);
    store.Restore(key.Path(), window.Get());
    const RECT expected = {210, 220, 210 + client.right, 220 + client.bottom};
    EXPECT_EQ(Text(window.Placement().rcNormalPosition), Text(expected));
}

TEST(WindowPlacementStore, NothingIsWrittenWithoutRootKeyOrSaving) {
    TestKey key;
    Window window(300, 200);
    CWindowPlacementStore notEnabled(HKEY_CURRENT_USER);
    EXPECT_EQ(notEnabled.Restore(key.Path(), window.Get()), 1);
    EXPECT_EQ(notEnabled.Save(), 0);
    EXPECT_FALSE(key.Exists());

    CWindowPlacementStore noRoot;
    noRoot.SetSaveEnabled(true);
    EXPECT_EQ(noRoot.Restore(key.Path(), window.Get()), 1);
    EXPECT_EQ(noRoot.Save(), 0);
    EXPECT_FALSE(key.Exists());

    // With both, everything is written: the sizes noted by Restore among them.
    CWindowPlacementStore store(HKEY_CURRENT_USER);
    store.SetSaveEnabled(true);
    store.Restore(key.Path(), window.Get());
    EXPECT_EQ(store.Save(), 1);
    EXPECT_EQ(store.ReadDword(key.Path(), "ScreenWidth", 0), static_cast<DWORD>(ScreenSize().x));
    EXPECT_EQ(store.ReadDword(key.Path(), "InitDefaultWidth", 0), static_cast<DWORD>(window.Client().right));
    EXPECT_EQ(store.ReadDword(key.Path(), "MaxY", 12345), static_cast<DWORD>(window.Placement().ptMaxPosition.y));
}

}  // namespace
