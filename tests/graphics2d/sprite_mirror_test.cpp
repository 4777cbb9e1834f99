// The 3D mirrors of sprites, against a fake render target that keeps its
// sprites in drawing order and logs what the sprite list asks of it.
#include "graphics2d/ci_sprite.h"
#include "graphics2d/ci_sprite_members.h"
#include "graphics2d/ci_surface.h"
#include "graphics2d/ci_surface_members.h"
#include "graphics2d/sprite_mirror.h"
#include "tests/graphics2d/loaded_interpreter.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

struct FakeMirror : ISpriteMirror {
    explicit FakeMirror(std::vector<std::string>* log) : log(log) {}
    void Update(const CSpriteMirrorLook& l) override {
        look = l;
        ++updates;
    }
    void SetHidden(bool h) override {
        hidden = h;
        log->push_back(h ? "hide" : "show");
    }
    bool MakeTexture(CSurface* image) override {
        textureFrom = image;
        ++textures;
        return image != nullptr && textureWorks;
    }
    std::vector<std::string>* log;
    CSpriteMirrorLook look;
    int updates = 0, textures = 0;
    bool hidden = false, textureWorks = true;
    CSurface* textureFrom = nullptr;
};

struct FakeTarget : ISpriteMirrorTarget {
    ISpriteMirror* MakeSprite(ISpriteMirror* after) override {
        log.push_back("make");
        std::unique_ptr<FakeMirror> m(new FakeMirror(&log));
        FakeMirror* made = m.get();
        made->textureWorks = texturesWork;
        owned.push_back(std::move(m));
        Insert(made, after);
        return made;
    }
    void MoveSprite(ISpriteMirror* sprite, ISpriteMirror* after) override {
        log.push_back("move");
        order.erase(std::find(order.begin(), order.end(), sprite));
        Insert(static_cast<FakeMirror*>(sprite), after);
    }
    void DropSprite(ISpriteMirror* sprite) override {
        log.push_back("drop");
        order.erase(std::find(order.begin(), order.end(), sprite));
    }
    void Insert(FakeMirror* m, ISpriteMirror* after) {
        auto at = after ? std::find(order.begin(), order.end(), after) + 1 : order.begin();
        order.insert(at, m);
    }
    std::vector<std::unique_ptr<FakeMirror>> owned;
    std::vector<FakeMirror*> order;  // drawing order of the live mirrors
    std::vector<std::string> log;
    bool texturesWork = true;
};

class SpriteMirrorTest : public LoadedInterpreterTest {
protected:
    void SetUp() override {
        LoadedInterpreterTest::SetUp();
        m_surface = Surface(64, 48);
    }
    CISurface* Surface(int32_t w, int32_t h) { return dynamic_cast<CISurface*>(New(kClassSurface, {w, h, 32})); }
    CISprite* Sprite(int32_t x, int32_t y, CISurface* image) {
        return dynamic_cast<CISprite*>(New(kClassSprite, {m_surface, x, y, image}));
    }
    FakeMirror* MirrorOf(CISprite* s) { return static_cast<FakeMirror*>(s->State().mirror); }
    // The live mirrors in the order of the surface's sprite walk.
    std::vector<FakeMirror*> WalkOrder() {
        std::vector<FakeMirror*> order;
        for (CISprite* s = m_surface->Sprites()->First(); s != nullptr; s = m_surface->Sprites()->Next(&s->State()))
            if (s->State().mirror != nullptr)
                order.push_back(MirrorOf(s));
        return order;
    }

    CISurface* m_surface = nullptr;
    FakeTarget m_target;
};

TEST_F(SpriteMirrorTest, WithoutTargetNoSpriteHasAMirror) {
    CISprite* s = Sprite(5, 5, Surface(4, 4));
    m_surface->Refresh();
    EXPECT_EQ(s->State().mirror, nullptr);
}

// A sprite with an image gets a textured mirror when it joins (or when the
// target comes); one that joins without image gets it with its first image.
TEST_F(SpriteMirrorTest, MirrorsAreMadeForSpritesWithImagesInDrawingOrder) {
    CISurface* image = Surface(4, 4);
    CISprite* early = Sprite(1, 2, image);
    m_surface->Sprites()->SetMirrorTarget(&m_target);
    ASSERT_NE(MirrorOf(early), nullptr);
    EXPECT_EQ(MirrorOf(early)->textureFrom, image->GetPicture());
    EXPECT_EQ(MirrorOf(early)->look.flags, kMirrorTextured | kMirrorTransparentColour);

    CISprite* bare = dynamic_cast<CISprite*>(New(kClassSprite, {m_surface}));
    CISprite* late = Sprite(10, 10, image);
    Call(bare, kSpriteSet, {3, 3});  // listed, still without image
    EXPECT_EQ(MirrorOf(bare), nullptr);
    Call(bare, kSpriteSet, {3, 3, image});
    m_surface->Refresh();
    ASSERT_NE(MirrorOf(bare), nullptr);
    EXPECT_EQ(WalkOrder(), m_target.order);
    EXPECT_EQ(m_target.order.size(), 3u);
    (void)late;
}

// What the mirror shows follows the sprite after each cycle's update step;
// its texture is made again only when the picture changed.
TEST_F(SpriteMirrorTest, TheUpdateStepCarriesPositionBoxEffectsAndTexture) {
    m_surface->Sprites()->SetMirrorTarget(&m_target);
    CISurface* image = Surface(10, 6);
    CISprite* s = Sprite(20, 10, image);
    FakeMirror* m = MirrorOf(s);
    ASSERT_NE(m, nullptr);
    m_surface->Refresh();
    const int texturesBefore = m->textures;

    Call(s, kSpriteSet, {30, 12});
    Call(s, kSpriteSetAngle, {90});
    Call(s, kSpriteSetDrawEffect, {1, 100});  // semi-transparent, stored 50
    Call(s, kSpriteSetAntiAliasing, {1});
    Call(s, kSpriteSetTransparent, {0});
    EXPECT_EQ(m->look.x, 20);  // nothing before the cycle
    m_surface->Refresh();
    EXPECT_EQ(m->look.x, 30);
    EXPECT_EQ(m->look.y, 12);
    EXPECT_EQ(m->look.left, Int(s, kSpriteGetLeft));
    EXPECT_EQ(m->look.bottom, Int(s, kSpriteGetBottom));
    EXPECT_EQ(m->look.right - m->look.left, 6);  // turned a quarter
    EXPECT_FLOAT_EQ(m->look.angle, 1.5707964f);
    EXPECT_EQ(m->look.transparency, 255 - 100);
    EXPECT_TRUE(m->look.antiAlias);
    EXPECT_EQ(m->look.flags, kMirrorTextured);
    // Turning is the mirror's own work: the texture is the untransformed
    // image, made again because the sprite's image changed.
    EXPECT_EQ(m->textures, texturesBefore + 1);
    EXPECT_EQ(m->textureFrom, image->GetPicture());

    Call(s, kSpriteSet, {31, 12});
    m_surface->Refresh();
    EXPECT_EQ(m->textures, texturesBefore + 1);  // a move keeps the texture
    Call(s, kSpriteSetDrawEffect, {0});
    m_surface->Refresh();
    EXPECT_EQ(m->look.transparency, 255);

    // A refused texture: the mirror draws untextured.
    FakeTarget refusing;
    refusing.texturesWork = false;
    m_surface->Sprites()->SetMirrorTarget(&refusing);
    EXPECT_EQ(MirrorOf(s)->look.flags, kMirrorUntextured);
    m_surface->Sprites()->SetMirrorTarget(nullptr);  // before the local target goes
}

TEST_F(SpriteMirrorTest, HidingIsPassedOnByTheCycle) {
    m_surface->Sprites()->SetMirrorTarget(&m_target);
    CISprite* s = Sprite(5, 5, Surface(4, 4));
    m_surface->Refresh();
    m_target.log.clear();
    Call(s, kSpriteHide);
    EXPECT_FALSE(MirrorOf(s)->hidden);
    m_surface->Refresh();
    EXPECT_TRUE(MirrorOf(s)->hidden);
    Call(s, kSpriteShow);
    m_surface->Refresh();
    EXPECT_FALSE(MirrorOf(s)->hidden);
    EXPECT_EQ(m_target.log, (std::vector<std::string>{"hide", "show"}));

    // A hidden sprite's mirror is made hidden.
    Call(s, kSpriteHide);
    m_surface->Refresh();
    FakeTarget second;
    m_surface->Sprites()->SetMirrorTarget(&second);
    EXPECT_TRUE(MirrorOf(s)->hidden);
    m_surface->Sprites()->SetMirrorTarget(nullptr);
}

TEST_F(SpriteMirrorTest, ReorderingKeepsTheMirrorsInStep) {
    m_surface->Sprites()->SetMirrorTarget(&m_target);
    CISurface* image = Surface(4, 4);
    CISprite* a = Sprite(0, 0, image);
    CISprite* b = Sprite(0, 0, image);
    CISprite* c = Sprite(0, 0, image);
    CISprite* top = Sprite(0, 0, image);
    Call(top, kSpriteSetLayer, {3});
    Call(c, kSpriteMoveToBack);
    EXPECT_EQ(WalkOrder(), m_target.order);
    Call(a, kSpriteMoveAfter, {b});
    EXPECT_EQ(WalkOrder(), m_target.order);
    Call(top, kSpriteSetLayer, {-1});
    EXPECT_EQ(WalkOrder(), m_target.order);
    Call(b, kSpriteMoveForward);
    EXPECT_EQ(WalkOrder(), m_target.order);
    EXPECT_EQ(m_target.order.front(), MirrorOf(top));
}

// A mirror goes with its sprite, with the sprite's surface, and with the
// render target; a ghost never has one.
TEST_F(SpriteMirrorTest, MirrorsAreDroppedWithTheirSpriteSurfaceOrTarget) {
    m_surface->Sprites()->SetMirrorTarget(&m_target);
    CISurface* image = Surface(4, 4);
    CISprite* a = Sprite(0, 0, image);
    Sprite(8, 8, image);
    m_surface->Refresh();
    a->Destroy(0);  // leaves a ghost to erase it
    EXPECT_EQ(m_target.order.size(), 1u);
    EXPECT_EQ(m_surface->Sprites()->GetCount(), 2);
    m_surface->Refresh();

    CISprite* c = Sprite(20, 20, image);
    EXPECT_EQ(m_target.order.size(), 2u);
    Call(m_surface, kSurfaceDeleteSprites);
    EXPECT_TRUE(m_target.order.empty());
    EXPECT_EQ(c->State().mirror, nullptr);

    CISprite* d = Sprite(20, 20, image);
    m_surface->Sprites()->SetMirrorTarget(nullptr);
    EXPECT_TRUE(m_target.order.empty());
    EXPECT_EQ(d->State().mirror, nullptr);
    m_surface->Refresh();  // the sprite still draws in 2D
    EXPECT_EQ(d->State().mirror, nullptr);

    m_surface->Sprites()->SetMirrorTarget(&m_target);
    EXPECT_EQ(m_target.order.size(), 1u);
    EXPECT_EQ(d->OnObjectDeleted(m_surface), 1);  // its surface goes
    EXPECT_TRUE(m_target.order.empty());
}

}  // namespace
