// Static text over the native stand-in windows (text 8 pixels a character
// by 16): its size rules, its style constants and its clicks.
#include "tests/ui/native/control_fixture.h"
#include "ui/ci_static_text.h"
#include "ui/ci_static_text_members.h"

namespace {

using StaticTextTest = ControlTest;

TEST_F(StaticTextTest, SizeComesFromTheTextWhenNotGiven) {
    NewWindow({400, 300});
    const struct { std::initializer_list<CallArg> args; int32_t x, width, height; } kCases[] = {
        {{"abcd"}, 10, 32 + 10, 16},          // no size: text width + 10 by the text height
        {{"abcd", 5, 6, 70}, 5, 70, 16},      // only a width: the text's height
        {{"abcd", 5, 6, 70, 40}, 5, 70, 40},  // both given
        {{}, 10, 8 + 10, 16},                 // no text: measured as one character
    };
    for (const auto& c : kCases) {
        auto* t = NewControl<CIStaticText>(kClassStaticText, c.args);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->m_x, c.x);
        EXPECT_EQ(t->m_y, c.x == 10 ? 10 : 6);
        EXPECT_EQ(t->m_width, c.width);
        EXPECT_EQ(t->m_height, c.height);
    }
}

TEST_F(StaticTextTest, StyleConstantsAreTheStaticStyles) {
    NewWindow({400, 300});
    const uint32_t kStyles[] = {0x07, 0x04, 0x01, 0x12, 0x10, 0x11, 0x08, 0x05,
                                0x00, 0x0C, 0x80, 0x02, 0x0B, 0x1000, 0x09, 0x06};
    for (uint32_t i = 0; i < 16; ++i) {
        auto* t = NewControl<CIStaticText>(kClassStaticText, {"x", 0xAAD00000u + i});
        EXPECT_EQ(OsGetWindowStyle(t->m_window, true) & 0xFFFF, 0x100u | kStyles[i]) << i;
    }
    EXPECT_EQ(NewError(kClassStaticText, {0xAAD00010u}), 14);
}

TEST_F(StaticTextTest, ClicksAreHandledEvenWithoutAHandler) {
    NewWindow({400, 300});
    auto* t = NewControl<CIStaticText>(kClassStaticText, {"label"});
    EXPECT_TRUE(Notify(t, 0));
    EXPECT_TRUE(Notify(t, 1));
    EXPECT_FALSE(Notify(t, 2));
    EXPECT_TRUE(TakeEvents().empty());
    t->m_handlers[CINotifyControl::kOnDblClick] = &m_dbl;
    EXPECT_TRUE(Notify(t, 1));
    EXPECT_TRUE(Notify(t, 0));
    EXPECT_EQ(TakeEvents(), (Events{{&m_dbl, -1}}));
}

}  // namespace
