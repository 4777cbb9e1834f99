// Sprites on a script surface: creation, placing, the drawing cycle with
// auto-back and by hand, layers, visibility, collisions and the sprite's
// members that only store or answer.
#include "graphics2d/ci_sprite.h"
#include "graphics2d/ci_sprite_members.h"
#include "graphics2d/ci_surface.h"
#include "graphics2d/ci_surface_members.h"
#include "graphics2d/font_container.h"
#include "tests/graphics2d/loaded_interpreter.h"

#include <string>

namespace {

constexpr uint32_t kRed = 0xFF0000, kBlue = 0x0000FF, kWhite = 0xFFFFFF;

class SpriteTest : public LoadedInterpreterTest {
protected:
    void SetUp() override {
        LoadedInterpreterTest::SetUp();
        m_surface = Surface(64, 48);
    }
    CISurface* Surface(int32_t w, int32_t h) {
        return dynamic_cast<CISurface*>(New(kClassSurface, {w, h, 32}));
    }
    // A w × h picture of one colour; with `opaqueLeft` only its left half is
    // opaque (the right half is pixel value 0, transparent).
    CISurface* Picture(int32_t w, int32_t h, uint32_t colour, bool leftHalfOnly = false) {
        CISurface* p = Surface(w, h);
        p->GetPicture()->FillRect(0, 0, w, h, 0);
        p->GetPicture()->FillRect(0, 0, leftHalfOnly ? w / 2 : w, h, SwapRedBlue(colour));
        return p;
    }
    CISprite* Sprite(int32_t x, int32_t y, CISurface* image) {
        return dynamic_cast<CISprite*>(New(kClassSprite, {m_surface, x, y, image}));
    }
    int32_t PixelAt(int32_t x, int32_t y) { return Int(m_surface, kSurfaceGetPixel, {x, y}); }
    CIBaseClassImpl* ObjectOf(CValue* v) { return v->GetTag() == CValue::kObject ? v->GetObject() : nullptr; }

    CISurface* m_surface = nullptr;
};

TEST_F(SpriteTest, CreationByArgumentCount) {
    CISurface* red = Picture(4, 4, kRed);
    const struct {
        const char* what;
        std::initializer_list<CallArg> args;
        int32_t error;
    } cases[] = {
        {"no surface and no current window", {}, 39},
        {"a position and image without surface", {1, 2, red}, 39},
        {"neither surface nor window", {CallArg(GetDefaultFont(&m_interp))}, 47},
        {"two arguments", {m_surface, 1}, 21},
        {"five arguments", {m_surface, 1, 2, red, 5}, 21},
        {"an image of the wrong kind", {m_surface, 1, 2, 2.5}, 14},
        {"an object that is no surface", {m_surface, 1, 2, CallArg(GetDefaultFont(&m_interp))}, 14},
        {"a package picture without package", {m_surface, 1, 2, "ball"}, 34},
    };
    for (const auto& c : cases) EXPECT_EQ(NewError(kClassSprite, c.args), c.error) << c.what;

    CISprite* empty = dynamic_cast<CISprite*>(New(kClassSprite, {m_surface}));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(Int(empty, kSpriteGetWidth), 0);
    EXPECT_FALSE(empty->State().listed);  // placed by its first Set
    Call(empty, kSpriteSet, {5, 6, red});
    EXPECT_TRUE(empty->State().listed);
    EXPECT_EQ(Int(empty, kSpriteGetRight), 9);

    CISprite* placed = Sprite(10, 20, red);
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(Int(placed, kSpriteGetLeft), 10);
    EXPECT_EQ(Int(placed, kSpriteGetBottom), 24);
    EXPECT_EQ(Int(placed, kSpriteGetWidth), 4);
}

TEST_F(SpriteTest, StoredValues) {
    CISprite* s = Sprite(0, 0, Picture(4, 4, kRed));
    const struct {
        int32_t member;
        std::initializer_list<CallArg> args;
        int32_t getter;
        int32_t expected;
    } cases[] = {
        {kSpriteSetAngle, {-90}, kSpriteGetAngle, 270},
        {kSpriteSetAngle, {725}, kSpriteGetAngle, 5},
        {kSpriteSetAngle, {}, kSpriteGetAngle, 0},
        {kSpriteSetSpeedFactor, {0}, kSpriteGetSpeedFactor, 1},
        {kSpriteSetSpeedFactor, {250}, kSpriteGetSpeedFactor, 250},
        {kSpriteSetSpeedFactor, {}, kSpriteGetSpeedFactor, 100},
        {kSpriteSetLayer, {-3}, kSpriteGetLayer, -3},
        {kSpriteSetHotSpot, {2}, kSpriteGetHotSpotX, 2},
        {kSpriteSetHotSpot, {CallArg::Omitted(), 1}, kSpriteGetHotSpotX, 2},
    };
    for (const auto& c : cases) {
        Call(s, c.member, c.args);
        EXPECT_EQ(Int(s, c.getter), c.expected) << c.member;
    }
    EXPECT_EQ(Int(s, kSpriteGetLeft), -2);  // the hot spot (2, 1) sits at the position
    EXPECT_EQ(Int(s, kSpriteGetTop), -1);

    // Semi-transparency: the level is halved; without one the effect is off.
    Call(s, kSpriteSetDrawEffect, {1});
    EXPECT_EQ(s->State().drawFlags & 0xFFFF, 0u);
    Call(s, kSpriteSetDrawEffect, {1, 300});
    EXPECT_EQ(s->State().drawFlags & 0xFFFF, 1u);
    EXPECT_EQ(s->State().semiLevel, 128);
    Call(s, kSpriteSetDrawEffect, {9});
    EXPECT_EQ(s->State().drawFlags & 0xFFFF, 0u);

    Call(s, kSpriteSetScale, {-2.0});
    EXPECT_EQ(Call(s, kSpriteGetScaleX)->GetDouble(), 0.0);
    Call(s, kSpriteSetScale, {2.0});
    EXPECT_EQ(Call(s, kSpriteGetScaleY)->GetDouble(), 2.0);  // sy follows sx
    EXPECT_EQ(ErrorOf(s, kSpriteIsPointIn, {1}), 14);
    EXPECT_EQ(ErrorOf(s, kSpritePlay, {0, 0, 5}), 14);  // an option without 0xABCD
    EXPECT_EQ(ErrorOf(s, kSpriteIsColliding, {5}), 14);
    EXPECT_EQ(ErrorOf(s, kSpriteMoveBefore, {m_surface}), 14);
}

TEST_F(SpriteTest, RefreshDrawsMovedSpritesOverTheRestoredBackground) {
    m_surface->GetPicture()->FillRect(0, 0, 64, 48, SwapRedBlue(kWhite));
    CISprite* s = Sprite(10, 10, Picture(4, 4, kRed));
    m_surface->Refresh();
    EXPECT_EQ(PixelAt(10, 10), static_cast<int32_t>(kRed));
    EXPECT_EQ(PixelAt(13, 13), static_cast<int32_t>(kRed));
    EXPECT_EQ(PixelAt(14, 14), static_cast<int32_t>(kWhite));
    Call(s, kSpriteSet, {30, 20});
    EXPECT_EQ(Int(s, kSpriteIsLeaving, {8, 8, 15, 15}), 1);
    EXPECT_EQ(Int(s, kSpriteIsEntering, {28, 18, 40, 40}), 1);
    m_surface->Refresh();
    EXPECT_EQ(PixelAt(10, 10), static_cast<int32_t>(kWhite));
    EXPECT_EQ(PixelAt(30, 20), static_cast<int32_t>(kRed));
    // Drawn and current boxes agree after the cycle: neither leaving nor entering.
    EXPECT_EQ(Int(s, kSpriteIsLeaving, {8, 8, 15, 15}), 0);
    EXPECT_EQ(Int(s, kSpriteIsEntering, {28, 18, 40, 40}), 0);

    // Drawing under auto-back goes onto the clean picture; the sprite comes back on top.
    m_surface->GetPicture()->FillRect(0, 0, 1, 1, SwapRedBlue(kWhite));
    m_surface->MarkDrawn(CRect(25, 15, 40, 30));
    EXPECT_EQ(PixelAt(30, 20), static_cast<int32_t>(kWhite));
    m_surface->GetPicture()->FillRect(25, 15, 15, 15, SwapRedBlue(kBlue));
    m_surface->Refresh();
    EXPECT_EQ(PixelAt(30, 20), static_cast<int32_t>(kRed));
    EXPECT_EQ(PixelAt(29, 19), static_cast<int32_t>(kBlue));
    Call(s, kSpriteSet, {50, 40});
    m_surface->Refresh();
    EXPECT_EQ(PixelAt(30, 20), static_cast<int32_t>(kBlue));  // the new background, not the old

    // A removed sprite leaves a ghost that erases it at the next cycle; the
    // sprite walk never meets the ghost.
    s->Destroy(0);
    EXPECT_EQ(Call(m_surface, kSurfaceGetFirstSprite)->GetTag(), static_cast<uint32_t>(CValue::kInt));
    EXPECT_EQ(m_surface->Sprites()->GetCount(), 1);
    EXPECT_EQ(PixelAt(50, 40), static_cast<int32_t>(kRed));
    m_surface->Refresh();
    EXPECT_EQ(PixelAt(50, 40), static_cast<int32_t>(kWhite));
    EXPECT_EQ(m_surface->Sprites()->GetCount(), 0);
}

// A moved sprite queues every visible sprite that meets the bounding box of
// its old and new boxes (0, 0)-(4, 12), and those queue whatever meets theirs,
// to any depth (4 × 4 images; boxes that only touch do not meet).
TEST_F(SpriteTest, MovingASpriteQueuesWhatItsAreaReachesThroughOverlaps) {
    CISurface* image = Picture(4, 4, kRed);
    CISprite* a = Sprite(0, 0, image);
    const struct {
        const char* what;
        int32_t x, y;
        bool hide, queued;
    } others[] = {
        {"overlaps the old box", 3, 0, false, true},
        {"overlaps only the one before", 6, 1, false, true},
        {"three steps away", 9, 4, false, true},
        {"four steps away", 12, 7, false, true},
        {"overlaps the new box", 2, 11, false, true},
        {"between the boxes, inside their bounding box", 0, 4, false, true},
        {"touches the chain's end", 16, 7, false, false},
        {"far away", 40, 30, false, false},
        {"hidden, over the old box and the chain", 1, 1, true, false},
        {"hidden, between the last two", 10, 6, true, false},
    };
    std::vector<CISprite*> sprites;
    for (const auto& o : others) {
        sprites.push_back(Sprite(o.x, o.y, image));
        if (o.hide) Call(sprites.back(), kSpriteHide);
    }
    m_surface->Refresh();
    for (CISprite* s : sprites) ASSERT_EQ(s->State().state & kSpriteQueued, 0u);
    Call(a, kSpriteSet, {0, 8});
    EXPECT_NE(a->State().state & kSpriteQueued, 0u);
    for (size_t i = 0; i < sprites.size(); ++i)
        EXPECT_EQ((sprites[i]->State().state & kSpriteQueued) != 0, others[i].queued) << others[i].what;
}

TEST_F(SpriteTest, HiddenSpritesAreErasedAndShownAgainByTheCycle) {
    m_surface->GetPicture()->FillRect(0, 0, 64, 48, SwapRedBlue(kWhite));
    CISprite* s = Sprite(5, 5, Picture(4, 4, kRed));
    m_surface->Refresh();
    Call(s, kSpriteHide);
    EXPECT_EQ(Int(s, kSpriteIsVisible), 0);
    EXPECT_EQ(PixelAt(5, 5), static_cast<int32_t>(kRed));  // until the cycle
    m_surface->Refresh();
    EXPECT_EQ(PixelAt(5, 5), static_cast<int32_t>(kWhite));
    Call(s, kSpriteShow);
    EXPECT_EQ(Int(s, kSpriteIsVisible), 1);
    m_surface->Refresh();
    EXPECT_EQ(PixelAt(5, 5), static_cast<int32_t>(kRed));
}

TEST_F(SpriteTest, LayersOrderDrawingAndTheWalk) {
    CISprite* top = Sprite(0, 0, Picture(4, 4, kBlue));
    Call(top, kSpriteSetLayer, {2});
    CISprite* a = Sprite(0, 0, Picture(4, 4, kRed));
    CISprite* b = Sprite(2, 0, Picture(4, 4, kRed));
    m_surface->Refresh();
    EXPECT_EQ(PixelAt(0, 0), static_cast<int32_t>(kBlue));  // layer 2 over layer 0
    EXPECT_EQ(ObjectOf(Call(m_surface, kSurfaceGetFirstSprite)), a);
    EXPECT_EQ(ObjectOf(Call(m_surface, kSurfaceGetNextSprite, {a})), b);
    EXPECT_EQ(ObjectOf(Call(m_surface, kSurfaceGetLastSprite)), top);
    EXPECT_EQ(ObjectOf(Call(m_surface, kSurfaceGetPrevSprite, {top})), b);
    Call(b, kSpriteMoveToBack);
    EXPECT_EQ(ObjectOf(Call(m_surface, kSurfaceGetFirstSprite)), b);
    Call(b, kSpriteMoveForward);
    EXPECT_EQ(ObjectOf(Call(m_surface, kSurfaceGetFirstSprite)), a);
    Call(top, kSpriteMoveBefore, {a});  // another layer: no move
    EXPECT_EQ(ObjectOf(Call(m_surface, kSurfaceGetLastSprite)), top);
    Call(top, kSpriteSetLayer, {-1});
    EXPECT_EQ(ObjectOf(Call(m_surface, kSurfaceGetFirstSprite)), top);
    m_surface->Refresh();
    EXPECT_EQ(PixelAt(0, 0), static_cast<int32_t>(kRed));
    CISurface* other = Surface(8, 8);
    EXPECT_EQ(ObjectOf(Call(other, kSurfaceGetNextSprite, {a})), nullptr);  // not its sprite
}

TEST_F(SpriteTest, BoxAndPixelCollisions) {
    // Opaque left halves: at 6 apart on 8-wide images the boxes overlap by 2
    // columns, where a is transparent and b opaque.
    CISprite* a = Sprite(0, 0, Picture(8, 8, kRed, true));
    CISprite* b = Sprite(6, 0, Picture(8, 8, kBlue, true));
    for (CISprite* s : {a, b}) Call(s, kSpriteSetCollision, {3});
    EXPECT_EQ(Int(a, kSpriteIsColliding, {b}), 1);
    for (CISprite* s : {a, b}) Call(s, kSpriteSetCollision, {4});
    EXPECT_EQ(Int(a, kSpriteIsColliding, {b}), 0);
    EXPECT_EQ(ObjectOf(Call(a, kSpriteGetFirstCollidingSprite)), nullptr);
    Call(b, kSpriteSet, {2, 0});  // now b's opaque columns 2..5 meet a's 2..3
    EXPECT_EQ(Int(a, kSpriteIsColliding, {b}), 1);
    EXPECT_EQ(ObjectOf(Call(a, kSpriteGetFirstCollidingSprite)), b);  // never itself
    EXPECT_EQ(ObjectOf(Call(a, kSpriteGetNextCollidingSprite, {b})), nullptr);
    Call(b, kSpriteSetCollision, {2});
    EXPECT_EQ(Int(a, kSpriteIsColliding, {b}), 0);
    EXPECT_EQ(Int(a, kSpriteIsColliding, {a}), 0);
}

TEST_F(SpriteTest, PointsAndAreas) {
    CISprite* s = Sprite(10, 10, Picture(8, 8, kRed, true));
    EXPECT_EQ(Int(s, kSpriteIsPointIn, {11, 11}), 1);
    EXPECT_EQ(Int(s, kSpriteIsPointIn, {16, 11}), 0);  // a transparent pixel
    Call(s, kSpriteSetTransparent, {0});
    EXPECT_EQ(Int(s, kSpriteIsPointIn, {16, 11}), 1);
    Call(s, kSpriteSetTransparent, {1});
    // Scaled up, the box reaches past the image: the lookup there reads nothing.
    Call(s, kSpriteSetScale, {3.0});
    EXPECT_EQ(Int(s, kSpriteIsPointIn, {30, 30}), 0);
    Call(s, kSpriteSetScale, {1.0});
    EXPECT_EQ(Int(s, kSpriteIsIn), 1);  // against the whole surface
    EXPECT_EQ(Int(s, kSpriteIsOut, {0, 0, 10, 10}), 1);
    Call(s, kSpriteSet, {60, 10});
    EXPECT_EQ(Int(s, kSpriteIsIn), 0);
    EXPECT_EQ(Int(s, kSpriteIsOut), 0);
}

TEST_F(SpriteTest, ManualStepsOnlyWithAutoBackOff) {
    for (int32_t member : {kSurfaceDrawSprites, kSurfaceUpdateSprites, kSurfaceClearSprites})
        EXPECT_EQ(ErrorOf(m_surface, member), 36) << member;
    Call(m_surface, kSurfaceSetAutoBack, {0});
    m_surface->GetPicture()->FillRect(0, 0, 64, 48, SwapRedBlue(kWhite));
    Sprite(3, 3, Picture(2, 2, kRed));
    Call(m_surface, kSurfaceUpdateSprites);
    Call(m_surface, kSurfaceDrawSprites);
    EXPECT_EQ(PixelAt(3, 3), static_cast<int32_t>(kRed));
    Call(m_surface, kSurfaceClearSprites);
    EXPECT_EQ(PixelAt(3, 3), static_cast<int32_t>(kWhite));
}

TEST_F(SpriteTest, ScrollAndDeleteSprites) {
    CISprite* a = Sprite(0, 0, Picture(2, 2, kRed));
    CISprite* b = Sprite(5, 5, Picture(2, 2, kRed));
    Call(b, kSpriteSetLayer, {1});
    Call(m_surface, kSurfaceScrollSprites, {3, 4, 1});
    EXPECT_EQ(Int(a, kSpriteGetX), 0);
    EXPECT_EQ(Int(b, kSpriteGetX), 8);
    Call(m_surface, kSurfaceScrollSprites, {1, 1});
    EXPECT_EQ(Int(a, kSpriteGetY), 1);
    EXPECT_EQ(Int(b, kSpriteGetTop), 10);
    Call(m_surface, kSurfaceDeleteSprites);
    EXPECT_EQ(Call(m_surface, kSurfaceGetFirstSprite)->GetTag(), static_cast<uint32_t>(CValue::kInt));
    EXPECT_FALSE(a->State().listed);
    m_surface->Refresh();
}

TEST_F(SpriteTest, ReplacedPicturesAndHugeScalesLeaveNoStalePixels) {
    m_surface->GetPicture()->FillRect(0, 0, 64, 48, SwapRedBlue(kWhite));
    CISprite* s = Sprite(4, 4, Picture(4, 4, kRed));
    m_surface->Refresh();
    // A rotated picture takes another size: the sprite is drawn anew, and its
    // old saved background is never restored onto the new picture.
    Call(m_surface, kSurfaceRotate, {3.14159265358979 / 2});
    EXPECT_EQ(Int(m_surface, kSurfaceGetPixelWidth), 48);
    m_surface->GetPicture()->FillRect(0, 0, 48, 64, SwapRedBlue(kBlue));
    m_surface->Refresh();
    EXPECT_EQ(PixelAt(4, 4), static_cast<int32_t>(kRed));
    Call(s, kSpriteSet, {20, 20});
    m_surface->Refresh();
    EXPECT_EQ(PixelAt(4, 4), static_cast<int32_t>(kBlue));

    Call(s, kSpriteSetScale, {1e9});
    m_surface->Refresh();  // no copy of that size: nothing drawn, nothing crashes
    EXPECT_EQ(PixelAt(20, 20), static_cast<int32_t>(kBlue));
    Call(s, kSpriteSetScale, {2.0});
    m_surface->Refresh();
    EXPECT_EQ(PixelAt(27, 27), static_cast<int32_t>(kRed));
}

TEST_F(SpriteTest, SourceSurfaceGoingAway) {
    CISurface* picture = Picture(4, 4, kRed);
    CISprite* s = Sprite(0, 0, picture);
    EXPECT_EQ(s->OnObjectDeleted(picture), 0);
    EXPECT_EQ(Int(s, kSpriteGetWidth), 0);
    m_surface->Refresh();
    EXPECT_EQ(s->OnObjectDeleted(m_surface), 1);  // its surface: released with it
    EXPECT_FALSE(s->State().listed);
}

}  // namespace
