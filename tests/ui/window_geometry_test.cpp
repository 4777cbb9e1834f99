// The portable arithmetic of script windows: constant tables, the styles of
// the type constants, size limits, centring and the focus walk.
#include "ui/control_constants.h"
#include "ui/os_window.h"
#include "ui/window_geometry.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(ControlConstants, LookupByTableIdIndexAndKind) {
    CConstantTables tables;
    tables.Add(kCommonConstantTable, kCommonTableId);
    tables.Add(kWindowConstantTable, kWindowTableId);
    tables.Add(kCommonConstantTable, 0x123);  // a third table is ignored
    EXPECT_EQ(tables.GetCount(), 2);
    struct Case {
        uint32_t constant;
        CConstantTables::LookupResult result;
        uint32_t value, kind;
    } cases[] = {
        {0xDEB20000, CConstantTables::kFound, 0x2, 2},        // NOBORDER
        {0xDEB00001, CConstantTables::kFound, 0x10000, 0},    // TABSTOP
        {0xDEB10002, CConstantTables::kFound, 0x20000, 1},    // STATICEDGE
        {0xDEB20005, CConstantTables::kFound, 0x1, 2},        // HIDDEN
        {0xDEB00006, CConstantTables::kFound, 0x800000, 0},   // BORDER
        {0xAAD2000D, CConstantTables::kFound, 0x8000, 2},     // MINIMIZED, the last
        {0xDEB00007, CConstantTables::kBadConstant, 0, 0},    // index past the common table
        {0xAAD2000E, CConstantTables::kBadConstant, 0, 0},    // past the window table
        {0xDEB40000, CConstantTables::kBadConstant, 0, 0},    // kind 4
        {0x123, CConstantTables::kNoTable, 0, 0},             // a plain number
        {0x89AF0001, CConstantTables::kNoTable, 0, 0},        // LEFTBUTTON: no table
    };
    for (const Case& c : cases) {
        uint32_t value = 0xEEEE, kind = 0xEEEE;
        EXPECT_EQ(tables.Lookup(c.constant, &value, &kind), c.result) << std::hex << c.constant;
        if (c.result == CConstantTables::kFound) {
            EXPECT_EQ(value, c.value) << std::hex << c.constant;
            EXPECT_EQ(kind, c.kind) << std::hex << c.constant;
        }
    }
}

TEST(WindowStyles, TypeConstantsAndModifiers) {
    const uint32_t visible = kWsVisible;
    struct Case {
        uint32_t options;
        bool parent, title;
        uint32_t style, exStyle;
        bool dialog;
    } cases[] = {
        // STANDARD (the default option word): popup frame with caption.
        {kOptStandard, false, false, visible | 0x82880000 | kWsCaption, 0, false},
        {kOptStandard | kOptResizable, false, false, visible | 0x828F0000 | kWsCaption | kWsThickFrame, 0, false},
        // GAME: a borderless popup, even with a title.
        {kOptStandard | kOptGame, false, true, visible | kWsPopup | kWsClipChildren, 0, false},
        {kOptStandard | kOptDialog, false, false, visible | 0x82880000 | kWsCaption, 0x10001, true},
        {kOptStandard | kOptTool, false, false, visible | 0x82880000 | kWsCaption, kWsExToolWindow, false},
        {kOptMessageBox, false, false, visible | 0x82C80000, 0, false},
        {kOptStandard | kOptNoSysMenu | kOptMinimizeBox, false, false,
         visible | 0x82800000 | kWsCaption | kWsMinimizeBox, 0, false},
        // NOCAPTION keeps the caption off even with a title.
        {kOptStandard | kOptNoCaption, false, true, visible | 0x82080000, 0, false},
        // A parent makes a child window.
        {kOptStandard, true, false, visible | 0x02880000 | kWsCaption | kWsChild | kWsClipSiblings, 0, false},
    };
    for (const Case& c : cases) {
        const CWindowStyles s = ComputeWindowStyles(visible, c.options, c.parent, c.title);
        EXPECT_EQ(s.style, c.style) << std::hex << c.options;
        EXPECT_EQ(s.exStyle, c.exStyle) << std::hex << c.options;
        EXPECT_EQ(s.dialogBackground, c.dialog) << std::hex << c.options;
    }
    // The type clears the types below it.
    EXPECT_EQ(ComputeWindowStyles(0, kOptGame | kOptStandard | kOptDialog, false, false).options, kOptGame);
    // A BORDER constant survives NOCAPTION.
    EXPECT_TRUE(ComputeWindowStyles(kWsBorder, kOptStandard | kOptNoCaption, false, false).style & kWsBorder);
}

TEST(WindowLimits, ClampsOuterSizeAndTreatsMaximumAsUnsigned) {
    uint32_t lo = 0, hi = 0xFFFFFFFFu;
    // The default maximum is no limit: read as -1 it would clamp to nothing.
    EXPECT_EQ(ClampClientSize(400, 16, &lo, &hi), 400);
    lo = 500;
    EXPECT_EQ(ClampClientSize(400, 16, &lo, &hi), 484);
    lo = 300, hi = 200;  // swapped
    EXPECT_EQ(ClampClientSize(400, 16, &lo, &hi), 284);
    EXPECT_EQ(lo, 200u);
    EXPECT_EQ(hi, 300u);
}

TEST(WindowCenter, CentresAndKeepsWithinBounds) {
    EXPECT_EQ(CenteredPosition(0, 1024, 400, 0, 1024), 312);
    EXPECT_EQ(CenteredPosition(900, 1100, 400, 0, 1024), 624);  // right edge kept
    EXPECT_EQ(CenteredPosition(-300, -100, 400, 0, 1024), 0);   // left edge kept
}

TEST(FocusWalk, WrapsAndSkipsUnfocusable) {
    const std::vector<bool> focusable = {true, false, true, true, false};
    auto f = [&](int32_t i) { return static_cast<bool>(focusable[i]); };
    EXPECT_EQ(WalkFocus(5, -1, false, f), 0);
    EXPECT_EQ(WalkFocus(5, -1, true, f), 3);
    EXPECT_EQ(WalkFocus(5, 0, false, f), 2);
    EXPECT_EQ(WalkFocus(5, 3, false, f), 0);  // wraps past the end
    EXPECT_EQ(WalkFocus(5, 0, true, f), 3);   // wraps past the start
    // The walk stops before its start: a lone focusable control finds none.
    const std::vector<bool> lone = {false, true, false};
    EXPECT_EQ(WalkFocus(3, 1, false, [&](int32_t i) { return static_cast<bool>(lone[i]); }), -1);
    EXPECT_EQ(WalkFocus(0, -1, false, f), -1);
}

}  // namespace
