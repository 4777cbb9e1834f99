#include "engine_fixture.h"

#include "runtime/base/alloc_fault_injection.h"
#include "runtime/base/sys_utils.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

uint8_t* OwnedBuffer(size_t bytes, uint8_t fill = 0) {
    uint8_t* p = nullptr;
    AllocRetry(bytes, &p);
    std::memset(p, fill, bytes);
    return p;
}

struct Device : LDeviceImage {
    int32_t limits[4];
    Device(int32_t a, int32_t b, int32_t c, int32_t d) : limits{a, b, c, d} {}
    void GetLimits(int32_t* a, int32_t* b, int32_t* c, int32_t* d) const override {
        *a = limits[0], *b = limits[1], *c = limits[2], *d = limits[3];
    }
    int32_t GetBitsPerPixel() const override { return 24; }
};

}  // namespace

TEST(Texture, StoredGeometryIsPowerOfTwoPadded) {
    struct Case {
        int32_t w, h, depth, pitch;
        int32_t storedW, storedH, storedPitch;
    };
    const Case cases[] = {
        {100, 60, 24, 300, 128, 64, 384},
        {1, 1, 24, 4, 2, 2, 8},
        {1, 1, 8, 4, 2, 2, 4},
        {30, 5, 8, 32, 32, 8, 32},  // padded 8-bit rows resampled, not kept
        {64, 64, 16, 128, 64, 64, 128},
        {3, 3, 15, 8, 4, 4, 8},
        {5, 2, 32, 20, 8, 2, 32},
    };
    for (const Case& c : cases) {
        LTexture t(nullptr, "t", nullptr);
        ASSERT_EQ(t.SetPixels(OwnedBuffer(size_t(c.pitch * c.h), 7), c.pitch, nullptr, 0, c.w, c.h, 1, c.depth,
                              nullptr),
                  0);
        EXPECT_EQ(t.GetWidth(), c.storedW) << c.w << "x" << c.h << "@" << c.depth;
        EXPECT_EQ(t.GetHeight(), c.storedH) << c.w << "x" << c.h << "@" << c.depth;
        EXPECT_EQ(t.GetPitch(), c.storedPitch) << c.w << "x" << c.h << "@" << c.depth;
    }
}

TEST(Texture, PowerOfTwoImageKeepsItsBufferAndPaddingIsNotATexel) {
    LTexture t(nullptr, "t", nullptr);
    uint8_t* p = OwnedBuffer(8 * 8 * 3);
    ASSERT_EQ(t.SetPixels(p, 24, nullptr, 0, 8, 8, 1, 24, nullptr), 0);
    EXPECT_EQ(t.GetPixels(), p);

    // 30 texels of 1..30 per row, two padding bytes 0xEE: the stored 32-wide
    // row holds no 0xEE.
    uint8_t* q = OwnedBuffer(32 * 4, 0xEE);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 30; ++x) q[y * 32 + x] = uint8_t(x + 1);
    LTexture u(nullptr, "u", nullptr);
    ASSERT_EQ(u.SetPixels(q, 32, nullptr, 0, 30, 4, 1, 8, nullptr), 0);
    EXPECT_NE(u.GetPixels(), q);
    for (int x = 0; x < 32; ++x) EXPECT_NE(u.GetPixels()[x], 0xEE) << x;
    EXPECT_EQ(u.GetPixels()[0], 1);
    EXPECT_EQ(u.GetPixels()[31], 30);
}

TEST(Texture, DeviceLimitsClampBeforeRounding) {
    LTexture t(nullptr, "t", nullptr);
    ASSERT_EQ(t.SetPixels(OwnedBuffer(300 * 60), 300, nullptr, 0, 100, 60, 1, 24, nullptr), 0);
    const Device small(0, 0, 40, 70);  // 128 clamps to 40 -> 64; 64 stays
    ASSERT_EQ(t.FitToDevice(&small), 0);
    EXPECT_EQ(t.GetWidth(), 64);
    EXPECT_EQ(t.GetHeight(), 64);
    const Device big(300, 0, 0x7FFFFFFF, 0x7FFFFFFF);  // minimum 300 -> 512
    ASSERT_EQ(t.FitToDevice(&big), 0);
    EXPECT_EQ(t.GetWidth(), 512);
}

TEST(Texture, BadGeometryAndOversizeHoldNoPixels) {
    struct Case {
        int32_t w, h, pitch, depth;
    };
    const Case cases[] = {{0, 4, 4, 8}, {4, 0, 4, 8}, {10, 2, 20, 24}, {4, 4, 16, 12}, {-3, 2, 8, 8}};
    for (const Case& c : cases) {
        LTexture t(nullptr, "t", nullptr);
        const size_t bytes = size_t(c.pitch > 0 ? c.pitch : 1) * size_t(c.h > 0 ? c.h : 1);
        const int32_t r = t.SetPixels(OwnedBuffer(bytes), c.pitch, nullptr, 0, c.w, c.h, 1, c.depth, nullptr);
        EXPECT_EQ(r, 2) << c.w << "x" << c.h;
        EXPECT_EQ(t.GetPixels(), nullptr);
        uint8_t out[4];
        EXPECT_EQ(t.CopyPixels(out, 4, 1), 2);
    }
    // A source or stored buffer above 256 MB is refused before any texel is
    // read: 2 x 40000000 rows of 32-bit texels.
    LTexture tall(nullptr, "tall", nullptr);
    EXPECT_EQ(tall.SetPixels(OwnedBuffer(8), 8, nullptr, 0, 2, 40000000, 1, 32, nullptr), 2);
}

TEST(Texture, ResampleFailureUnderAllocationFaults) {
    LTexture t(nullptr, "t", nullptr);
    uint8_t* source = OwnedBuffer(300 * 60);
    tw::testing::SetAllocFailures(2);  // the new buffer, and its retry
    EXPECT_EQ(t.SetPixels(source, 300, nullptr, 0, 100, 60, 1, 24, nullptr), 2);
    tw::testing::SetAllocFailures(0);
    EXPECT_EQ(t.GetPixels(), nullptr);
}

TEST(Texture, MaskIsResampledWithThePixels) {
    LTexture t(nullptr, "t", nullptr);
    uint8_t* mask = OwnedBuffer(3 * 3);
    for (int i = 0; i < 9; ++i) mask[i] = uint8_t(10 * (i % 3) + 100 * (i / 3));
    ASSERT_EQ(t.SetPixels(OwnedBuffer(4 * 3), 4, mask, 3, 3, 3, 1, 8, nullptr), 0);
    ASSERT_NE(t.GetMask(), nullptr);
    EXPECT_EQ(t.GetMaskPitch(), 4);
    // 3 -> 4 on each axis: every source column and row appears, in order.
    const uint8_t* m = t.GetMask();
    EXPECT_EQ(m[0], 0);
    EXPECT_EQ(m[3], 20);
    EXPECT_EQ(m[3 * 4 + 3], 220);
    EXPECT_EQ(m[3 * 4 + 0], 200);
}

TEST(Texture, CopyPixelsRowsAndPitches) {
    LTexture t(nullptr, "t", nullptr);
    uint8_t* p = OwnedBuffer(4 * 2);
    for (int i = 0; i < 8; ++i) p[i] = uint8_t(i + 1);
    ASSERT_EQ(t.SetPixels(p, 4, nullptr, 0, 4, 2, 1, 8, nullptr), 0);
    std::vector<uint8_t> out(6 * 3, 0);
    EXPECT_EQ(t.CopyPixels(out.data(), 6, 3), 0);
    EXPECT_EQ(out, (std::vector<uint8_t>{1, 2, 3, 4, 0, 0, 5, 6, 7, 8, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(Texture, TranslucencyReloadsOnlyWhenChanged) {
    TestWorld w;
    static int loads;
    loads = 0;
    w.world.SetUserLoadCallback([](LTexture*, const char*, void*) -> int32_t { return ++loads, 1; }, nullptr);
    LTexture* t = w.world.CreateTexture("t", nullptr);
    ASSERT_EQ(w.world.GetTextureList().AddTexture(t), 0);
    t->SetTranslucency(255);
    EXPECT_EQ(loads, 0);
    t->SetTranslucency(100);
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(t->GetTranslucency(), 100);
    EXPECT_EQ(t->NeedsBlending(), 1);
}

TEST(Texture, BindCameraGeometryAndNames) {
    LTexture t(nullptr, "cam", nullptr);
    ASSERT_EQ(t.BindCamera(reinterpret_cast<L3DCamera*>(&t), 33, 10, 24), 0);
    EXPECT_EQ(t.GetPitch(), 100);  // 99 rounded up to 4
    EXPECT_EQ(t.GetWidth(), 33);
    EXPECT_EQ(t.GetHeight(), 10);
    EXPECT_NE(t.GetPixels(), nullptr);
    EXPECT_EQ(t.GetCamera(), reinterpret_cast<L3DCamera*>(&t));
    std::string longName(300, 'n');
    t.SetName(longName.c_str());
    char buffer[400];
    t.GetName(buffer, sizeof buffer);
    EXPECT_EQ(std::strlen(buffer), 255u);
    t.GetName(buffer, 4);
    EXPECT_STREQ(buffer, "nnn");
    float u, v;
    t.GetTiling(&u, &v);
    EXPECT_EQ(u, 1.0f);
    t.SetOffset(0.25f, 0.5f);
    t.GetOffset(&u, &v);
    EXPECT_EQ(v, 0.5f);
}
