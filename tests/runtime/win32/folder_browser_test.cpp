// The picker dialog itself is modal and is not opened here; its callback is
// driven with a stand-in dialog window that records what it is sent.
#include "runtime/win32/folder_browser.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Sent {
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
    std::string text;  // the path of a selection by path
};

std::vector<Sent> g_sent;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == BFFM_ENABLEOK || message == BFFM_SETSELECTIONA) {
        Sent s{message, wparam, lparam, ""};
        if (message == BFFM_SETSELECTIONA && wparam) s.text = reinterpret_cast<const char*>(lparam);
        g_sent.push_back(s);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

class FolderBrowser : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc;
        ZeroMemory(&wc, sizeof wc);
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "FolderBrowserTestDialog";
        RegisterClassA(&wc);
        dialog_ = CreateWindowA("FolderBrowserTestDialog", "", 0, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(dialog_, nullptr);
        g_sent.clear();
    }
    void TearDown() override { DestroyWindow(dialog_); }

    std::string TempFolder() {
        char path[MAX_PATH];
        GetTempPathA(sizeof path, path);
        return path;  // ends in a backslash
    }

    HWND dialog_ = nullptr;
};

TEST_F(FolderBrowser, StartFolderKeepsItsTextWithoutTrailingBackslashes) {
    struct Case { const char* in; std::string out; };
    const Case cases[] = {
        {"C:\\games\\\\", "C:\\games"}, {"C:\\", "C:\\"}, {"C:\\\\", "C:\\"}, {"\\", "\\"},
        {"", ""}, {nullptr, ""}, {"relative", "relative"},
    };
    for (const Case& c : cases) {
        CFolderBrowser browser(c.in, nullptr);
        EXPECT_EQ(browser.GetFolder(), c.out) << (c.in ? c.in : "(null)");
    }
    std::string longName(400, 'x');
    CFolderBrowser browser(longName.c_str(), nullptr);
    EXPECT_EQ(std::string(browser.GetFolder()), std::string(MAX_PATH - 1, 'x'));
}

TEST_F(FolderBrowser, InitialisationSelectsOnlyAnExistingStartFolder) {
    std::string temp = TempFolder();
    std::string tempNoSlash = temp.substr(0, temp.size() - 1);
    struct Case { std::string folder; bool selects; };
    const Case cases[] = {
        {temp, true},
        {tempNoSlash + "\\no such folder 7f3a", false},
        {"", false},
    };
    for (const Case& c : cases) {
        CFolderBrowser browser(c.folder.c_str(), nullptr);
        g_sent.clear();
        EXPECT_EQ(CFolderBrowser::BrowseCallback(dialog_, BFFM_INITIALIZED, 0, reinterpret_cast<LPARAM>(&browser)), 0);
        size_t i = 0;
        if (c.selects) {
            ASSERT_GE(g_sent.size(), 1u);
            EXPECT_EQ(g_sent[0].message, static_cast<UINT>(BFFM_SETSELECTIONA));
            EXPECT_EQ(g_sent[0].wparam, static_cast<WPARAM>(TRUE));
            EXPECT_EQ(g_sent[0].text, tempNoSlash);
            i = 1;
        }
        ASSERT_EQ(g_sent.size(), i + 1) << c.folder;
        EXPECT_EQ(g_sent[i].message, static_cast<UINT>(BFFM_ENABLEOK));
        EXPECT_EQ(g_sent[i].lparam, c.selects ? 1 : 0) << c.folder;
    }
}

TEST_F(FolderBrowser, SelectionEnablesOkOnlyForFileSystemFolders) {
    CFolderBrowser browser("", nullptr);
    struct Case { int folder; LPARAM enabled; };
    const Case cases[] = {{CSIDL_WINDOWS, 1}, {CSIDL_DRIVES, 0}};
    for (const Case& c : cases) {
        LPITEMIDLIST item = nullptr;
        ASSERT_TRUE(SUCCEEDED(SHGetSpecialFolderLocation(nullptr, c.folder, &item))) << c.folder;
        g_sent.clear();
        CFolderBrowser::BrowseCallback(dialog_, BFFM_SELCHANGED, reinterpret_cast<LPARAM>(item),
                                       reinterpret_cast<LPARAM>(&browser));
        CoTaskMemFree(item);
        ASSERT_EQ(g_sent.size(), 1u);
        EXPECT_EQ(g_sent[0].message, static_cast<UINT>(BFFM_ENABLEOK));
        EXPECT_EQ(g_sent[0].lparam, c.enabled) << c.folder;
    }
}

}  // namespace
