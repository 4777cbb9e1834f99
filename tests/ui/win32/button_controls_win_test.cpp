// Buttons, check boxes, radio buttons, group boxes and static texts against
// the real controls: clicks (BM_CLICK, mouse messages) reach the parent
// window's procedure and its hooks, which queue the script events; styles
// and colours are read back from the windows.
#include "runtime/interp/event_queue.h"
#include "tests/graphics2d/loaded_interpreter.h"
#include "ui/ci_button_controls.h"
#include "ui/ci_check_box_members.h"
#include "ui/ci_radio_button_members.h"
#include "ui/ci_static_text.h"
#include "ui/image_button_face.h"
#include "graphics2d/ci_surface.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

using Events = std::vector<std::pair<CFunctionRecord*, int32_t>>;

class ButtonWin : public LoadedInterpreterTest {
protected:
    void SetUp() override {
        LoadedInterpreterTest::SetUp();
        ASSERT_EQ(RegisterMainWindowClass(), 1);
        m_window = dynamic_cast<CIWindow*>(New(kClassWindow, {300, 200, "controls"}));
        ASSERT_NE(m_window, nullptr);
    }
    void TearDown() override {
        m_interp.ClearEvents();
        LoadedInterpreterTest::TearDown();
    }
    template <class T>
    T* NewControl(uint32_t classId, std::initializer_list<CallArg> args) {
        T* control = dynamic_cast<T*>(New(classId, args));
        m_interp.RefreshAll();
        return control;
    }
    static HWND H(CIChildWindow* c) { return static_cast<HWND>(c->m_window); }
    Events TakeEvents() {
        Events events;
        CEventQueue& queue = m_interp.m_events;
        while (CEventRecord* r = queue.GetPending()) {
            events.emplace_back(r->handler, r->argCount > 1 ? r->args[r->argCount - 1].GetInt() : -1);
            queue.Remove(queue.GetCursor(), r->serial);
        }
        return events;
    }
    CIWindow* m_window = nullptr;
    CFunctionRecord m_click{}, m_check{}, m_other{};
};

TEST_F(ButtonWin, RealClicksReachTheHandlers) {
    auto* b = NewControl<CIButton>(kClassButton, {"Press"});
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(GetParent(H(b)), static_cast<HWND>(m_window->m_window));
    EXPECT_TRUE(IsWindowVisible(H(b)));
    b->m_handlers[CINotifyControl::kOnClick] = &m_click;
    SendMessageA(H(b), BM_CLICK, 0, 0);
    EXPECT_EQ(TakeEvents(), (Events{{&m_click, -1}}));

    auto* c = NewControl<CICheckBox>(kClassCheckBox, {"Check"});
    c->m_handlers[CINotifyControl::kOnClick] = &m_click;
    c->m_handlers[CINotifyControl::kOnCheck] = &m_check;
    SendMessageA(H(c), BM_CLICK, 0, 0);
    EXPECT_EQ(TakeEvents(), (Events{{&m_click, -1}, {&m_check, 1}}));
    EXPECT_EQ(Int(c, kCheckBoxIsChecked), 1);
    Call(c, kCheckBoxSetCheck, {1});
    EXPECT_TRUE(TakeEvents().empty());
    SendMessageA(H(c), BM_CLICK, 0, 0);
    EXPECT_EQ(TakeEvents(), (Events{{&m_click, -1}, {&m_check, 0}}));
}

TEST_F(ButtonWin, RadioClicksFollowTheGroupRule) {
    auto* a = NewControl<CIRadioButton>(kClassRadioButton, {"a", 10, 10});
    auto* b = NewControl<CIRadioButton>(kClassRadioButton, {"b", 10, 50});
    a->m_handlers[CINotifyControl::kOnCheck] = &m_other;
    b->m_handlers[CINotifyControl::kOnCheck] = &m_check;
    Call(a, kRadioButtonSetCheck);
    TakeEvents();
    SendMessageA(H(b), BM_CLICK, 0, 0);
    EXPECT_EQ(TakeEvents(), (Events{{&m_other, 0}, {&m_check, 1}}));
    EXPECT_EQ(SendMessageA(H(a), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(H(b), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(ButtonWin, StylesAndColours) {
    const uint32_t kBorder = 0xDEB00006, kRightButton = 0xAAD00002;
    auto* g = NewControl<CIGroupBox>(kClassGroupBox, {"group", kBorder});
    EXPECT_EQ(GetWindowLongA(H(g), GWL_STYLE) & (WS_BORDER | 0xF), BS_GROUPBOX);
    EXPECT_NE(GetWindowLongA(H(g), GWL_EXSTYLE) & WS_EX_TRANSPARENT, 0);
    auto* c = NewControl<CICheckBox>(kClassCheckBox, {"c", kRightButton});
    EXPECT_EQ(GetWindowLongA(H(c), GWL_STYLE) & 0xFF, BS_AUTOCHECKBOX | BS_RIGHTBUTTON);
    // WM_CTLCOLORBTN answers the control's brush with its colours set.
    c->SetColorValue(RGB(1, 2, 3));
    c->SetBackColorValue(RGB(4, 5, 6));
    HDC dc = GetDC(H(c));
    const LRESULT brush = SendMessageA(static_cast<HWND>(m_window->m_window), WM_CTLCOLORBTN,
                                       reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(H(c)));
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(c->m_brush));
    EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
    EXPECT_EQ(GetBkColor(dc), RGB(4, 5, 6));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    ReleaseDC(H(c), dc);
}

TEST_F(ButtonWin, StaticTextClicks) {
    auto* t = NewControl<CIStaticText>(kClassStaticText, {"label"});
    ASSERT_NE(t, nullptr);
    char cls[16] = {};
    GetClassNameA(H(t), cls, sizeof cls);
    EXPECT_EQ(lstrcmpiA(cls, "Static"), 0);
    EXPECT_EQ(GetWindowLongA(H(t), GWL_STYLE) & SS_NOTIFY, SS_NOTIFY);
    t->m_handlers[CINotifyControl::kOnClick] = &m_click;
    SendMessageA(H(t), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(H(t), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(TakeEvents(), (Events{{&m_click, -1}}));
    m_interp.RefreshAll();  // the static texts' repaint at the end of the pass
}

// The client pixels of a window (0x00RRGGBB), read from its device context.
std::vector<uint32_t> Pixels(HDC source, int w, int h) {
    HDC mem = CreateCompatibleDC(source);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, source, 0, 0, SRCCOPY);
    GdiFlush();
    std::vector<uint32_t> out(static_cast<const uint32_t*>(bits), static_cast<const uint32_t*>(bits) + w * h);
    for (uint32_t& p : out) p &= 0xFFFFFF;
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    return out;
}

uint32_t Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// The face an image button must show, computed on its own: the push-button
// frame, then the opaque pixels of the image (a red left half, a transparent
// right half) at the rectangle of the face geometry, or greyed.
std::vector<uint32_t> ExpectedFace(int w, int h, int iw, int ih, bool greyed) {
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT r = {0, 0, w, h};
    DrawFrameControl(mem, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
    std::vector<uint32_t> out = Pixels(mem, w, h);
    CRect at;
    EXPECT_TRUE(ImageFaceRect(iw, ih, CRect(r), false, &at));
    auto opaque = [&](int x, int y) { return x >= at.left && x < at.left + at.Width() / 2 && y >= at.top && y < at.bottom; };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!greyed && opaque(x, y)) out[y * w + x] = 0xFF0000;
            if (greyed && opaque(x - 1, y - 1) && x < r.right && y < r.bottom) out[y * w + x] = Rgb(GetSysColor(COLOR_3DHILIGHT));
        }
    for (int y = 0; greyed && y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (opaque(x, y)) out[y * w + x] = Rgb(GetSysColor(COLOR_3DSHADOW));
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return out;
}

TEST_F(ButtonWin, ImageButtonFaceIsDrawnOnItsFrame) {
    CIBaseClassImpl* image = New(kClassSurface, {8, 4});
    ASSERT_NE(image, nullptr);
    CSurface* picture = static_cast<CISurface*>(image)->GetPicture();
    picture->Clear(0);
    picture->FillRect(0, 0, 4, 4, RGB(255, 0, 0));
    auto* b = NewControl<CIButton>(kClassButton, {"", 10, 10, 40, 30, image});
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(GetWindowLongA(H(b), GWL_STYLE) & 0xF, BS_OWNERDRAW);
    for (bool disabled : {false, true}) {
        EnableWindow(H(b), disabled ? FALSE : TRUE);
        RedrawWindow(H(b), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        HDC dc = GetDC(H(b));
        const std::vector<uint32_t> shown = Pixels(dc, 40, 30);
        ReleaseDC(H(b), dc);
        const std::vector<uint32_t> expected = ExpectedFace(40, 30, 8, 4, disabled);
        int differ = 0;
        for (size_t i = 0; i < shown.size(); ++i) differ += shown[i] != expected[i];
        EXPECT_EQ(differ, 0) << (disabled ? "disabled" : "enabled") << ": first at "
                             << [&] { for (size_t i = 0; i < shown.size(); ++i) if (shown[i] != expected[i]) return i; return shown.size(); }();
    }
}

}  // namespace

