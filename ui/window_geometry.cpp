#include "ui/window_geometry.h"

#include "ui/os_window.h"

#include <algorithm>

namespace {
constexpr uint32_t kPopupFrame = kWsPopup | kWsClipChildren | kWsBorder | kWsSysMenu;  // 0x82880000
constexpr uint32_t kBoxes = kWsThickFrame | kWsMinimizeBox | kWsMaximizeBox;           // 0x70000
}  // namespace

CWindowStyles ComputeWindowStyles(uint32_t style, uint32_t options, bool hasParent, bool hasTitle) {
    const uint32_t given = style;
    CWindowStyles out{style | kWsCaption, 0, options, false};
    uint32_t& s = out.style;
    uint32_t& o = out.options;
    const bool resizable = (o & kOptResizable) != 0;
    if (o & kOptGame) {
        s = (s & ~kWsCaption) | kWsPopup | kWsClipChildren;
        o &= ~(kOptDialog | kOptTool | kOptMessageBox | kOptStandard);
    }
    if (o & kOptDialog) {
        out.exStyle = kWsExDlgModalFrame | kWsExControlParent;
        s |= kPopupFrame | (resizable ? kBoxes : 0);
        out.dialogBackground = true;
        o &= ~(kOptMessageBox | kOptStandard);
    }
    if (o & kOptTool) {
        s |= kWsPopup | kWsClipChildren | kWsBorder | (resizable ? kWsThickFrame : 0);
        out.exStyle |= kWsExToolWindow;
    }
    if (o & kOptMessageBox) {
        s |= kWsPopup | kWsClipChildren | kWsCaption | kWsSysMenu;
        o &= ~(kOptDialog | kOptStandard);
    }
    if (o & kOptStandard)
        s |= kPopupFrame | (resizable ? kBoxes : 0);
    if (o & kOptNoSysMenu)
        s &= ~kWsSysMenu;
    if (o & kOptNoCaption)
        s &= ~kWsCaption;
    if (given & kWsBorder)
        s |= kWsBorder;
    if (o & kOptMinimizeBox)
        s |= kWsMinimizeBox;
    if (o & kOptMaximizeBox)
        s |= kWsMaximizeBox;
    if (o & kOptMinimized)
        s |= kWsMinimize;
    if (o & kOptMaximized)
        s |= kWsMaximize;
    if (resizable)
        s |= kWsThickFrame;
    if (hasParent)
        s = (s & ~(kWsPopup | kWsChild | kWsClipSiblings)) | kWsChild | kWsClipSiblings;
    // The title asks for a caption, except where the type or NOCAPTION took it.
    if (hasTitle && !(options & (kOptGame | kOptNoCaption)))
        s |= kWsCaption;
    return out;
}

CFrameExtents FrameExtentsOf(const CRect& adjusted) {
    return CFrameExtents{-adjusted.left, -adjusted.top, adjusted.right - 320, adjusted.bottom - 200};
}

int32_t ClampClientSize(int32_t client, int32_t frame, uint32_t* minimum, uint32_t* maximum) {
    if (*minimum > *maximum)
        std::swap(*minimum, *maximum);
    const int64_t outer = static_cast<int64_t>(client) + frame;
    const int64_t clamped = std::min<int64_t>(std::max<int64_t>(outer, *minimum), *maximum);
    return static_cast<int32_t>(clamped - frame);
}

int32_t CenteredPosition(int32_t referenceLow, int32_t referenceHigh, int32_t size, int32_t boundsLow,
                         int32_t boundsHigh) {
    int32_t at = (referenceLow + referenceHigh) / 2 - size / 2;
    at = std::min(at, boundsHigh - size);
    return std::max(at, boundsLow);
}
