// Sprites showing a packaged animation: placing by name, frames, hot spot,
// play state and the frame cursor driving the sprite.
#include "graphics2d/ci_sprite.h"
#include "graphics2d/ci_sprite_members.h"
#include "graphics2d/ci_surface.h"
#include "graphics2d/ci_surface_members.h"
#include "runtime/io/buffer_stream.h"
#include "runtime/package/bank.h"
#include "runtime/package/bank_writer.h"
#include "runtime/package/package_writer.h"
#include "tests/graphics2d/image_test_support.h"
#include "tests/graphics2d/loaded_interpreter.h"

#include <memory>

namespace {

using imagetest::Bytes;

constexpr int kW = 5, kH = 3, kFrames = 4;

// Frame i is one colour: red 40 i + 1, blue 10 i.
uint32_t FrameColour(int i) { return static_cast<uint32_t>((40 * i + 1) << 16 | (10 * i)); }

Bytes MakeAnimation() {
    std::unique_ptr<CImageFormat, void (*)(CImageFormat*)> anm(imagetest::Manager()->GetPrototype(4)->CreateInstance(),
                                                                [](CImageFormat* f) { f->Release(); });
    CBufferStream out;
    CAnimationHeader h;
    h.width = kW, h.height = kH, h.depth = 24, h.defaultDelay = 10;
    EXPECT_EQ(anm->BeginAnimation(&out, h), kImageOk);
    Bytes previous;
    for (int i = 0; i < kFrames; ++i) {
        Bytes pixels;
        for (int p = 0; p < kW * kH; ++p) pixels.insert(pixels.end(), {uint8_t(10 * i), 0, uint8_t(40 * i + 1)});
        EXPECT_EQ(anm->WriteFrame(&out, i ? previous.data() : nullptr, pixels.data(), kW * 3, nullptr, 0, 0), kImageOk);
        previous = pixels;
    }
    anm->EndWrite(&out);
    return Bytes(out.GetData(), out.GetData() + out.GetSize());
}

class SpriteAnimationTest : public LoadedInterpreterTest {
protected:
    void SetUp() override {
        CBankWriter animations(kBankAnimations, "Animations");
        const Bytes anm = MakeAnimation();
        animations.AddAnimation("walk", "", 2, 1, anm.data(), static_cast<int32_t>(anm.size()), false);
        const Bytes junk(64, 0x5A);
        animations.AddAnimation("junk", "", 0, 0, junk.data(), static_cast<int32_t>(junk.size()), false);
        CBufferStream bank;
        ASSERT_EQ(animations.Write(&bank, true), 0u);
        PackageDescription d;
        d.programs.emplace_back();
        d.programs.back().title = "Animations";
        d.programs.back().banks.emplace_back(bank.GetData(), bank.GetData() + bank.GetSize());
        std::vector<uint8_t> package;
        ASSERT_EQ(WritePackage(d, &package), 0u);
        const std::string path = imagetest::ScratchFolder() + "sprite-animations.bin";
        imagetest::WriteWholeFile(path, package);
        Start(path.c_str());
        m_surface = dynamic_cast<CISurface*>(New(kClassSurface, {32, 16, 32}));
    }
    CISprite* Walker(int32_t x, int32_t y) {
        return dynamic_cast<CISprite*>(New(kClassSprite, {m_surface, x, y, "walk"}));
    }
    int32_t PixelAt(int32_t x, int32_t y) { return Int(m_surface, kSurfaceGetPixel, {x, y}); }

    CISurface* m_surface = nullptr;
};

TEST_F(SpriteAnimationTest, PlacedByNameWithTheElementsHotSpot) {
    CISprite* s = Walker(10, 5);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(Int(s, kSpriteGetNFrames), kFrames);
    EXPECT_EQ(Int(s, kSpriteGetFrame), 0);
    EXPECT_EQ(Int(s, kSpriteGetHotSpotX), 2);
    EXPECT_EQ(Int(s, kSpriteGetLeft), 8);
    EXPECT_EQ(Int(s, kSpriteGetWidth), kW);
    m_surface->Refresh();
    EXPECT_EQ(PixelAt(8, 4), static_cast<int32_t>(FrameColour(0)));
    Call(s, kSpriteSetFrame, {2});
    EXPECT_EQ(Int(s, kSpriteGetFrame), 2);
    m_surface->Refresh();
    EXPECT_EQ(PixelAt(12, 6), static_cast<int32_t>(FrameColour(2)));
    Call(s, kSpriteNextFrame);
    EXPECT_EQ(Int(s, kSpriteGetFrame), 3);
    Call(s, kSpritePrevFrame);
    Call(s, kSpritePrevFrame);
    EXPECT_EQ(Int(s, kSpriteGetFrame), 1);

    EXPECT_EQ(NewError(kClassSprite, {m_surface, 1, 1, "no such thing"}), 34);
    EXPECT_EQ(NewError(kClassSprite, {m_surface, 1, 1, "junk"}), 34);
}

TEST_F(SpriteAnimationTest, PlayStatesAndTheCursorDrivingTheSprite) {
    CISprite* s = Walker(0, 0);
    Call(s, kSpritePlay, {0, 0, 0xABCD0001u});  // REVERSE starts on the last frame
    EXPECT_EQ(Int(s, kSpriteGetFrame), 3);
    EXPECT_EQ(Int(s, kSpriteIsPlaying), 1);
    Call(s, kSpritePause);
    EXPECT_EQ(Int(s, kSpriteIsPaused), 1);
    Call(s, kSpriteResume);
    EXPECT_EQ(Int(s, kSpriteIsPaused), 0);
    Call(s, kSpriteStop);
    EXPECT_EQ(Int(s, kSpriteIsPlaying), 0);
    EXPECT_EQ(Int(s, kSpriteIsPaused), 0);

    // The sprite's answers through a cursor on times of our own.
    const int32_t delay = s->GetFrameDelay(0, 0);
    ASSERT_GT(delay, 0);
    Call(s, kSpriteSetSpeedFactor, {50});
    EXPECT_EQ(s->GetFrameDelay(0, 0), 2 * delay);
    Call(s, kSpriteSetSpeedFactor);
    Call(s, kSpriteSetFrame, {0});
    CFrameCursor cursor;
    cursor.Init(s, 1000, 0);
    cursor.m_loopCounter = cursor.m_loopCount = 0;
    cursor.Advance(1000 + 2 * delay + delay / 2);
    EXPECT_EQ(Int(s, kSpriteGetFrame), 2);
    m_surface->Refresh();
    EXPECT_EQ(PixelAt(0, 0), static_cast<int32_t>(FrameColour(2)));
    cursor.Advance(1000 + 100 * delay);  // no loops left: ends on the last frame
    EXPECT_EQ(Int(s, kSpriteGetFrame), 3);
}

}  // namespace
