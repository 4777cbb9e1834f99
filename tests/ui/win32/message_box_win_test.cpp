// The message box class against real message boxes: a helper thread finds
// the box, reads its buttons, default button and icon, and presses one button
// (the notification its click sends), so that the member answers a real press.
#include "tests/graphics2d/loaded_interpreter.h"
#include "ui/ci_message_box.h"
#include "ui/ci_message_box_members.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace {

struct SeenBox {
    std::string text;
    std::vector<std::string> buttons;  // texts without '&'
    int defaultId = 0;
    HICON icon = nullptr;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM data) {
    auto* seen = reinterpret_cast<SeenBox*>(data);
    char cls[32] = {}, text[256] = {};
    GetClassNameA(child, cls, sizeof cls);
    GetWindowTextA(child, text, sizeof text);
    std::string clean;
    for (const char* p = text; *p != 0; ++p)
        if (*p != '&')
            clean += *p;
    if (lstrcmpiA(cls, "Button") == 0) {
        seen->buttons.push_back(clean);
    } else if (lstrcmpiA(cls, "Static") == 0) {
        if (HICON icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0)))
            seen->icon = icon;
        else if (!clean.empty())
            seen->text = clean;
    }
    return TRUE;
}

// Waits for the box titled `caption` (up to 30 s: a loaded machine is slow to
// show it), records it and presses `press`.
std::thread PressOnBox(const char* caption, std::string press, SeenBox* seen) {
    return std::thread([caption, press, seen] {
        HWND box = nullptr;
        for (int i = 0; i < 3000 && box == nullptr; ++i) {
            box = FindWindowA("#32770", caption);
            if (box == nullptr)
                Sleep(10);
        }
        // The box is shown once its initialisation (default button, icon) is done.
        for (int i = 0; i < 3000 && box != nullptr && !IsWindowVisible(box); ++i)
            Sleep(10);
        if (box == nullptr)
            return;
        EnumChildWindows(box, CollectChild, reinterpret_cast<LPARAM>(seen));
        // The default button is the one drawn as default (Wine's DM_GETDEFID
        // answers IDOK whatever the box's default is).
        for (HWND b = GetWindow(box, GW_CHILD); b != nullptr; b = GetWindow(b, GW_HWNDNEXT))
            if ((GetWindowLongA(b, GWL_STYLE) & 0xF) == BS_DEFPUSHBUTTON)
                seen->defaultId = GetDlgCtrlID(b);
        for (HWND b = GetWindow(box, GW_CHILD); b != nullptr; b = GetWindow(b, GW_HWNDNEXT)) {
            char text[64] = {};
            GetWindowTextA(b, text, sizeof text);
            std::string clean;
            for (const char* p = text; *p != 0; ++p)
                if (*p != '&')
                    clean += *p;
            if (clean == press) {
                // The button's own notification, as a click sends it: BM_CLICK
                // goes through the mouse capture, which a loaded Wine could
                // hand to another window between button down and up.
                PostMessageA(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(b), BN_CLICKED), reinterpret_cast<LPARAM>(b));
                return;
            }
        }
        PostMessageA(box, WM_CLOSE, 0, 0);
    });
}

class MessageBoxWin : public LoadedInterpreterTest {};

TEST_F(MessageBoxWin, RealPressesAnswerEachButtonId) {
    auto* box = dynamic_cast<CIMessageBox*>(New(kClassMessageBox));
    ASSERT_NE(box, nullptr);
    const struct {
        int32_t member;
        const char* press;
        int32_t answer;
        std::vector<std::string> buttons;
    } kCases[] = {
        {kMessageBoxOkBox, "OK", IDOK, {"OK"}},
        {kMessageBoxOkCancelBox, "Cancel", IDCANCEL, {"OK", "Cancel"}},
        {kMessageBoxAbortRetryIgnoreBox, "Abort", IDABORT, {"Abort", "Retry", "Ignore"}},
        {kMessageBoxAbortRetryIgnoreBox, "Retry", IDRETRY, {"Abort", "Retry", "Ignore"}},
        {kMessageBoxAbortRetryIgnoreBox, "Ignore", IDIGNORE, {"Abort", "Retry", "Ignore"}},
        {kMessageBoxRetryCancelBox, "Retry", IDRETRY, {"Retry", "Cancel"}},
        {kMessageBoxYesNoBox, "Yes", IDYES, {"Yes", "No"}},
        {kMessageBoxYesNoCancelBox, "No", IDNO, {"Yes", "No", "Cancel"}},
    };
    for (const auto& c : kCases) {
        SeenBox seen;
        std::thread presser = PressOnBox("tw box", c.press, &seen);
        const int32_t answer = Int(box, c.member, {"Question?", "tw box"});
        presser.join();
        EXPECT_EQ(answer, c.answer) << c.press;
        EXPECT_EQ(seen.buttons, c.buttons) << c.press;
        EXPECT_EQ(seen.text, "Question?");
    }
}

TEST_F(MessageBoxWin, DefaultButtonAndIconReachTheBox) {
    auto* box = dynamic_cast<CIMessageBox*>(New(kClassMessageBox));
    const struct { int32_t button; int defaultId; } kDefaults[] = {{1, IDYES}, {2, IDNO}, {3, IDCANCEL}, {5, IDYES}};
    for (const auto& c : kDefaults) {
        Call(box, kMessageBoxSetDefaultButton, {c.button});
        SeenBox seen;
        std::thread presser = PressOnBox("tw default", "Cancel", &seen);
        EXPECT_EQ(Int(box, kMessageBoxYesNoCancelBox, {"t", "tw default"}), IDCANCEL);
        presser.join();
        EXPECT_EQ(seen.defaultId, c.defaultId) << c.button;
    }
    // A stored information icon, overridden by a stop icon for one call.
    Call(box, kMessageBoxSetDefaultButton, {1});
    Call(box, kMessageBoxSetIcon, {64});
    const struct { int32_t callIcon; LPCSTR icon; } kIcons[] = {{0, IDI_ASTERISK}, {16, IDI_HAND}, {0, IDI_ASTERISK}};
    for (const auto& c : kIcons) {
        SeenBox seen;
        std::thread presser = PressOnBox("tw icon", "OK", &seen);
        Call(box, kMessageBoxOkBox, {"t", "tw icon", c.callIcon});
        presser.join();
        EXPECT_EQ(seen.icon, LoadIconA(nullptr, c.icon));
    }
}

}  // namespace
