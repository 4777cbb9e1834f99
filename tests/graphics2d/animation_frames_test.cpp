// The shared frame decoding of animations: a fresh reader reads its first
// image and seeks on, the same frame again decodes nothing, an earlier frame
// decodes again from the first.
#include "surface_test_support.h"

#include "image_test_support.h"

#include "graphics2d/animation_frames.h"
#include "runtime/io/buffer_stream.h"
#include "runtime/io/memory_stream.h"

#include <memory>

using namespace imagetest;

namespace {

constexpr int kW = 5, kH = 3, kFrames = 4;

// Frame i: every pixel (blue, green, red) = (x + 10 i, y, 40 i + 1).
Bytes FramePixels(int i) {
    Bytes b;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) b.insert(b.end(), {uint8_t(x + 10 * i), uint8_t(y), uint8_t(40 * i + 1)});
    return b;
}

Bytes MakeAnimation() {
    std::unique_ptr<CImageFormat, void (*)(CImageFormat*)> anm(Manager()->GetPrototype(4)->CreateInstance(),
                                                                [](CImageFormat* f) { f->Release(); });
    CBufferStream out;
    CAnimationHeader h;
    h.width = kW, h.height = kH, h.depth = 24, h.defaultDelay = 10;
    EXPECT_EQ(anm->BeginAnimation(&out, h), kImageOk);
    for (int i = 0; i < kFrames; ++i) {
        const Bytes previous = FramePixels(i - 1), pixels = FramePixels(i);
        EXPECT_EQ(anm->WriteFrame(&out, i ? previous.data() : nullptr, pixels.data(), kW * 3, nullptr, 0, 0), kImageOk);
    }
    anm->EndWrite(&out);
    return Bytes(out.GetData(), out.GetData() + out.GetSize());
}

class AnimationFrames : public SurfaceClientTest {};

Bytes SurfaceRows(CSurface& s) {
    uint8_t* bits = s.Lock();
    Bytes b;
    for (int y = 0; y < kH; ++y) b.insert(b.end(), bits + y * s.GetImpl()->rowStep, bits + y * s.GetImpl()->rowStep + kW * 3);
    s.Unlock();
    return b;
}

}  // namespace

TEST_F(AnimationFrames, DecodesLazilyAndRewindsForEarlierFrames) {
    const Bytes file = MakeAnimation();
    CMemoryStream stream;
    stream.Attach(file.data(), static_cast<int32_t>(file.size()));
    CImageFile reader(Manager());
    ASSERT_EQ(reader.AttachStream(&stream), kImageOk);
    CSurface frames;
    ASSERT_TRUE(MakeMemory(&frames, 24, kW, kH));

    ASSERT_EQ(DecodeAnimationFrame(&reader, &frames, 2), kImageOk);
    EXPECT_EQ(reader.GetCurrentFrame(), 2);
    EXPECT_EQ(SurfaceRows(frames), FramePixels(2));

    // The reader stands on frame 2: asking again leaves the pixels alone.
    frames.Lock()[0] = 0xEE;
    frames.Unlock();
    ASSERT_EQ(DecodeAnimationFrame(&reader, &frames, 2), kImageOk);
    EXPECT_EQ(SurfaceRows(frames)[0], 0xEE);

    // Forward from the current frame, and back to an earlier one (from the
    // key frame again, so the scribble is gone).
    ASSERT_EQ(DecodeAnimationFrame(&reader, &frames, 3), kImageOk);
    EXPECT_EQ(SurfaceRows(frames)[1], FramePixels(3)[1]);
    ASSERT_EQ(DecodeAnimationFrame(&reader, &frames, 1), kImageOk);
    EXPECT_EQ(SurfaceRows(frames), FramePixels(1));

    // Over caller-held pixels at another depth: 16-bit 5-6-5 words.
    CImageFile second(Manager());
    CMemoryStream again;
    again.Attach(file.data(), static_cast<int32_t>(file.size()));
    ASSERT_EQ(second.AttachStream(&again), kImageOk);
    Bytes words(kW * 2 * kH, 0);
    ASSERT_EQ(DecodeAnimationFrameInto(&second, words.data(), kW * 2, 16, nullptr, 3), kImageOk);
    const uint32_t want = (121 >> 3) << 11 | (0 >> 2) << 5 | (30 >> 3);  // pixel (0, 0) of frame 3
    EXPECT_EQ(uint32_t(words[0] | words[1] << 8), want);
}
