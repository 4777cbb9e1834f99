// The rich edit object where COM cannot make its OLE callback (the native
// stand-in has no OLE): the object exists without a window, every member
// answers 0 or "" and sends nothing to a window, and the library reference
// follows the live objects.
#include "tests/ui/native/control_fixture.h"
#include "ui/ci_rich_edit.h"
#include "ui/ci_rich_edit_members.h"

namespace {

class RichEditNoCallback : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        m_window = NewWindow({400, 300});
        ASSERT_NE(m_window, nullptr);
    }
    CIWindow* m_window = nullptr;
};

TEST_F(RichEditNoCallback, ObjectWithoutWindowAnswersNothing) {
    auto* rich = NewControl<CIRichEdit>(kClassRichEdit, {m_window, "text"});
    ASSERT_NE(rich, nullptr);
    EXPECT_EQ(rich->m_window, nullptr);
    EXPECT_EQ(rich->m_ole.callback, nullptr);
    EXPECT_EQ(rich->m_width, 200);
    EXPECT_EQ(rich->m_height, 200);
    OsSentMessages().clear();
    struct Case {
        int32_t member;
        std::initializer_list<CallArg> args;
    } ints[] = {
        {kRichEditFindText, {"abc"}}, {kRichEditGetCharColor, {}}, {kRichEditGetCharHeight, {}},
        {kRichEditIsTextSelected, {}}, {kRichEditIsCharBold, {}}, {kRichEditGetLineCount, {}},
        {kRichEditLoadText, {"nothing.txt"}}, {kRichEditLoadRTF, {"nothing.rtf"}},
        {kRichEditSaveText, {"saved.txt"}}, {kRichEditSaveRTF, {"saved.rtf"}}, {kRichEditGetInt, {}},
        {kRichEditGetStartSelection, {}}, {kRichEditCanPaste, {}}, {kRichEditGetMaxSize, {}},
    };
    for (const Case& c : ints)
        EXPECT_EQ(Call(rich, c.member, c.args)->GetInt(), 0) << c.member;
    for (int32_t member : {kRichEditGetTextRange, kRichEditGetCharFaceName, kRichEditGetSelection,
                           kRichEditGetLineContent})
        EXPECT_EQ(Text(Call(rich, member)), "") << member;
    Call(rich, kRichEditSetCharBold);
    Call(rich, kRichEditSetSelection);
    Call(rich, kRichEditSetBackGround, {0xFF0000});
    for (const OsSentMessage& m : OsSentMessages())
        EXPECT_EQ(m.window, nullptr) << m.message;
    // The shared routines' argument errors stand without a window.
    EXPECT_EQ(ErrorOf(rich, kRichEditSetTabStops), 21);
    // A missing text answers -1 without a message.
    EXPECT_EQ(Call(rich, kRichEditFindText)->GetInt(), -1);
    EXPECT_EQ(Call(rich, kRichEditLoadText)->GetInt(), 0);
}

TEST_F(RichEditNoCallback, LibraryHeldWhileAnyObjectLives) {
    const int32_t before = CIRichEdit::LiveCount();
    auto* a = NewControl<CIRichEdit>(kClassRichEdit, {m_window});
    auto* b = NewControl<CIRichEdit>(kClassRichEdit, {m_window});
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(CIRichEdit::LiveCount(), before + 2);
    EXPECT_NE(CIRichEdit::LibraryHandle(), nullptr);
    DeleteScriptObject(&m_interp, a);
    EXPECT_NE(CIRichEdit::LibraryHandle(), nullptr);
    DeleteScriptObject(&m_interp, b);
    EXPECT_EQ(CIRichEdit::LiveCount(), before);
    if (before == 0)
        EXPECT_EQ(CIRichEdit::LibraryHandle(), nullptr);
}

TEST_F(RichEditNoCallback, ParentWindowTakesItAlong) {
    auto* rich = NewControl<CIRichEdit>(kClassRichEdit, {m_window});
    ASSERT_NE(rich, nullptr);
    const int32_t live = CIRichEdit::LiveCount();
    DeleteScriptObject(&m_interp, m_window);
    m_window = nullptr;
    EXPECT_EQ(CIRichEdit::LiveCount(), live - 1);
}

}  // namespace
