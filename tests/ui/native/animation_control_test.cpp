// The animation control over the native stand-ins: a packaged or loose ANM
// shown in a window of its own or on a surface, its creation rules and
// errors, the play members and the frame cursor driving it.
#include "graphics2d/ci_surface.h"
#include "graphics2d/ci_surface_members.h"
#include "graphics2d/image_file.h"
#include "runtime/io/buffer_stream.h"
#include "runtime/package/bank.h"
#include "runtime/package/bank_writer.h"
#include "runtime/package/package_writer.h"
#include "tests/ui/window_fixture.h"
#include "ui/ci_animation.h"
#include "ui/ci_animation_members.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

constexpr int kW = 6, kH = 4, kFrames = 5, kDelay = 30;
constexpr uint32_t kReverse = 0xABCD0001u;

// Frame i is one colour: red 40 i + 1, blue 10 i (0xRRGGBB as scripts read it).
int32_t FrameColour(int i) { return (40 * i + 1) << 16 | (10 * i); }

Bytes MakeAnimation(int32_t loops) {
    CImageFormatManager manager;
    EXPECT_EQ(manager.Init(), kImageOk);
    std::unique_ptr<CImageFormat, void (*)(CImageFormat*)> anm(manager.GetPrototype(4)->CreateInstance(),
                                                                [](CImageFormat* f) { f->Release(); });
    CBufferStream out;
    CAnimationHeader h;
    h.width = kW, h.height = kH, h.depth = 24, h.defaultDelay = kDelay, h.extraWord1 = loops;
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

std::string Scratch(const char* name) { return ::testing::TempDir() + name; }

void WriteFile(const std::string& path, const Bytes& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

class AnimationControlTest : public WindowTest {
protected:
    void SetUp() override {
        CBankWriter animations(kBankAnimations, "Animations");
        const Bytes anm = MakeAnimation(1);
        animations.AddAnimation("walk", "", 0, 0, anm.data(), static_cast<int32_t>(anm.size()), false);
        const Bytes looping = MakeAnimation(4);  // three loops, as the file's first word says
        animations.AddAnimation("thrice", "", 0, 0, looping.data(), static_cast<int32_t>(looping.size()), true);
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
        const std::string path = Scratch("animation-control.bin");
        WriteFile(path, package);
        m_loose = Scratch("animation-control-loose.anm");
        WriteFile(m_loose, anm);
        Start(path.c_str());
        m_window = NewWindow({200, 100});
    }
    CIAnimation* NewAnimation(std::initializer_list<CallArg> args) {
        return dynamic_cast<CIAnimation*>(New(kClassAnimation, args));
    }
    int32_t PixelAt(CISurface* s, int32_t x, int32_t y) { return Int(s, kSurfaceGetPixel, {x, y}); }

    CIWindow* m_window = nullptr;
    std::string m_loose;
};

TEST_F(AnimationControlTest, InItsOwnWindowWithTheFirstFramesSize) {
    const struct { std::initializer_list<CallArg> args; int32_t x, y, width, height; } kCases[] = {
        {{"walk"}, 0, 0, kW, kH},                       // nothing given: at 0, 0, the frame's size
        {{"walk", -1, -1, -1, -1}, 0, 0, kW, kH},       // -1 counts as unset
        {{"walk", 5, 7}, 5, 7, kW, kH},
        {{"walk", 5, 7, 60, 40}, 5, 7, 60, 40},
    };
    for (const auto& c : kCases) {
        CIAnimation* a = NewAnimation(c.args);
        ASSERT_NE(a, nullptr);
        EXPECT_NE(a->m_window, nullptr);
        EXPECT_EQ(a->m_parent, m_window);
        EXPECT_EQ(a->m_x, c.x);
        EXPECT_EQ(a->m_y, c.y);
        EXPECT_EQ(a->m_width, c.width);
        EXPECT_EQ(a->m_height, c.height);
        EXPECT_EQ(Int(a, kAnimationGetNFrames), kFrames);
        EXPECT_EQ(Int(a, kAnimationGetFrame), 0);
        EXPECT_EQ(Int(a, kAnimationIsPlaying), 0);
        EXPECT_EQ(Int(a, kAnimationGetSpeedFactor), 100);
    }
    // A loose file by name, through the package's resource opening.
    CIAnimation* loose = NewAnimation({m_loose.c_str()});
    ASSERT_NE(loose, nullptr);
    EXPECT_EQ(Int(loose, kAnimationGetNFrames), kFrames);
}

TEST_F(AnimationControlTest, OnASurfaceDrawsTheCurrentFrameStretchedOverIt) {
    auto* target = dynamic_cast<CISurface*>(New(kClassSurface, {2 * kW, 2 * kH, 32}));
    ASSERT_NE(target, nullptr);
    CIAnimation* a = NewAnimation({"walk", target});
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->m_window, nullptr);
    EXPECT_EQ(a->m_width, kW);
    a->Refresh();
    EXPECT_EQ(PixelAt(target, 0, 0), FrameColour(0));
    EXPECT_EQ(PixelAt(target, 2 * kW - 1, 2 * kH - 1), FrameColour(0));

    // Lazily decoded: choosing frames only marks the control; drawing decodes.
    Call(a, kAnimationSetFrame, {3});
    EXPECT_EQ(Int(a, kAnimationGetFrame), 3);
    EXPECT_EQ(PixelAt(target, 1, 1), FrameColour(0));
    EXPECT_TRUE(a->IsDirty());
    a->Refresh();
    EXPECT_EQ(PixelAt(target, 1, 1), FrameColour(3));
    Call(a, kAnimationSetFrame, {1});  // backwards: the reader starts again
    Call(a, kAnimationNextFrame);
    a->Refresh();
    EXPECT_EQ(Int(a, kAnimationGetFrame), 2);
    EXPECT_EQ(PixelAt(target, 3, 2), FrameColour(2));
    Call(a, kAnimationSetFrame, {99});  // out of range: nothing changes
    EXPECT_EQ(Int(a, kAnimationGetFrame), 2);

    // The target going takes the control with it; it no longer draws.
    EXPECT_EQ(a->OnObjectDeleted(target), 1);
    a->Refresh();
}

TEST_F(AnimationControlTest, CreationAndPlayErrors) {
    auto* surface = New(kClassSurface, {kW, kH, 32});
    auto* other = New(kClassSurface, {kW, kH, 32});
    auto* font = New(kClassFont);
    const struct { std::initializer_list<CallArg> args; int32_t code; } kCases[] = {
        {{}, 14},                         // no name
        {{"no such animation"}, 14},      // neither element nor file
        {{"junk"}, 81},                   // not an animation the image layer reads
        {{"walk", font}, 14},             // an extra object of another class
        {{"walk", surface, other}, 14},   // anything after a surface
    };
    for (const auto& c : kCases)
        EXPECT_EQ(NewError(kClassAnimation, c.args), c.code);
    CIAnimation* a = NewAnimation({"walk"});
    EXPECT_EQ(ErrorOf(a, kAnimationPlay, {1, 0, 5}), 14);  // 5 is no option constant
    EXPECT_EQ(ErrorOf(a, kAnimationSetFrame), 14);
}

TEST_F(AnimationControlTest, PlayStatesLoopsAndSpeed) {
    CIAnimation* a = NewAnimation({"walk"});
    Call(a, kAnimationPlay, {0, 0, kReverse});  // REVERSE starts on the last frame
    EXPECT_EQ(Int(a, kAnimationGetFrame), kFrames - 1);
    EXPECT_EQ(Int(a, kAnimationIsPlaying), 1);
    Call(a, kAnimationPause);
    EXPECT_EQ(Int(a, kAnimationIsPaused), 1);
    EXPECT_EQ(a->IsPaused(0), 1);
    Call(a, kAnimationResume);
    EXPECT_EQ(Int(a, kAnimationIsPaused), 0);
    Call(a, kAnimationStop);
    EXPECT_EQ(Int(a, kAnimationIsPlaying), 0);
    Call(a, kAnimationPause);  // not playing: no pause
    EXPECT_EQ(Int(a, kAnimationIsPaused), 0);

    // Frame times: the file's, scaled by the speed factor, at least 1 ms.
    EXPECT_EQ(a->GetFrameDelay(0, 0), kDelay);
    Call(a, kAnimationSetSpeedFactor, {200});
    EXPECT_EQ(a->GetFrameDelay(0, 0), kDelay / 2);
    Call(a, kAnimationSetSpeedFactor, {100000});
    EXPECT_EQ(a->GetFrameDelay(0, 0), 1);
    Call(a, kAnimationSetSpeedFactor, {0});
    EXPECT_EQ(Int(a, kAnimationGetSpeedFactor), 1);
    Call(a, kAnimationSetSpeedFactor);
    EXPECT_EQ(Int(a, kAnimationGetSpeedFactor), 100);

    // The frame cursor of a play without end keeps it playing; Stop ends it.
    // (The REVERSE flag is kept: Play without an option keeps the stored flags.)
    Call(a, kAnimationPlay, {-1, 0, 0xABCD0000u});
    EXPECT_EQ(Int(a, kAnimationGetFrame), 0);
    CFrameCursor cursor;
    cursor.Init(a, 1000, 0);
    cursor.m_loopCounter = cursor.m_loopCount = -1;
    cursor.Advance(1000 + 2 * kDelay + kDelay / 2);
    EXPECT_EQ(Int(a, kAnimationGetFrame), 2);
    cursor.Advance(1000 + 1000 * kDelay + kDelay / 2);
    EXPECT_EQ(Int(a, kAnimationIsPlaying), 1);
    EXPECT_EQ(Int(a, kAnimationGetFrame), 0);  // 1000 frames of 5: frame 0 again
    Call(a, kAnimationStop);
    EXPECT_EQ(Int(a, kAnimationIsPlaying), 0);

    // Loops from the file: four plays end on the last frame and end playing.
    CIAnimation* b = NewAnimation({"thrice"});
    Call(b, kAnimationPlay);
    EXPECT_EQ(Int(b, kAnimationIsPlaying), 1);
    CFrameCursor bc;
    bc.Init(b, 0, 0);
    bc.m_loopCounter = bc.m_loopCount = 3;
    bc.Advance(4 * kFrames * kDelay - 1);
    EXPECT_EQ(Int(b, kAnimationGetFrame), kFrames - 1);
    bc.Advance(100 * kFrames * kDelay);
    EXPECT_EQ(Int(b, kAnimationGetFrame), kFrames - 1);
    EXPECT_EQ(Int(b, kAnimationIsPlaying), 0);
}

}  // namespace
