#include "runtime/win32/display_utils.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

struct SeenMonitor {
    HMONITOR monitor;
    RECT rect;
};

BOOL CALLBACK RecordMonitor(HMONITOR monitor, HDC, LPRECT rect, LPARAM data) {
    reinterpret_cast<std::vector<SeenMonitor>*>(data)->push_back(SeenMonitor{monitor, *rect});
    return TRUE;
}

RECT Screen() {
    RECT r = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return r;
}

TEST(DisplayUtils, ScreenDepthIsARealDepth) {
    int bits = GetScreenBitsPerPixel();
    EXPECT_TRUE(bits == 8 || bits == 15 || bits == 16 || bits == 24 || bits == 32) << bits;
}

TEST(DisplayUtils, VirtualScreenHoldsThePrimaryMonitor) {
    RECT virt;
    GetVirtualScreenRect(&virt);
    EXPECT_FALSE(IsRectEmpty(&virt));
    RECT screen = Screen(), both;
    IntersectRect(&both, &virt, &screen);
    EXPECT_TRUE(EqualRect(&both, &screen)) << virt.left << "," << virt.top << "," << virt.right << "," << virt.bottom;
}

TEST(DisplayUtils, MultiMonitorApiAnswersFromTheFirstLoad) {
    int first = LoadMultiMonitorApi();
    EXPECT_EQ(first, 1);  // every system the product still meets has them
    EXPECT_EQ(LoadMultiMonitorApi(), first);

    POINT origin = {0, 0};
    HMONITOR primary = MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    ASSERT_TRUE(MonitorInfoFallback(primary, &info));
    EXPECT_TRUE(info.dwFlags & MONITORINFOF_PRIMARY);
    EXPECT_FALSE(IsRectEmpty(&info.rcMonitor));

    std::vector<SeenMonitor> seen;
    EXPECT_TRUE(EnumDisplayMonitorsFallback(nullptr, nullptr, RecordMonitor, reinterpret_cast<LPARAM>(&seen)));
    EXPECT_GE(seen.size(), 1u);
}

TEST(DisplayUtils, PrimaryOnlyMonitorInfoBySize) {
    struct Case { DWORD size; BOOL ok; bool named; };
    const Case cases[] = {
        {sizeof(MONITORINFO) - 1, FALSE, false},
        {sizeof(MONITORINFO), TRUE, false},
        {sizeof(MONITORINFOEXA), TRUE, true},
    };
    RECT screen = Screen();
    for (const Case& c : cases) {
        MONITORINFOEXA info;
        std::memset(&info, 0x5A, sizeof info);
        info.cbSize = c.size;
        EXPECT_EQ(MonitorInfoPrimaryOnly(kPrimaryMonitorStandIn, &info), c.ok) << c.size;
        if (!c.ok) continue;
        EXPECT_TRUE(EqualRect(&info.rcMonitor, &screen));
        EXPECT_EQ(info.dwFlags, static_cast<DWORD>(MONITORINFOF_PRIMARY));
        RECT work;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        EXPECT_TRUE(EqualRect(&info.rcWork, &work));
        if (c.named) {
            EXPECT_STREQ(info.szDevice, "DISPLAY");
        } else {
            EXPECT_EQ(static_cast<unsigned char>(info.szDevice[0]), 0x5A);  // past the given size: untouched
        }
    }
    MONITORINFO info;
    info.cbSize = sizeof info;
    POINT origin = {0, 0};
    EXPECT_FALSE(MonitorInfoPrimaryOnly(MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY), &info));
}

TEST(DisplayUtils, PrimaryOnlyEnumerationClipsTheScreen) {
    RECT screen = Screen();
    RECT inside = {10, 20, 30, 40};
    RECT straddling = {screen.right - 5, 0, screen.right + 50, 10};
    RECT outside = {screen.right + 10, 0, screen.right + 20, 10};
    RECT cut = {screen.right - 5, 0, screen.right, 10};
    struct Case { const RECT* clip; bool called; RECT expect; };
    const Case cases[] = {
        {nullptr, true, screen}, {&inside, true, inside}, {&straddling, true, cut}, {&outside, false, RECT()},
    };
    for (const Case& c : cases) {
        std::vector<SeenMonitor> seen;
        EXPECT_TRUE(EnumDisplayMonitorsPrimaryOnly(nullptr, c.clip, RecordMonitor, reinterpret_cast<LPARAM>(&seen)));
        ASSERT_EQ(seen.size(), c.called ? 1u : 0u);
        if (!c.called) continue;
        EXPECT_EQ(seen[0].monitor, kPrimaryMonitorStandIn);
        EXPECT_TRUE(EqualRect(&seen[0].rect, &c.expect))
            << seen[0].rect.left << "," << seen[0].rect.top << "," << seen[0].rect.right << "," << seen[0].rect.bottom;
    }
    EXPECT_FALSE(EnumDisplayMonitorsPrimaryOnly(nullptr, nullptr, nullptr, 0));

    // A screen DC clips to the screen itself; an empty clip region gives no call.
    HDC dc = GetDC(nullptr);
    std::vector<SeenMonitor> seen;
    EXPECT_TRUE(EnumDisplayMonitorsPrimaryOnly(dc, &inside, RecordMonitor, reinterpret_cast<LPARAM>(&seen)));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(EqualRect(&seen[0].rect, &inside));
    HRGN none = CreateRectRgn(0, 0, 0, 0);
    SelectClipRgn(dc, none);
    seen.clear();
    EXPECT_TRUE(EnumDisplayMonitorsPrimaryOnly(dc, nullptr, RecordMonitor, reinterpret_cast<LPARAM>(&seen)));
    EXPECT_TRUE(seen.empty());
    SelectClipRgn(dc, nullptr);
    DeleteObject(none);
    ReleaseDC(nullptr, dc);
}

}  // namespace
