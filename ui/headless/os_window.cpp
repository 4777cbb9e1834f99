// The native build's windows: plain records (position, size, styles, text,
// visibility, enabled state, the object property) with a focus and capture
// of their own, so that the window classes run under the native tests. No
// frame: a window's outer size is its client size. The screen is 1024 × 768.
#include "ui/os_window.h"

#include "ui/os_menu.h"

#include <map>
#include <memory>
#include <set>

namespace {

struct Record {
    uint32_t style = 0, exStyle = 0;
    std::string text;
    CRect rect;
    bool visible = false, enabled = true;
    int32_t showCommand = 0;
    void* parent = nullptr;
    void* object = nullptr;
    void* menu = nullptr;  // a menu bar goes with its window
};

std::set<Record*>& Windows() {
    static std::set<Record*> windows;
    return windows;
}

Record* Find(void* window) {
    auto* r = static_cast<Record*>(window);
    return Windows().count(r) ? r : nullptr;
}

void* g_focus = nullptr;
void* g_capture = nullptr;
void* g_active = nullptr;
Record g_desktop;
constexpr int32_t kScreenWidth = 1024, kScreenHeight = 768;

}  // namespace

const char kMainWindowClass[] = "3DQMainClass";

void* OsCreateWindow(const OsWindowSpec& spec) {
    auto* r = new Record;
    r->style = spec.style;
    r->exStyle = spec.exStyle;
    r->text = spec.text != nullptr ? spec.text : "";
    const int32_t x = spec.x == INT32_MIN ? 0 : spec.x, y = spec.y == INT32_MIN ? 0 : spec.y;
    r->rect = CRect(x, y, x + spec.width, y + spec.height);
    r->visible = (spec.style & kWsVisible) != 0;
    r->parent = spec.parent;
    Windows().insert(r);
    return r;
}

void OsDestroyWindow(void* window) {
    Record* r = Find(window);
    if (r == nullptr)
        return;
    Windows().erase(r);
    if (g_focus == window) g_focus = nullptr;
    if (g_capture == window) g_capture = nullptr;
    if (g_active == window) g_active = nullptr;
    if (r->menu != nullptr)
        OsDestroyMenu(r->menu);
    delete r;
}

bool OsIsWindow(void* window) { return Find(window) != nullptr; }

void OsShowWindow(void* window, int32_t command) {
    Record* r = Find(window);
    if (r == nullptr)
        return;
    r->showCommand = command;
    r->visible = command != kSwHide;
    if (command == kSwShowMaximized)
        r->style |= kWsMaximize;
    if (command == kSwRestore || command == kSwShowNormal)
        r->style &= ~(kWsMaximize | kWsMinimize);
    if (command == kSwMinimize)
        r->style |= kWsMinimize;
}

void OsSetWindowPos(void* window, intptr_t, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t flags) {
    Record* r = Find(window);
    if (r == nullptr)
        return;
    if (!(flags & kSwpNoMove))
        r->rect = CRect(x, y, x + r->rect.Width(), y + r->rect.Height());
    if (!(flags & kSwpNoSize))
        r->rect = CRect(r->rect.left, r->rect.top, r->rect.left + width, r->rect.top + height);
}

bool OsIsWindowVisible(void* window) { Record* r = Find(window); return r != nullptr && r->visible; }
bool OsIsWindowEnabled(void* window) { Record* r = Find(window); return r != nullptr && r->enabled; }
void OsEnableWindow(void* window, bool enable) { if (Record* r = Find(window)) r->enabled = enable; }
bool OsIsZoomed(void* window) { Record* r = Find(window); return r != nullptr && (r->style & kWsMaximize); }
bool OsIsIconic(void* window) { Record* r = Find(window); return r != nullptr && (r->style & kWsMinimize); }
void OsSetWindowText(void* window, const char* text) { if (Record* r = Find(window)) r->text = text; }
std::string OsGetWindowText(void* window) { Record* r = Find(window); return r != nullptr ? r->text : std::string(); }

void OsSetWindowStyle(void* window, bool style, uint32_t value) {
    if (Record* r = Find(window))
        (style ? r->style : r->exStyle) = value;
}

uint32_t OsGetWindowStyle(void* window, bool style) {
    Record* r = Find(window);
    return r == nullptr ? 0 : style ? r->style : r->exStyle;
}

void OsInvalidateWindow(void*, bool) {}
void OsSetWindowFont(void*, void*) {}

bool OsGetWindowRect(void* window, CRect* rect) {
    if (window == &g_desktop) {
        *rect = CRect(0, 0, kScreenWidth, kScreenHeight);
        return true;
    }
    Record* r = Find(window);
    if (r == nullptr)
        return false;
    *rect = r->rect;
    return true;
}

bool OsGetWindowClientRect(void* window, CRect* rect) {
    Record* r = Find(window);
    if (r == nullptr)
        return false;
    *rect = CRect(0, 0, r->rect.Width(), r->rect.Height());
    return true;
}

void* OsGetDesktopWindow() { return &g_desktop; }
void* OsGetActiveWindow() { return g_active; }
void OsActivateWindow(void* window) { if (Find(window)) g_active = window; }
void* OsGetFocus() { return g_focus; }
void OsSetFocus(void* window) { if (Find(window)) g_focus = window; }
void OsAdjustWindowRect(CRect*, uint32_t, bool, uint32_t) {}

void OsGetScreenSize(int32_t* width, int32_t* height) {
    *width = kScreenWidth;
    *height = kScreenHeight;
}

uint32_t OsGetSysColor(int32_t index) {
    switch (index) {
    case kColorWindow: return 0xFFFFFF;
    case kColor3DFace: return 0xC0C0C0;
    default: return 0;
    }
}

void OsSetObjectProperty(void* window, void* object) { if (Record* r = Find(window)) r->object = object; }
void* OsGetObjectProperty(void* window) { Record* r = Find(window); return r != nullptr ? r->object : nullptr; }
void OsRemoveObjectProperty(void* window) { if (Record* r = Find(window)) r->object = nullptr; }

void OsGetCursorPos(int32_t* x, int32_t* y) { *x = *y = 0; }

void OsClientToScreen(void* window, int32_t* x, int32_t* y) {
    if (Record* r = Find(window)) {
        *x += r->rect.left;
        *y += r->rect.top;
    }
}

void OsScreenToClient(void* window, int32_t* x, int32_t* y) {
    if (Record* r = Find(window)) {
        *x -= r->rect.left;
        *y -= r->rect.top;
    }
}

bool OsIsShiftDown() { return false; }
void OsSetCapture(void* window) { g_capture = window; }
void OsReleaseCapture() { g_capture = nullptr; }
void* OsGetCapture() { return g_capture; }
void OsDragAcceptFiles(void*, bool) {}
void OsFlashWindow(void*, bool) {}
void OsEnableCloseBox(void*, bool) {}
void OsSetWindowMenu(void* window, void* menu) { if (Record* r = Find(window)) r->menu = menu; }

// Brushes, cursors and icons are tokens here.
void* OsCreateSolidBrush(uint32_t) { return new int(0); }
void OsDeleteBrush(void* brush) { delete static_cast<int*>(brush); }

void OsGetTextExtent(void*, void*, const char* text, int32_t* cx, int32_t* cy) {
    *cx = static_cast<int32_t>(std::string(text).size()) * 8;
    *cy = 16;
}

void* OsLoadShapeCursor(int32_t shape) {
    static int shapes[11];
    return shape >= 0 && shape <= 10 ? &shapes[shape] : nullptr;
}
void OsShowCursorNow(void*) {}
void OsDestroyCursor(void*) {}
void* OsSetWindowIcon(void*, bool, void*) { return nullptr; }
void OsDestroyIcon(void*) {}

int32_t OsRegisterMainWindowClass() { return 1; }
