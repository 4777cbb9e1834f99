// The script font class and font containers, behind the GDI seam (natively a
// font is a heap copy of its description, counted while it lives).
#include "graphics2d/ci_surface.h"
#include "graphics2d/ci_surface_members.h"
#include "graphics2d/surface_registry.h"
#include "tests/graphics2d/loaded_interpreter.h"
#include "ui/ci_font.h"
#include "ui/ci_font_members.h"

#include <cstring>
#include <deque>

namespace {

class FontTest : public LoadedInterpreterTest {
protected:
    CIFont* NewFont(std::initializer_list<CallArg> args = {}) { return dynamic_cast<CIFont*>(New(kClassFont, args)); }
};

TEST_F(FontTest, DefaultsAreArialSixteenNormal) {
    CIFont* f = NewFont();
    ASSERT_NE(f, nullptr);
    const LogFontA& lf = f->GetLogFont();
    EXPECT_EQ(lf.lfHeight, -16);
    EXPECT_EQ(lf.lfWeight, 400);
    EXPECT_EQ(lf.lfCharSet, 1);
    EXPECT_EQ(lf.lfQuality, 3);
    EXPECT_EQ(lf.lfPitchAndFamily, 2);
    EXPECT_STREQ(lf.lfFaceName, "Arial");
    EXPECT_NE(f->GetHandle(), nullptr);
    EXPECT_EQ(Text(Call(f, kFontGetFaceName)), "Arial");
    EXPECT_EQ(static_cast<uint32_t>(Int(f, kFontGetWeight)), 0x80000190u);
}

TEST_F(FontTest, ConstructorArguments) {
    const uint32_t bold = 0x800002BC, italic = 0xC0000001, underline = 0xC0000002, strike = 0xC0000004;
    CIFont* f = NewFont({"Times New Roman", 24, bold, italic});
    EXPECT_EQ(Int(f, kFontGetHeight), 24);
    EXPECT_EQ(static_cast<uint32_t>(Int(f, kFontGetWeight)), bold);
    EXPECT_EQ(Int(f, kFontIsItalic), 1);
    EXPECT_EQ(Int(f, kFontIsUnderline), 0);
    // Two sizes: the last wins; flags combine; a face is cut to 31 characters.
    CIFont* g = NewFont({10, "0123456789012345678901234567890123456789", 30, underline | strike, 0xC0000028u});
    EXPECT_EQ(Int(g, kFontGetHeight), 30);
    EXPECT_EQ(Int(g, kFontIsUnderline), 1);
    EXPECT_EQ(Int(g, kFontIsStrikeOut), 1);
    EXPECT_EQ(g->GetLogFont().lfQuality, 4);
    EXPECT_EQ(g->GetLogFont().lfPitchAndFamily & 3, 1);
    EXPECT_EQ(std::strlen(g->GetLogFont().lfFaceName), 31u);
    // A Font first is copied; later arguments change the copy only.
    CIFont* h = NewFont({f, 12, 0x40000258u});
    EXPECT_EQ(Text(Call(h, kFontGetFaceName)), "Times New Roman");
    EXPECT_EQ(Int(h, kFontGetHeight), 12);
    EXPECT_EQ(h->GetLogFont().lfWeight, 0x258);  // top bits 01: a weight
    EXPECT_EQ(Int(h, kFontIsItalic), 1);
    EXPECT_EQ(Int(f, kFontGetHeight), 24);
}

TEST_F(FontTest, SurfaceSetFontTakesFaceAndSizeOrAFont) {
    CISurface* s = dynamic_cast<CISurface*>(New(kClassSurface, {10, 10}));
    ASSERT_NE(s, nullptr);
    Call(s, kSurfaceSetFont);
    CIFont* f = dynamic_cast<CIFont*>(s->CurrentFont());
    ASSERT_NE(f, nullptr);
    EXPECT_NE(f, GetDefaultFont(&m_interp));
    EXPECT_STREQ(f->GetLogFont().lfFaceName, "Arial");
    EXPECT_EQ(f->GetLogFont().lfHeight, -16);
    Call(s, kSurfaceSetFont, {20, "Courier New"});
    f = dynamic_cast<CIFont*>(s->CurrentFont());
    EXPECT_STREQ(f->GetLogFont().lfFaceName, "Courier New");
    EXPECT_EQ(f->GetLogFont().lfHeight, -20);
    CIFont* mine = NewFont({"Verdana"});
    Call(s, kSurfaceSetFont, {mine});
    EXPECT_EQ(s->CurrentFont(), mine);
}

TEST_F(FontTest, DestroyedFontLeavesEveryContainerWithTheDefault) {
    ASSERT_NE(GetDefaultFont(&m_interp), nullptr);
    const int before = OsLiveFontCount();
    CIFont* f = NewFont({"Verdana", 30});
    CISurface* surfaces[3];
    std::deque<CValue> held;  // the surfaces stay, as script variables would keep them
    for (CISurface*& s : surfaces) {
        s = dynamic_cast<CISurface*>(New(kClassSurface, {4, 4}));
        ASSERT_NE(s, nullptr);
        held.emplace_back(s);
        s->SetFontObject(f);
    }
    EXPECT_EQ(f->m_refCount, 3);
    // Not collected while containers show it.
    CollectGarbage(&m_interp);
    EXPECT_EQ(CountInstances(&m_interp, kClassFont), 3);  // default, GUI and f
    m_interp.DeleteObject(f);
    for (CISurface* s : surfaces) EXPECT_EQ(s->CurrentFont(), GetDefaultFont(&m_interp));
    EXPECT_EQ(OsLiveFontCount(), before);
}

TEST_F(FontTest, NewFaceAndSizeReplaceTheHandleWithoutLeakingIt) {
    CIFont* f = NewFont();
    const int live = OsLiveFontCount();
    void* old = f->GetHandle();
    f->SetFaceAndSize("Courier New", 40);
    EXPECT_NE(f->GetHandle(), nullptr);
    EXPECT_EQ(OsLiveFontCount(), live);  // the replaced handle was deleted
    EXPECT_EQ(f->GetLogFont().lfHeight, -40);
    LogFontA lf = f->GetLogFont();
    lf.lfItalic = 1;
    f->SetLogFont(lf);
    EXPECT_EQ(Int(f, kFontIsItalic), 1);
    EXPECT_EQ(OsLiveFontCount(), live);
    (void)old;
}

TEST_F(FontTest, SharedFontsLiveAsLongAsTheInterpreter) {
    CIFontBase* d = GetDefaultFont(&m_interp);
    CIFontBase* g = GetGuiFont(&m_interp);
    ASSERT_NE(d, nullptr);
    ASSERT_NE(g, nullptr);
    CollectGarbage(&m_interp);
    EXPECT_EQ(GetDefaultFont(&m_interp), d);
    EXPECT_EQ(CountInstances(&m_interp, kClassFont), 2);
    const LogFontA& gui = static_cast<CIFont*>(g)->GetLogFont();
    EXPECT_NE(gui.lfFaceName[0], 0);  // described by the system
}

}  // namespace

namespace {

// Without a loaded interpreter there is no font list: a surface holds no
// font, so fonts and surfaces may go in any order.
TEST(FontContainerTest, NoFontsHeldWithoutALoadedInterpreter) {
    RegisterSurfaceClient();
    {
        CInterpretor interp;
        interp.PrepareRun(nullptr);
        interp.SetArgCount(0);
        CIBaseClassImpl* font = interp.CreateObject(kClassFont);
        interp.SetArgCount(2);
        interp.GetArg(0)->SetInt(8);
        interp.GetArg(1)->SetInt(8);
        CISurface* surface = dynamic_cast<CISurface*>(interp.CreateObject(kClassSurface));
        ASSERT_NE(font, nullptr);
        ASSERT_NE(surface, nullptr);
        EXPECT_EQ(surface->CurrentFont(), nullptr);
        surface->SetFontObject(static_cast<CIFont*>(font));
        EXPECT_EQ(surface->CurrentFont(), nullptr);
    }
    UnregisterSurfaceClient();
}

}  // namespace
