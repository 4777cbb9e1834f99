// Windows as picture sources and sprite hosts: "Copy" and "Stretch" from a
// window's surface, sprites made on a window or on the current window,
// "Rotate" keeping a window surface's size, and "CaptureWindow" (the native
// stand-in has nothing to capture from: 0).
#include "tests/ui/window_fixture.h"
#include "graphics2d/ci_sprite.h"
#include "graphics2d/ci_sprite_members.h"
#include "graphics2d/ci_surface_members.h"

namespace {

TEST_F(WindowTest, WindowsAsPictureSourcesAndSpriteHosts) {
    CIWindow* w = NewWindow({40, 30, "Pictures", 0xFF0000, 32});
    ASSERT_NE(w, nullptr);
    ASSERT_NE(w->m_surface, nullptr);
    w->m_surface->GetPicture()->FillRect(0, 0, 40, 30, SwapRedBlue(0x00FF00));
    CISurface* s = dynamic_cast<CISurface*>(New(kClassSurface, {50, 40, 32}));
    Call(s, kSurfaceCopy, {w, 0, 0});
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {39, 29}), 0x00FF00);
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {40, 30}), 0xFFFFFF);
    Call(s, kSurfaceStretch, {w});
    EXPECT_EQ(Int(s, kSurfaceGetPixel, {45, 35}), 0x00FF00);

    // Sprites on the window's surface, named or as the current window.
    CISprite* named = dynamic_cast<CISprite*>(New(kClassSprite, {w, 1, 2, s}));
    ASSERT_NE(named, nullptr);
    EXPECT_EQ(named->GetSurface(), w->m_surface);
    ASSERT_EQ(GetCurrentWindow(&m_interp), w);
    CISprite* current = dynamic_cast<CISprite*>(New(kClassSprite, {3, 4, s}));
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->GetSurface(), w->m_surface);

    // A window's surface keeps its size when it turns.
    Call(w->m_surface, kSurfaceRotate, {3.14159265358979 / 2});
    EXPECT_EQ(w->m_surface->PictureWidth(), 40);
    EXPECT_EQ(w->m_surface->PictureHeight(), 30);

    EXPECT_EQ(Int(s, kSurfaceCaptureWindow, {w}), 0);
    EXPECT_EQ(Int(s, kSurfaceCaptureScreen), 0);
    EXPECT_EQ(ErrorOf(s, kSurfaceCaptureWindow, {s}), 14);

    // A window without surface is no source.
    CIWindow* bare = NewWindow({20, 20, kNoSurface});
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(ErrorOf(s, kSurfaceCopy, {bare}), 14);
    EXPECT_EQ(NewError(kClassSprite, {bare, 1, 2, s}), 39);
}

}  // namespace
