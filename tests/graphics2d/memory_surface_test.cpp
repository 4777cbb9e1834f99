// Memory surfaces and the DIB wrapper.
#include <cstdio>
#include <string>

#include "runtime/io/os_file.h"
#include "surface_test_support.h"

using MemorySurfaceTest = SurfaceClientTest;

TEST_F(MemorySurfaceTest, PitchesPadToWordsAndRowsAlignToEight) {
    struct Case {
        int depth, width, pitch;
    };
    const Case cases[] = {{15, 17, 36}, {8, 1, 4}, {16, 1, 4}, {24, 5, 16}, {32, 3, 12}, {8, 9, 12}};
    for (const Case& c : cases) {
        CSurface s;
        ASSERT_TRUE(MakeMemory(&s, c.depth, c.width, 3));
        CSurfaceImpl* impl = s.GetImpl();
        EXPECT_EQ(impl->pitch, c.pitch) << c.depth << " x " << c.width;
        EXPECT_EQ(impl->rowStep, c.pitch);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(impl->rowBase) % 8, 0u);
        EXPECT_LE(impl->rowBase - impl->lockedBits, 7);
        EXPECT_EQ(impl->bytesPerPixel, (c.depth + 7) / 8);
        EXPECT_EQ(impl->HasCapability(4), 1);
        EXPECT_EQ(impl->HasCapability(6), 0);
        // The whole last row is writable (ASan watches the block's end).
        std::memset(impl->rowBase + 2 * impl->pitch, 0xAB, static_cast<size_t>(impl->pitch));
    }
}

TEST_F(MemorySurfaceTest, OversizedSurfacesAreRefusedCleanly) {
    CSurface s;
    const CSurface* holder = nullptr;
    SelectPixelFormat(&holder, 32, kPlaceMemory, 0);
    EXPECT_FALSE(s.Create(100000, 100000, holder));
    EXPECT_EQ(s.GetStatus(), kSurfaceNoImpl);
    EXPECT_EQ(holder->GetImpl()->MakeInstance(0x7FFFFFFF, 0x7FFFFFFF), nullptr);
    EXPECT_EQ(holder->GetImpl()->MakeInstance(16384, 16385), nullptr);  // just past 1 GB

    ASSERT_TRUE(s.Create(4, 4, holder));
    CSurfaceImpl* impl = s.GetImpl();
    uint8_t* before = impl->lockedBits;
    EXPECT_EQ(impl->Allocate(100000, 100000), 0);
    EXPECT_EQ(impl->lockedBits, before);
    EXPECT_EQ(impl->width, 4);
    ASSERT_EQ(impl->Allocate(9, 2), 1);
    EXPECT_EQ(impl->width, 9);
    EXPECT_EQ(impl->pitch, 36);
    EXPECT_EQ(impl->clipRight, 9);
    EXPECT_EQ(impl->clipBottom, 2);
}

TEST_F(MemorySurfaceTest, EightBitInstancesShareThePrototypePalette) {
    CSurface a, b;
    ASSERT_TRUE(MakeMemory(&a, 8, 2, 2));
    ASSERT_TRUE(MakeMemory(&b, 8, 3, 3));
    ASSERT_NE(a.GetPalette(), nullptr);
    EXPECT_EQ(a.GetPalette(), b.GetPalette());
    const uint32_t references = a.GetPalette()->referenceCount;
    {
        CSurface c;
        ASSERT_TRUE(MakeMemory(&c, 8, 1, 1));
        EXPECT_EQ(a.GetPalette()->referenceCount, references + 1);
    }
    EXPECT_EQ(a.GetPalette()->referenceCount, references);
    EXPECT_EQ(a.GetImpl()->GetBlackIndex(), a.GetPalette()->blackIndex);
    CSurface deep;
    ASSERT_TRUE(MakeMemory(&deep, 24, 1, 1));
    EXPECT_EQ(deep.GetImpl()->GetBlackIndex(), 4u);
}

TEST_F(MemorySurfaceTest, BitsGoToAndFromFiles) {
    CSurface s, t;
    ASSERT_TRUE(MakeMemory(&s, 24, 5, 3));
    ASSERT_TRUE(MakeMemory(&t, 24, 5, 3));
    CSurfaceImpl* a = s.GetImpl();
    for (int i = 0; i < a->pitch * 3; ++i) a->rowBase[i] = static_cast<uint8_t>(i * 7);
    const std::string name = ::testing::TempDir() + "surface_bits.bin";
    FileHandle file = CreateFileHandle(name.c_str());
    ASSERT_NE(file, kNoFileHandle);
    EXPECT_EQ(a->WriteBits(file), 1);
    SeekFileAbsolute(file, 0);
    EXPECT_EQ(t.GetImpl()->ReadBits(file), 1);
    EXPECT_EQ(std::memcmp(a->rowBase, t.GetImpl()->rowBase, static_cast<size_t>(a->pitch * 3)), 0);
    EXPECT_EQ(t.GetImpl()->ReadBits(file), 0);  // at the end: not all bytes
    CloseFileHandle(file);
    std::remove(name.c_str());
}

TEST_F(MemorySurfaceTest, DibWrapperTakesDepthsMasksAndRowOrder) {
    struct Case {
        const char* name;
        int bitCount;
        uint32_t compression;
        uint32_t masks[3];
        int depth;  // 0: stays empty
    };
    const Case cases[] = {
        {"plain 16", 16, 0, {0, 0, 0}, 15},
        {"5-5-5 fields", 16, 3, {0x7C00, 0x03E0, 0x001F}, 15},
        {"5-6-5 fields", 16, 3, {0xF800, 0x07E0, 0x001F}, 16},
        {"other 16 fields", 16, 3, {0xF800, 0x07E0, 0x003F}, 0},
        {"32 fields", 32, 3, {0xFF0000, 0xFF00, 0xFF}, 32},
        {"32 other fields", 32, 3, {0xFF, 0xFF00, 0xFF0000}, 0},
        {"24", 24, 0, {0, 0, 0}, 24},
        {"4 bits", 4, 0, {0, 0, 0}, 0},
        {"1 bit", 1, 0, {0, 0, 0}, 0},
        {"24 fields", 24, 3, {0xFF0000, 0xFF00, 0xFF}, 0},
    };
    for (const Case& c : cases) {
        PackedDib dib(3, 2, c.bitCount, c.compression);
        if (c.compression == 3)
            for (uint32_t m : c.masks) dib.Add32(m);
        const size_t pixels = dib.bytes.size();
        dib.AddBytes(64, 0x11);
        CDIBMemorySurface wrapper(dib.Header(), nullptr, false, static_cast<int64_t>(dib.bytes.size()));
        EXPECT_EQ(wrapper.depth, c.depth) << c.name;
        if (!c.depth) {
            EXPECT_EQ(wrapper.width, 0) << c.name;
            EXPECT_EQ(wrapper.lockedBits, nullptr) << c.name;
            continue;
        }
        EXPECT_EQ(wrapper.width, 3);
        EXPECT_EQ(wrapper.height, 2);
        EXPECT_EQ(wrapper.lockedBits, dib.bytes.data() + pixels) << c.name;
        // Bottom-up: the row base is the last stored row.
        EXPECT_EQ(wrapper.rowBase, wrapper.lockedBits + wrapper.pitch) << c.name;
        EXPECT_EQ(wrapper.rowStep, -wrapper.pitch);
        EXPECT_EQ(wrapper.bottomUp, -1);
    }
    // Top-down rows, given bits.
    PackedDib top(3, -2, 24);
    uint8_t bits[24] = {};
    CDIBMemorySurface wrapper(top.Header(), bits, false);
    EXPECT_EQ(wrapper.rowBase, bits);
    EXPECT_EQ(wrapper.rowStep, 12);
    EXPECT_EQ(wrapper.bottomUp, 0);
}

TEST_F(MemorySurfaceTest, DibWrapperColourTable) {
    // biClrUsed 16, no bits pointer: the pixels start at 40 + 64.
    PackedDib dib(4, 1, 8, 0, 16);
    for (int i = 0; i < 16; ++i) dib.AddColour(i == 0 ? 0 : 0x000010u * i | 0x200000u);
    dib.AddBytes(4, 3);
    CDIBMemorySurface wrapper(dib.Header(), nullptr, true, static_cast<int64_t>(dib.bytes.size()));
    ASSERT_EQ(wrapper.depth, 8);
    EXPECT_EQ(wrapper.lockedBits, dib.bytes.data() + 40 + 64);
    ASSERT_NE(wrapper.palette, nullptr);
    EXPECT_EQ(wrapper.palette->count, 256);
    EXPECT_EQ(wrapper.palette->entries[3].red, 0x30);
    EXPECT_EQ(wrapper.palette->entries[3].blue, 0x20);
    // The entries past the table are black (stored as (8,0,0) past entry 0).
    EXPECT_EQ(wrapper.palette->entries[16].red, 8);
    EXPECT_EQ(wrapper.palette->entries[16].green, 0);
    EXPECT_EQ(wrapper.palette->entries[200].blue, 0);

    // A short buffer leaves it empty.
    CDIBMemorySurface cut(dib.Header(), nullptr, true, 40 + 64 + 3);
    EXPECT_EQ(cut.depth, 0);
    EXPECT_EQ(cut.palette, nullptr);
}
