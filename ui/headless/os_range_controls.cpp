// Without a window system scroll bars are records of range, page and
// position, clamped as Windows clamps them; metrics are the standard ones at
// 96 dots per inch; an up-down control is a plain window record.
#include "ui/os_range_controls.h"

#include "ui/os_window.h"

#include <algorithm>
#include <map>
#include <utility>

namespace {

std::map<std::pair<void*, int32_t>, OsScrollInfo>& Bars() {
    static std::map<std::pair<void*, int32_t>, OsScrollInfo> bars;
    return bars;
}

int32_t Clamp(const OsScrollInfo& info, int32_t pos) {
    const int32_t page = info.page > 0 ? static_cast<int32_t>(info.page) - 1 : 0;
    const int32_t high = std::max(info.min, info.max - page);
    return std::min(std::max(pos, info.min), high);
}

}  // namespace

void OsSetScrollInfo(void* window, int32_t bar, uint32_t mask, const OsScrollInfo& info, bool) {
    if (window == nullptr || !OsIsWindow(window))
        return;
    OsScrollInfo& held = Bars()[{window, bar}];
    if (mask & kSifRange) {
        held.min = info.min;
        held.max = info.max;
    }
    if (mask & kSifPage)
        held.page = std::min<uint32_t>(info.page, static_cast<uint32_t>(held.max - held.min + 1));
    if (mask & kSifPos)
        held.pos = info.pos;
    held.pos = Clamp(held, held.pos);
}

bool OsGetScrollInfo(void* window, int32_t bar, OsScrollInfo* info) {
    *info = OsScrollInfo{};
    auto at = Bars().find({window, bar});
    if (at == Bars().end() || !OsIsWindow(window))
        return false;
    *info = at->second;
    return true;
}

int32_t OsGetScrollPos(void* window, int32_t bar) {
    OsScrollInfo info;
    OsGetScrollInfo(window, bar, &info);
    return info.pos;
}

void OsSetScrollPos(void* window, int32_t bar, int32_t pos, bool redraw) {
    OsScrollInfo info;
    info.pos = pos;
    OsSetScrollInfo(window, bar, kSifPos, info, redraw);
}

int32_t OsGetSystemMetric(int32_t index) {
    switch (index) {
    case kSmCxVScroll:
    case kSmCyHScroll:
    case kSmCyVScroll: return 16;
    default: return 0;
    }
}

int32_t OsGetScreenDpiY() { return 96; }

void* OsGetSysColorBrush(int32_t) {
    static int brush;
    return &brush;
}

void* OsCreateUpDown(uint32_t style, int32_t x, int32_t y, int32_t width, int32_t height, void* parent, int32_t,
                     void*, int32_t, int32_t, int32_t) {
    const OsWindowSpec spec{0, "msctls_updown32", "", style, x, y, width, height, parent, nullptr, nullptr};
    return OsCreateWindow(spec);
}

int32_t OsGetControlFontAverageWidth(void*) { return 0; }
