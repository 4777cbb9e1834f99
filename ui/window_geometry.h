#pragma once
// The arithmetic of script windows, apart from the window system: the styles
// that the type constants give, the size limits and the centring.
#include "runtime/base/rect.h"

#include <cstdint>

// Option bits (option word 1) of the window table.
enum CWindowOption : uint32_t {
    kOptGame = 0x4, kOptDialog = 0x8, kOptResizable = 0x10, kOptTool = 0x20, kOptMessageBox = 0x40,
    kOptStandard = 0x80, kOptMaximized = 0x100, kOptNoSurface = 0x200, kOptFakeChild = 0x400,
    kOptNoSysMenu = 0x800, kOptNoCaption = 0x1000, kOptMinimizeBox = 0x2000, kOptMaximizeBox = 0x4000,
    kOptMinimized = 0x8000,
};

struct CWindowStyles {
    uint32_t style;
    uint32_t exStyle;
    uint32_t options;         // the option word with the cleared type bits
    bool dialogBackground;    // an omitted background colour is COLOR_3DFACE
};
// The styles of a window from its style word (WS_VISIBLE and the style
// constants) and option word: the type constant, then the modifiers; with a
// parent window WS_POPUP goes (WS_CHILD | WS_CLIPSIBLINGS). A title adds
// WS_CAPTION unless the type or NOCAPTION removed it.
CWindowStyles ComputeWindowStyles(uint32_t style, uint32_t options, bool hasParent, bool hasTitle);

// Frame extents from the rectangle (0, 0, 320, 200) adjusted for the frame.
struct CFrameExtents {
    int32_t left, top, right, bottom;
};
CFrameExtents FrameExtentsOf(const CRect& adjusted);

// Size limits of one dimension, on outer sizes; the maximum is unsigned
// (0xFFFFFFFF: no limit). A minimum above the maximum is swapped with it.
// Answers the client size clamped so that client + frame lies in the limits.
int32_t ClampClientSize(int32_t client, int32_t frame, uint32_t* minimum, uint32_t* maximum);

// "Center": x (or y) of a window of the size centred on the reference span,
// kept within the bounds.
int32_t CenteredPosition(int32_t referenceLow, int32_t referenceHigh, int32_t size, int32_t boundsLow,
                         int32_t boundsHigh);

// The focus walk over a list of controls (in list order): the index of the
// first focusable one after `from` (wrapping, stopping before `from`), or
// before it with backwards; -1 when none. from -1: the first (last) one.
template <class Focusable>
int32_t WalkFocus(int32_t count, int32_t from, bool backwards, Focusable&& focusable) {
    if (count <= 0)
        return -1;
    if (from < 0) {
        for (int32_t k = 0; k < count; ++k) {
            const int32_t i = backwards ? count - 1 - k : k;
            if (focusable(i))
                return i;
        }
        return -1;
    }
    for (int32_t step = 1; step < count; ++step) {
        const int32_t i = backwards ? (from - step + count) % count : (from + step) % count;
        if (focusable(i))
            return i;
    }
    return -1;
}
