// The message box class over the native stand-in box, which records the
// call it would have shown and answers a chosen button.
#include "tests/ui/window_fixture.h"
#include "ui/ci_message_box.h"
#include "ui/ci_message_box_members.h"
#include "ui/os_message_box.h"

#include <string>

namespace {

class MessageBoxTest : public WindowTest {
protected:
    CIMessageBox* NewBox(std::initializer_list<CallArg> args = {}) {
        return dynamic_cast<CIMessageBox*>(New(kClassMessageBox, args));
    }
    void TearDown() override {
        OsSetMessageBoxAnswer(1);
        WindowTest::TearDown();
    }
};

TEST_F(MessageBoxTest, EachMemberShowsItsButtonSetAndAnswersThePress) {
    CIMessageBox* box = NewBox();
    ASSERT_NE(box, nullptr);
    const struct { int32_t member; uint32_t type; } kSets[] = {
        {kMessageBoxAbortRetryIgnoreBox, 2}, {kMessageBoxOkBox, 0},    {kMessageBoxOkCancelBox, 1},
        {kMessageBoxRetryCancelBox, 5},      {kMessageBoxYesNoBox, 4}, {kMessageBoxYesNoCancelBox, 3},
    };
    int32_t answer = 1;
    for (const auto& set : kSets) {
        OsSetMessageBoxAnswer(++answer);
        EXPECT_EQ(Int(box, set.member, {"text"}), answer);
        EXPECT_EQ(OsLastMessageBox().type, 16u | set.type) << set.member;  // the stop icon by default
    }
}

TEST_F(MessageBoxTest, OkBoxWithoutArgumentsIsEmptyWithTheSystemCaption) {
    CIMessageBox* box = NewBox();
    EXPECT_EQ(Int(box, kMessageBoxOkBox), 1);
    EXPECT_STREQ(OsLastMessageBox().text, "");
    EXPECT_FALSE(OsLastMessageBox().hasCaption);
    Call(box, kMessageBoxOkBox, {CallArg::Omitted(), "Caption"});
    EXPECT_STREQ(OsLastMessageBox().text, "");
    EXPECT_STREQ(OsLastMessageBox().caption, "Caption");
}

TEST_F(MessageBoxTest, IconsAndDefaultButtons) {
    CIMessageBox* box = NewBox();
    // Stored icon; an invalid value gives the stop icon back.
    const struct { int32_t value; uint32_t icon; } kIcons[] = {{64, 64}, {32, 32}, {48, 48}, {16, 16}, {17, 16}, {0, 16}};
    for (const auto& c : kIcons) {
        Call(box, kMessageBoxSetIcon, {c.value});
        Call(box, kMessageBoxOkBox, {"t"});
        EXPECT_EQ(OsLastMessageBox().type, c.icon) << c.value;
    }
    // 1 and 5 (and anything outside 2 to 4) select the first button.
    const struct { int32_t button; uint32_t flags; } kDefaults[] = {{2, 0x100}, {3, 0x200}, {4, 0x300}, {1, 0}, {5, 0}};
    for (const auto& c : kDefaults) {
        Call(box, kMessageBoxSetDefaultButton, {c.button});
        Call(box, kMessageBoxYesNoCancelBox, {"t"});
        EXPECT_EQ(OsLastMessageBox().type, 16u | c.flags | 3u) << c.button;
    }
    // An icon argument overrides the stored one for this call only; other
    // integers are ignored.
    Call(box, kMessageBoxSetIcon, {64});
    Call(box, kMessageBoxOkBox, {"t", "c", 7, 16});
    EXPECT_EQ(OsLastMessageBox().type, 16u);
    Call(box, kMessageBoxOkBox, {"t", "c", 7});
    EXPECT_EQ(OsLastMessageBox().type, 64u);
}

TEST_F(MessageBoxTest, OwnerIsTheBoxWindowTheCallWindowOrTheCurrentOne) {
    CIWindow* a = NewWindow({200, 100});
    CIWindow* b = NewWindow({200, 100});
    ASSERT_EQ(GetCurrentWindow(&m_interp), b);
    CIMessageBox* free = NewBox();
    Call(free, kMessageBoxOkBox, {"t"});
    EXPECT_EQ(OsLastMessageBox().owner, b->m_window);
    CIMessageBox* owned = NewBox({a});
    Call(owned, kMessageBoxOkBox, {"t"});
    EXPECT_EQ(OsLastMessageBox().owner, a->m_window);
    // A window among the arguments replaces the owner; it takes no text place.
    Call(owned, kMessageBoxOkBox, {b, "text", "caption"});
    EXPECT_EQ(OsLastMessageBox().owner, b->m_window);
    EXPECT_STREQ(OsLastMessageBox().text, "text");
    EXPECT_STREQ(OsLastMessageBox().caption, "caption");
    // The box dies with its owner; the free one stays.
    const int32_t before = CountInstances(&m_interp, kClassMessageBox);
    DeleteScriptObject(&m_interp, a);
    EXPECT_EQ(CountInstances(&m_interp, kClassMessageBox), before - 1);
}

}  // namespace
