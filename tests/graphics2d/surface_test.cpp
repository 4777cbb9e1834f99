// The front object, prototype selection, rotation sizes, the DIB export and
// import, and the client registry.
#include <thread>

#include "graphics2d/colour_match.h"
#include "graphics2d/gdi_utils.h"
#include "surface_test_support.h"

using SurfaceTest = SurfaceClientTest;

TEST_F(SurfaceTest, NullFrontObjectIsEmptyAndIgnoresDrawing) {
    CSurface s;
    EXPECT_FALSE(s.IsValid());
    EXPECT_EQ(s.GetKind(), 1);
    EXPECT_EQ(s.GetWidth(), 0);
    EXPECT_EQ(s.GetHeight(), 0);
    EXPECT_EQ(s.Clear(0xFFFFFF), 0);
    uint32_t colour = 7;
    EXPECT_EQ(s.PixelAt(0, 0, &colour), 0);
    EXPECT_EQ(s.Lock(), nullptr);
    EXPECT_EQ(s.GetModeClass(), 0);
    EXPECT_EQ(s.IsDirectDraw(), 0);

    // A failed Create leaves an empty surface with the status word.
    EXPECT_FALSE(s.Create(4, 4, nullptr));
    EXPECT_EQ(s.GetStatus(), kSurfaceNoImpl);
    EXPECT_FALSE(s.IsValid());
    // Sizes below 1 become 1.
    ASSERT_TRUE(MakeMemory(&s, 24, 0, -5));
    EXPECT_EQ(s.GetStatus(), 0u);
    EXPECT_EQ(s.GetWidth(), 1);
    EXPECT_EQ(s.GetHeight(), 1);
}

TEST_F(SurfaceTest, SelectPixelFormatFollowsDepthPlacementAndBackEnd) {
    struct Case {
        int depth, placement, backEnd;
        const CSurface* expected;
        bool exact;
    };
    const CSurface* memory15 = nullptr;
    const CSurface* memory16 = nullptr;
    const CSurface* memory32 = nullptr;
    SelectPixelFormat(&memory15, 15, 0, 0);
    SelectPixelFormat(&memory16, 16, 0, 0);
    SelectPixelFormat(&memory32, 32, 0, 0);
    ASSERT_NE(memory15, memory16);
    EXPECT_EQ(memory15->GetDepth(), 15);
    EXPECT_EQ(memory32->GetDepth(), 32);
    const Case cases[] = {
        {12, 0, 0, memory15, false}, {16, 0, 0, memory16, true}, {15, 0, 0, memory15, true},
        {40, 0, 0, memory32, false}, {8, 4, 0, nullptr, false},  {8, -1, 0, nullptr, false},
        // Unknown back ends: the kept-DC prototype.
        {24, 1, 7, GetDCSurfacePrototype(24), true}, {24, 2, 0, GetDCSurfacePrototype(24), true},
    };
    for (const Case& c : cases) {
        const CSurface* holder = reinterpret_cast<const CSurface*>(1);
        EXPECT_EQ(SelectPixelFormat(&holder, c.depth, c.placement, c.backEnd), c.exact)
            << c.depth << " " << c.placement << " " << c.backEnd;
        EXPECT_EQ(holder, c.expected) << c.depth << " " << c.placement << " " << c.backEnd;
    }
    // Placements 1 and 3 of back end 0 take the DIB prototype, not the kept-DC one.
    const CSurface* dib = nullptr;
    SelectPixelFormat(&dib, 24, 1, 0);
    EXPECT_NE(dib, GetDCSurfacePrototype(24));
    EXPECT_NE(dib, nullptr);

    // Back end 2: the DirectDraw prototypes (placement 3 the system-memory
    // one) where DirectDraw is usable, else the kept-DC prototype.
    const bool directDraw = IsDirectDrawUsable();
    const CSurface* video = nullptr;
    const CSurface* system = nullptr;
    EXPECT_TRUE(SelectPixelFormat(&video, 8, 1, 2));
    EXPECT_TRUE(SelectPixelFormat(&system, 24, 3, 2));
    ASSERT_NE(video, nullptr);
    ASSERT_NE(system, nullptr);
    if (directDraw) {
        EXPECT_EQ(video->GetKind(), 5);
        EXPECT_EQ(system->GetKind(), 5);
        EXPECT_NE(video, system);
    } else {
        EXPECT_EQ(video, GetDCSurfacePrototype(8));
        EXPECT_EQ(system, GetDCSurfacePrototype(24));
    }
}

TEST(SurfaceRotation, AnglesAndRotatedSizes) {
    const int angles[][2] = {{-1, 359}, {720, 0}, {-360, 0}, {-361, 359}, {359, 359}, {360, 0}, {-720, 0}};
    for (const auto& a : angles) EXPECT_EQ(NormaliseAngle(a[0]), a[1]) << a[0];
    struct Case {
        int w, h, angle, nw, nh;
    };
    // 45 degrees: corners of 10 x 20 at cos = sin = 0.7071...: x' spans
    // -13.43..6.36 (19.79 -> 19 + 1), y' spans -6.36..13.43.
    const Case cases[] = {{10, 20, 90, 20, 10}, {10, 20, 0, 10, 20}, {10, 20, 270, 20, 10},
                          {10, 20, 180, 10, 20}, {10, 20, 45, 20, 20}, {1, 1, 33, 1, 1}};
    for (const Case& c : cases) {
        int w, h;
        GetRotatedSize(c.w, c.h, c.angle, &w, &h);
        EXPECT_EQ(w, c.nw) << c.angle;
        EXPECT_EQ(h, c.nh) << c.angle;
    }
}

TEST_F(SurfaceTest, RotateCopyMakesTheRotatedSizeFromTheSource) {
    CSurface source, rotated;
    ASSERT_TRUE(MakeMemory(&source, 16, 10, 20));
    source.RotateCopy(&rotated, -270, 0, 0x123456);
    EXPECT_EQ(rotated.GetWidth(), 20);
    EXPECT_EQ(rotated.GetHeight(), 10);
    EXPECT_EQ(rotated.GetDepth(), 16);
    CSurface fromRadians;
    source.RotateCopyRadians(&fromRadians, 1.5707963267948966 + 1e-9, 0, 0);  // 90.0000001 -> 90
    EXPECT_EQ(fromRadians.GetWidth(), 20);
}

TEST_F(SurfaceTest, PaletteOperationsAreRefusedAboveEightBits) {
    CSurface deep, paletted;
    ASSERT_TRUE(MakeMemory(&deep, 24, 4, 4));
    ASSERT_TRUE(MakeMemory(&paletted, 8, 4, 4));
    CSharedPalette* palette = GetDefaultSharedPalette();
    EXPECT_EQ(deep.SetPalette(palette, 0), 0);
    EXPECT_EQ(deep.GetStatus(), kSurfaceRefused);
    EXPECT_EQ(deep.GetPalette(), nullptr);
    EXPECT_EQ(deep.SetPaletteEntries(&GetDefaultLogPalette(), 0), 0);
    EXPECT_EQ(paletted.SetPalette(palette, 0), 1);
    EXPECT_EQ(paletted.GetStatus(), 0u);
    EXPECT_EQ(paletted.GetPalette(), palette);
    CSharedPalette::Release(palette);
}

TEST_F(SurfaceTest, OriginsMoveFrontObjectCoordinates) {
    CSurface s;
    ASSERT_TRUE(MakeMemory(&s, 24, 8, 8));
    s.SetOrigin(3, 2);
    s.SetClipRect(3, 2, 4, 4);
    int x, y, w, h;
    s.GetImpl()->GetClipRect(&x, &y, &w, &h);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    s.GetClipRect(&x, &y, &w, &h);
    EXPECT_EQ(x, 3);
    EXPECT_EQ(y, 2);
    EXPECT_EQ(w, 4);
    s.SetClipRect(3, 2, 8, 8);
    s.FillRect(4, 3, 1, 1, 0x0000FF);  // implementation (1, 1)
    uint32_t colour = 0;
    ASSERT_TRUE(s.GetImpl()->GetPixel(1, 1, &colour));
    EXPECT_EQ(colour, 0x0000FFu);
    EXPECT_TRUE(s.PixelAt(4, 3, &colour));
    EXPECT_EQ(colour, 0x0000FFu);

    // Blit: the surface called is the source; each side loses its own origin.
    CSurface destination;
    ASSERT_TRUE(MakeMemory(&destination, 24, 8, 8));
    destination.SetOrigin(-1, 0);
    EXPECT_EQ(s.Blit(&destination, 0, 0, 4, 3, 1, 1, 0, 0, 0, 0), 1);
    ASSERT_TRUE(destination.GetImpl()->GetPixel(1, 0, &colour));
    EXPECT_EQ(colour, 0x0000FFu);
}

TEST_F(SurfaceTest, CreateCopyOfTheSameSizeCopiesThePixels) {
    CSurface source, copy;
    ASSERT_TRUE(MakeMemory(&source, 15, 5, 3));
    source.Clear(0);
    source.FillRect(1, 1, 2, 1, 0x00F8F8);
    ASSERT_TRUE(copy.CreateCopy(&source, -1, 0));
    EXPECT_EQ(copy.GetWidth(), 5);
    EXPECT_EQ(copy.GetDepth(), 15);
    uint32_t colour;
    ASSERT_TRUE(copy.PixelAt(2, 1, &colour));
    EXPECT_EQ(colour, 0x00F8F8u);
    ASSERT_TRUE(copy.PixelAt(0, 1, &colour));
    EXPECT_EQ(colour, 0u);
    CSurface empty;
    EXPECT_FALSE(copy.CreateCopy(&empty, -1, 0));
    EXPECT_FALSE(copy.IsValid());
}

TEST_F(SurfaceTest, CreateCopyWithASizeStretchesThePixels) {
    CSurface source, copy;
    ASSERT_TRUE(MakeMemory(&source, 24, 3, 2));
    const uint32_t colours[2][3] = {{0x102030, 0x405060, 0x708090}, {0xA0B0C0, 0xD0E0F0, 0x0F1F2F}};
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 3; ++x) source.FillRect(x, y, 1, 1, colours[y][x]);
    ASSERT_TRUE(copy.CreateCopy(&source, 6, 4));
    ASSERT_EQ(copy.GetWidth(), 6);
    ASSERT_EQ(copy.GetHeight(), 4);
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 6; ++x) {
            uint32_t colour = 0;
            ASSERT_TRUE(copy.PixelAt(x, y, &colour));
            EXPECT_EQ(colour, colours[y / 2][x / 2]) << x << "," << y;
        }
}

TEST_F(SurfaceTest, GetBitmapInfoHeaderPerDepth) {
    struct Case {
        int depth, bitCount;
        uint32_t compression;
        int tableBytes;
    };
    const Case cases[] = {{8, 8, 0, 1024}, {15, 16, 0, 0}, {16, 16, 3, 12}, {24, 24, 0, 0}, {32, 32, 0, 0}};
    for (const Case& c : cases) {
        CSurface s;
        ASSERT_TRUE(MakeMemory(&s, c.depth, 7, 3));
        ASSERT_EQ(s.GetImageSize(), 40 + c.tableBytes + GetDIBPitch(7, c.depth) * 3) << c.depth;
        std::vector<uint8_t> dib(static_cast<size_t>(s.GetImageSize()), 0xCD);
        BitmapInfoHeader* h = reinterpret_cast<BitmapInfoHeader*>(dib.data());
        ASSERT_TRUE(s.GetBitmapInfo(h, nullptr, 1));
        EXPECT_EQ(h->biSize, 40u);
        EXPECT_EQ(h->biWidth, 7);
        EXPECT_EQ(h->biHeight, 3);
        EXPECT_EQ(h->biPlanes, 1);
        EXPECT_EQ(h->biBitCount, c.bitCount) << c.depth;
        EXPECT_EQ(h->biCompression, c.compression) << c.depth;
        EXPECT_EQ(h->biSizeImage, static_cast<uint32_t>(GetDIBPitch(7, c.depth) * 3));
        if (c.depth == 16) {
            uint32_t masks[3];
            std::memcpy(masks, dib.data() + 40, 12);
            EXPECT_EQ(masks[0], 0xF800u);
            EXPECT_EQ(masks[1], 0x07E0u);
            EXPECT_EQ(masks[2], 0x001Fu);
        }
        if (c.depth == 8) {  // blue, green, red, 0 of the default palette
            const PaletteEntry& e = GetDefaultLogPalette().entries[9];
            EXPECT_EQ(dib[40 + 36], e.blue);
            EXPECT_EQ(dib[40 + 37], e.green);
            EXPECT_EQ(dib[40 + 38], e.red);
            EXPECT_EQ(dib[40 + 39], 0);
        }
    }
    CSurface s;
    EXPECT_FALSE(s.GetBitmapInfo(nullptr, nullptr, 0));
    EXPECT_EQ(s.GetStatus(), kSurfaceBadArgument);
}

// Every depth: pixels written through the front object come back through a
// DIB export and import, also into surfaces of other sizes.
TEST_F(SurfaceTest, BitmapInfoRoundTripsEveryDepth) {
    const uint32_t colours[4] = {0x000000, 0x0000F8, 0xF8F800, 0x80FC08};
    for (int depth : {8, 15, 16, 24, 32}) {
        CSurface s;
        ASSERT_TRUE(MakeMemory(&s, depth, 5, 4));
        s.Clear(0);
        for (int i = 0; i < 4; ++i) s.FillRect(i, i, 1, 1, colours[i]);
        std::vector<uint8_t> dib(static_cast<size_t>(s.GetImageSize()));
        BitmapInfoHeader* h = reinterpret_cast<BitmapInfoHeader*>(dib.data());
        ASSERT_TRUE(s.GetBitmapInfo(h, nullptr, 0));
        CSurface back;
        ASSERT_TRUE(MakeMemory(&back, depth, 1, 1));
        ASSERT_TRUE(back.CreateFromBitmapInfo(h, nullptr, 0, static_cast<int64_t>(dib.size()))) << depth;
        EXPECT_EQ(back.GetWidth(), 5);
        EXPECT_EQ(back.GetHeight(), 4);
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 5; ++x) {
                uint32_t a = 1, b = 2;
                s.PixelAt(x, y, &a);
                back.PixelAt(x, y, &b);
                EXPECT_EQ(a, b) << "depth " << depth << " at " << x << "," << y;
            }
        }
    }
}

TEST_F(SurfaceTest, OneAndFourBitDibsExpandAtEntryTen) {
    // 4-bit, 3 x 2, top-down: indices 0 1 2 / 2 1 0 with a 3-colour table.
    PackedDib dib(3, -2, 4, 0, 3);
    dib.AddColour(0x0000FF);
    dib.AddColour(0x00FF00);
    dib.AddColour(0xFF0000);
    const uint8_t rows[8] = {0x01, 0x20, 0, 0, 0x21, 0x00, 0, 0};
    dib.bytes.insert(dib.bytes.end(), rows, rows + 8);
    CSurface deep;
    ASSERT_TRUE(MakeMemory(&deep, 24, 1, 1));
    ASSERT_TRUE(deep.CreateFromBitmapInfo(dib.Header(), nullptr, 0, static_cast<int64_t>(dib.bytes.size())));
    const uint32_t expected[2][3] = {{0x0000FF, 0x00FF00, 0xFF0000}, {0xFF0000, 0x00FF00, 0x0000FF}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            uint32_t c = 1;
            ASSERT_TRUE(deep.PixelAt(x, y, &c));
            EXPECT_EQ(c, expected[y][x]) << x << "," << y;
        }

    // Into an 8-bit surface with flag 4 the palette is taken as it is: the
    // colours at 10 onwards, the pixels at index + 10; the rest stays the
    // default palette.
    CSurface paletted;
    ASSERT_TRUE(MakeMemory(&paletted, 8, 1, 1));
    ASSERT_TRUE(paletted.CreateFromBitmapInfo(dib.Header(), nullptr, 4, static_cast<int64_t>(dib.bytes.size())));
    uint8_t index = 0;
    ASSERT_TRUE(paletted.PixelIndexAt(2, 0, &index));
    EXPECT_EQ(index, 12);
    EXPECT_EQ(paletted.GetPaletteColor(12), 0xFF0000u);
    const PaletteEntry& past = GetDefaultLogPalette().entries[13];  // past the DIB's 3 colours
    EXPECT_EQ(paletted.GetPaletteColor(13), past.red | past.green << 8 | past.blue << 16u);
    EXPECT_EQ(paletted.GetPaletteColor(249), 0x0000FFu);  // static red stays

    // 1-bit: black at entry 10 of the made palette is stored as (8,0,0), so
    // the picture's black does not turn transparent.
    PackedDib mono(9, 1, 1, 0, 2);
    mono.AddColour(0x000000);
    mono.AddColour(0xFFFFFF);
    const uint8_t row[4] = {0xA5, 0x80, 0, 0};
    mono.bytes.insert(mono.bytes.end(), row, row + 4);
    ASSERT_TRUE(deep.CreateFromBitmapInfo(mono.Header(), nullptr, 0, static_cast<int64_t>(mono.bytes.size())));
    const int bits[9] = {1, 0, 1, 0, 0, 1, 0, 1, 1};
    for (int x = 0; x < 9; ++x) {
        uint32_t c = 1;
        ASSERT_TRUE(deep.PixelAt(x, 0, &c));
        EXPECT_EQ(c, bits[x] ? 0xFFFFFFu : 0x000008u) << x;
    }
}

TEST_F(SurfaceTest, EightBitImportRearrangesOrKeepsThePalette) {
    // An 8-bit DIB whose table holds pure red at entry 20 and a grey ramp
    // elsewhere: the rearranged palette puts the static red at 249.
    PackedDib dib(2, -1, 8, 0, 256);
    for (int i = 0; i < 256; ++i) dib.AddColour(i == 20 ? 0x0000FF : (i * 0x010101u));
    dib.AddBytes(4);
    dib.bytes[dib.bytes.size() - 4] = 20;
    dib.bytes[dib.bytes.size() - 3] = 100;
    CSurface s;
    ASSERT_TRUE(MakeMemory(&s, 8, 1, 1));
    ASSERT_TRUE(s.CreateFromBitmapInfo(dib.Header(), nullptr, 0, static_cast<int64_t>(dib.bytes.size())));
    uint8_t index = 0;
    ASSERT_TRUE(s.PixelIndexAt(0, 0, &index));
    EXPECT_EQ(s.GetPaletteColor(index), 0x0000FFu);
    EXPECT_EQ(s.GetPaletteColor(249), 0x0000FFu);
    uint32_t colour = 0;
    ASSERT_TRUE(s.PixelAt(1, 0, &colour));
    EXPECT_EQ(colour, 0x646464u);

    // Flag 1 keeps the surface's own palette and re-indexes onto it.
    CSurface keep;
    ASSERT_TRUE(MakeMemory(&keep, 8, 1, 1));
    CSharedPalette* before = keep.GetPalette();
    ASSERT_TRUE(keep.CreateFromBitmapInfo(dib.Header(), nullptr, 1, static_cast<int64_t>(dib.bytes.size())));
    EXPECT_EQ(keep.GetPalette(), before);
    ASSERT_TRUE(keep.PixelAt(0, 0, &colour));
    EXPECT_EQ(colour, 0x0000FFu);  // the default palette has pure red
}

TEST_F(SurfaceTest, MalformedDibsLeaveStatusAndNoAccess) {
    struct Case {
        const char* name;
        int width, height, bitCount;
        uint32_t compression, colours, headerSize;
        size_t extra;  // bytes behind the header
        uint32_t status;
    };
    const Case cases[] = {
        {"rle8", 4, 4, 8, 1, 0, 40, 2048, kSurfaceRefused},
        {"rle4", 4, 4, 4, 2, 0, 40, 2048, kSurfaceRefused},
        {"12 bits", 4, 4, 12, 0, 0, 40, 2048, kSurfaceRefused},
        {"20 bits", 4, 4, 20, 0, 0, 40, 2048, kSurfaceRefused},
        {"bit fields at 24", 4, 4, 24, 3, 0, 40, 2048, kSurfaceRefused},
        {"zero width", 0, 4, 24, 0, 0, 40, 2048, kSurfaceBadArgument},
        {"negative width", -4, 4, 24, 0, 0, 40, 2048, kSurfaceBadArgument},
        {"zero height", 4, 0, 24, 0, 0, 40, 2048, kSurfaceBadArgument},
        {"short header", 4, 4, 24, 0, 0, 12, 2048, kSurfaceBadArgument},
        {"header past the data", 4, 4, 24, 0, 0, 4000, 100, kSurfaceBadArgument},
        {"huge colour count", 4, 4, 8, 0, 0x40000000, 40, 2048, kSurfaceBadArgument},
        {"rows past the data", 64, 64, 24, 0, 0, 40, 100, kSurfaceBadArgument},
        {"rows overflow 31 bits", 0x7FFFFFF, 0x7FFFFFF, 32, 0, 0, 40, 100, kSurfaceBadArgument},
        {"rows overflow 64 bits", 0x7FFFFFFF, 0x7FFFFFFF, 32, 0, 0, 40, 100, kSurfaceBadArgument},
        {"4-bit rows past the data", 64, 64, 4, 0, 0, 40, 70, kSurfaceBadArgument},
        {"4-bit huge colour count", 4, 4, 4, 0, 300, 40, 2048, kSurfaceBadArgument},
    };
    for (const Case& c : cases) {
        PackedDib dib(c.width, c.height, c.bitCount, c.compression, c.colours);
        dib.Header()->biSize = c.headerSize;
        dib.AddBytes(c.extra, 0x11);
        CSurface s;
        ASSERT_TRUE(MakeMemory(&s, 24, 2, 2));
        EXPECT_FALSE(s.CreateFromBitmapInfo(dib.Header(), nullptr, 0, static_cast<int64_t>(dib.bytes.size())))
            << c.name;
        EXPECT_EQ(s.GetStatus(), c.status) << c.name;
        EXPECT_EQ(s.GetWidth(), 2) << c.name;  // the surface is kept
    }
    CSurface s;
    EXPECT_FALSE(s.CreateFromBitmapInfo(nullptr, nullptr, 0));
    EXPECT_EQ(s.GetStatus(), kSurfaceBadArgument);
}

TEST_F(SurfaceTest, RegistrationsCountPerThreadAndPrototypesAreMadeOnce) {
    EXPECT_EQ(GetSurfaceClientCount(), 1);
    EXPECT_TRUE(SurfacePrototypesExist());
    const CSurface* holder = nullptr;
    SelectPixelFormat(&holder, 24, 0, 0);
    CSurfaceImpl* prototype = holder->GetImpl();
    EXPECT_EQ(GetThreadPaletteReferences(), 1);
    RegisterSurfaceClient();
    EXPECT_EQ(GetSurfaceClientCount(), 2);
    EXPECT_EQ(GetRegisteredThreadCount(), 1);
    EXPECT_EQ(holder->GetImpl(), prototype);  // not made again
    EXPECT_EQ(GetThreadPaletteReferences(), 1);
    UnregisterSurfaceClient();
    EXPECT_EQ(GetSurfaceClientCount(), 1);
    EXPECT_TRUE(SurfacePrototypesExist());

    // Another thread has its own palettes and its own registration; the
    // prototypes stay until the last thread leaves.
    CSharedPalette* mine = GetDefaultSharedPalette();
    bool sharedAcross = true;
    int otherCount = 0;
    std::thread other([&] {
        RegisterSurfaceClient();
        otherCount = GetRegisteredThreadCount();
        CSharedPalette* theirs = GetDefaultSharedPalette();
        sharedAcross = theirs == mine;
        CSharedPalette::Release(theirs);
        UnregisterSurfaceClient();
        EXPECT_EQ(GetSharedPaletteCount(), 0);
    });
    other.join();
    EXPECT_EQ(otherCount, 2);
    EXPECT_FALSE(sharedAcross);
    EXPECT_TRUE(SurfacePrototypesExist());
    EXPECT_EQ(GetRegisteredThreadCount(), 1);
    CSharedPalette::Release(mine);
}

TEST(SurfaceRegistry, LastUnregistrationReleasesPrototypesAndPalettes) {
    RegisterSurfaceClient();
    EXPECT_TRUE(SurfacePrototypesExist());
    CSharedPalette* kept = AcquireSharedPalette(GetDefaultLogPalette());
    ASSERT_NE(kept, nullptr);
    UnregisterSurfaceClient();
    EXPECT_FALSE(SurfacePrototypesExist());
    EXPECT_EQ(GetSharedPaletteCount(), 0);  // destroyed, whoever held them
    UnregisterSurfaceClient();              // not registered: nothing
    EXPECT_EQ(GetRegisteredThreadCount(), 0);
}

TEST(IconMask, MarksMaskColourPixelsTopRowFirst) {
    // 17 x 2 pixels, bottom-up 24-bit rows: the bottom row all mask colour,
    // the top row mask colour at x = 0 and 16 only.
    const int width = 17, height = 2, pitch = GetDIBPitch(width, 24);
    std::vector<uint8_t> pixels(static_cast<size_t>(pitch) * height, 0x55);
    const uint32_t mask = 0x332211;  // red 0x11, green 0x22, blue 0x33
    auto set = [&](int x, int y) {
        uint8_t* p = pixels.data() + (height - 1 - y) * pitch + 3 * x;
        p[0] = 0x33, p[1] = 0x22, p[2] = 0x11;
    };
    for (int x = 0; x < width; ++x) set(x, 1);
    set(0, 0);
    set(16, 0);
    std::vector<uint8_t> bits(4 * 2, 0xEE);
    BuildIconMask(pixels.data(), width, height, mask, bits.data());
    const uint8_t expected[8] = {0x80, 0x00, 0x80, 0x00, 0xFF, 0xFF, 0x80, 0x00};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(bits[i], expected[i]) << i;
}
