// The window class over real windows, in process: the window procedure's
// messages and its error boundary, drops, the deferred changes' single
// SetWindowPos per pass, and the runner's main-window rule.
#include "runtime/runner/runner.h"
#include "tests/ui/window_fixture.h"
#include "ui/ci_window_members.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>

namespace {

int g_positionChanges = 0;

intptr_t CountPositionChanges(int32_t*, void*, uint32_t message, uintptr_t, intptr_t) {
    if (message == WM_WINDOWPOSCHANGED)
        ++g_positionChanges;
    return 0;
}

CFunctionRecord g_handler{};

class Win32WindowTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_EQ(RegisterMainWindowClass(), 1);
    }
    HWND H(CIWindow* w) { return static_cast<HWND>(w->m_window); }
};

TEST_F(Win32WindowTest, ClientSizeClassAndFrame) {
    CIWindow* w = NewWindow({400, 300, "Title"});
    ASSERT_NE(w, nullptr);
    RECT client;
    GetClientRect(H(w), &client);
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 300);
    char cls[64] = {};
    GetClassNameA(H(w), cls, sizeof cls);
    EXPECT_STREQ(cls, "3DQMainClass");
    EXPECT_GT(Int(w, kWindowGetTopBorderSize), 0);  // the caption
    EXPECT_TRUE(IsWindowVisible(H(w)));
    EXPECT_EQ(GetPropA(H(w), "iobj"), static_cast<HANDLE>(static_cast<CIChildWindow*>(w)));
}

TEST_F(Win32WindowTest, DeferredChangesMakeOneSetWindowPosPerPass) {
    CIWindow* w = NewWindow({200, 100, 10, 10});
    m_interp.RefreshAll();
    w->AddMessageHook(&CountPositionChanges);
    g_positionChanges = 0;
    Call(w, kWindowSetPosition, {30, 40});
    Call(w, kWindowSetSize, {220, 120});
    Call(w, kWindowToBack);
    EXPECT_EQ(g_positionChanges, 0);
    m_interp.RefreshAll();
    EXPECT_EQ(g_positionChanges, 1);
    RECT r;
    GetWindowRect(H(w), &r);
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.top, 40);
    Call(w, kWindowSetPosition, {50, 60, 1});
    EXPECT_EQ(g_positionChanges, 2);  // immediate
}

TEST_F(Win32WindowTest, DropsPostOneEventPerFile) {
    CIWindow* w = NewWindow({200, 100});
    w->m_handlers[CIWindow::kOnDropFile] = &g_handler;
    const char files[] = "C:\\a.txt\0C:\\b.txt\0C:\\c.txt\0";
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + sizeof files);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->pt.x = 5;
    drop->pt.y = 6;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), files, sizeof files);
    GlobalUnlock(memory);
    const int32_t before = m_interp.CountEvents();
    EXPECT_EQ(SendMessageA(H(w), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0), 1);
    EXPECT_EQ(m_interp.CountEvents(), before + 3);
}

TEST_F(Win32WindowTest, ErrorsInsideTheWindowProcedureBecomeThePendingError) {
    CIWindow* w = NewWindow({200, 100});
    m_interp.RefreshAll();
    // A tick inside WM_SIZING raises the pending error; it must not unwind
    // through user32, and comes back as the pending error.
    m_interp.m_pendingError = 77;
    RECT r;
    GetWindowRect(H(w), &r);
    r.right += 40;
    EXPECT_NO_FATAL_FAILURE(SendMessageA(H(w), WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&r)));
    EXPECT_EQ(m_interp.m_pendingError, 77);
    m_interp.m_pendingError = -1;
    // A full event queue inside the procedure is kept the same way (61).
    m_interp.m_eventLimit = 0;
    SendMessageA(H(w), WM_LBUTTONDOWN, 0, 0);  // no handler: nothing posted
    w->m_handlers[CIWindow::kOnMouseDown] = &g_handler;
    SendMessageA(H(w), WM_LBUTTONDOWN, 0, 0);
    SendMessageA(H(w), WM_LBUTTONDOWN, 0, 0);
    EXPECT_EQ(m_interp.m_pendingError, 61);
    m_interp.m_pendingError = -1;
    m_interp.m_eventLimit = 128;
}

TEST_F(Win32WindowTest, CloseBoxHonoursAutoClose) {
    CIWindow* w = NewWindow({200, 100});
    HWND hwnd = H(w);
    w->m_handlers[CIWindow::kOnClose] = &g_handler;
    Call(w, kWindowSetAutoClose, {0});
    SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(m_interp.CountEvents(), 1);
    SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(m_interp.CountEvents(), 1);  // coalesced
    m_interp.ClearEvents();
    w->m_handlers[CIWindow::kOnClose] = nullptr;
    Call(w, kWindowSetAutoClose, {1});
    m_interp.m_pendingError = -1;
    SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    // WM_DESTROY deleted the object without destroying the window twice, and
    // with no window left the run ends.
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(m_interp.CountInstances(kClassWindow), 0);
    EXPECT_EQ(m_interp.m_pendingError, 0);
    m_interp.m_pendingError = -1;
    // Messages for the gone window's handle find no object.
    EXPECT_EQ(SendMessageA(hwnd, WM_SIZE, 0, 0), 0);
}

TEST_F(Win32WindowTest, FocusWalkOnRealControls) {
    CIWindow* w = NewWindow({300, 200});
    auto* a = new TestControl(&m_interp, w, true);
    new TestControl(&m_interp, w, false);
    auto* c = new TestControl(&m_interp, w, true);
    SetForegroundWindow(H(w));
    EXPECT_EQ(w->FocusLastControl(), 1);
    EXPECT_EQ(GetFocus(), static_cast<HWND>(c->m_window));
    w->FocusNextControl(c);
    EXPECT_EQ(GetFocus(), static_cast<HWND>(a->m_window));
    w->FocusPreviousControl(a);
    EXPECT_EQ(GetFocus(), static_cast<HWND>(c->m_window));
}

TEST_F(Win32WindowTest, OneMainWindowUnderAHost) {
    CRunner runner;
    HWND host = CreateWindowA("STATIC", "host", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    runner.m_parentWindow = host;
    m_interp.m_runner = &runner;
    CIWindow* first = NewWindow({100, 100});
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(runner.m_mainWindow, first->m_window);
    EXPECT_EQ(NewError(kClassWindow, {100, 100}), 8);
    EXPECT_NE(NewWindow({100, 100, first}), nullptr);  // a child window is not a main window
    m_interp.ReleaseAll();
    EXPECT_EQ(runner.m_mainWindow, nullptr);
    m_interp.m_runner = nullptr;
    runner.m_parentWindow = nullptr;
    DestroyWindow(host);
}

// A cursor made from a surface keeps the hot spot given ("SetCursor"), and the
// window shows it on WM_SETCURSOR. (A launcher in another process cannot read
// the cursor's icon information under Wine, so this is checked here.)
TEST_F(Win32WindowTest, CursorFromASurfaceKeepsItsHotSpot) {
    CIWindow* w = NewWindow({100, 80});
    CIBaseClassImpl* image = New(kClassSurface, {16, 16});
    ASSERT_NE(image, nullptr);
    Call(w, kWindowSetCursor, {image, 0, 3, 5});
    ASSERT_NE(w->m_cursor, nullptr);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(static_cast<HCURSOR>(w->m_cursor), &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 3u);
    EXPECT_EQ(info.yHotspot, 5u);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(SendMessageA(H(w), WM_SETCURSOR, reinterpret_cast<WPARAM>(H(w)), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), 1);
    EXPECT_EQ(GetCursor(), static_cast<HCURSOR>(w->m_cursor));
}

}  // namespace

