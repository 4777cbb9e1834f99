#include "engine_fixture.h"

#include "engine3d/chunk_stream.h"
#include "runtime/base/sys_utils.h"
#include "runtime/io/buffer_stream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(Sprite, CornersRotationAndTexturePairs) {
    TestWorld w;
    LSprite* s = static_cast<LSprite*>(w.world.GetSpriteList().CreateSprite(&w.world)->value);
    const int32_t pos[2] = {10, 20}, size[2] = {100, 50};
    s->SetExtent(pos, size);
    const float* c = s->GetCorners();
    const float expected[4][2] = {{10, 20}, {110, 20}, {110, 70}, {10, 70}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(c[i * 4], expected[i][0]);
        EXPECT_FLOAT_EQ(c[i * 4 + 1], expected[i][1]);
        EXPECT_EQ(c[i * 4 + 2], 0.0f);  // no texture
    }
    s->SetAngle(1.5707964f);
    // A quarter turn about the position: (110, 20) -> (10, 120).
    EXPECT_NEAR(c[4], 10.0f, 1e-4);
    EXPECT_NEAR(c[5], 120.0f, 1e-4);
    EXPECT_NEAR(c[0], 10.0f, 1e-4);
    EXPECT_NEAR(c[1], 20.0f, 1e-4);

    LTexture* t = w.world.CreateTexture("t", nullptr);
    w.world.GetTextureList().AddTexture(t);
    uint8_t* px = nullptr;
    AllocRetry(8 * 4 * 3, &px);
    t->SetPixels(px, 24, nullptr, 0, 8, 4, 1, 24, nullptr);
    s->SetAngle(0.0f);
    s->SetTexture(t);
    s->SetScale(0.5f, 2.0f);
    EXPECT_FLOAT_EQ(c[2 * 4 + 2], 4.0f);
    EXPECT_FLOAT_EQ(c[2 * 4 + 3], 8.0f);
}

TEST(Sprite, SetterBounds) {
    LSprite s;
    s.SetFlags(8);
    EXPECT_EQ(s.GetFlags(), 4u);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        float in, out;
    } angles[] = {{7.0f, 6.2831855f}, {-1.0f, 0.0f}, {nan, 0.0f}, {1.5f, 1.5f}};
    for (const auto& a : angles) {
        s.SetAngle(a.in);
        EXPECT_EQ(s.GetAngle(), a.out) << a.in;
    }
    s.SetScale(-2.0f, nan);
    EXPECT_EQ(s.GetScaleX(), 0.0f);
    EXPECT_EQ(s.GetScaleY(), 0.0f);
}

TEST(SpriteList, DeletionCodesHiddenSpritesAndReferences) {
    TestWorld w;
    LBaseSprite& list = w.world.GetSpriteList();
    EXPECT_EQ(list.DeleteSprite(nullptr), 12);
    EXPECT_EQ(list.DeleteSpriteAt(0), 12);
    LSprite* a = static_cast<LSprite*>(list.CreateSprite(&w.world)->value);
    LSprite* b = static_cast<LSprite*>(list.CreateSprite(&w.world)->value);
    LSprite* c = static_cast<LSprite*>(list.CreateSprite(&w.world)->value);
    EXPECT_EQ(list.CreateSprite(nullptr), nullptr);
    b->SetFlags(LSprite::kUntextured | LSprite::kHidden);
    w.target.drawn.clear();
    list.DrawSprites(&w.target, nullptr);
    EXPECT_EQ(w.target.drawn, (std::vector<LSprite*>{a, c}));

    // A texture shown by a sprite survives one DeleteTexture.
    LTexture* t = w.world.CreateTexture("t", nullptr);
    w.world.GetTextureList().AddTexture(t);
    a->SetTexture(t);
    EXPECT_EQ(w.world.GetTextureList().DeleteTexture(t), 0);
    EXPECT_EQ(w.world.GetTextureList().GetCount(), 1);
    EXPECT_EQ(w.world.GetTextureList().FindByName("T"), t);
    // A texture outside the list changes no count.
    LTexture loose(nullptr, "loose", nullptr);
    c->SetTexture(&loose);
    c->SetTexture(nullptr);
    EXPECT_EQ(c->GetFlags() & LSprite::kUntextured, 4u);

    // Moves, then deletions (the index of the moved list must stay sound).
    list.MoveSprite(c, a);
    list.MoveSprite(a, nullptr);
    EXPECT_EQ(list.GetValueAt(0), c);
    EXPECT_EQ(list.GetValueAt(2), a);
    EXPECT_EQ(list.DeleteSpriteAt(1), 0);
    EXPECT_EQ(list.DeleteSprite(c), 0);
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(w.driver.spritesDeleted, 2);
    a->SetTexture(nullptr);
}

TEST(SpriteList, ReplaceTakesThePlaceAndSaveWritesOneChunkPerSprite) {
    TestWorld w;
    LBaseSprite& list = w.world.GetSpriteList();
    LSprite* a = static_cast<LSprite*>(list.CreateSprite(&w.world)->value);
    LSprite* b = static_cast<LSprite*>(list.CreateSprite(&w.world)->value);
    LDataNode* fresh = list.ReplaceSprite(&w.world, a);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(list.GetValueAt(0), fresh->value);
    EXPECT_EQ(list.GetValueAt(1), b);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.DeleteSprite(a), 0);  // only released
    EXPECT_EQ(list.GetCount(), 2);
    w.driver.failSprites = true;
    EXPECT_EQ(list.ReplaceSprite(&w.world, b), nullptr);

    CBufferStream out;
    LChunkStream chunks(&out);
    list.Save(chunks);
    const std::vector<uint8_t> bytes(out.GetData(), out.GetData() + out.GetSize());
    const std::vector<uint8_t> expected = {'B', 'S', 'P', 'R', 18, 0, 0, 0, 2, 0,  'S', 'P', 'R', 'I',
                                           0,   0,   0,   0,   'S', 'P', 'R', 'I', 0, 0, 0, 0};
    EXPECT_EQ(bytes, expected);
}
