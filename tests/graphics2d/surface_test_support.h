#pragma once
// Surface tests run as a registered client thread, as the runtime's GUI
// thread does, and build packed DIBs byte by byte.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "graphics2d/memory_surface.h"
#include "graphics2d/surface_registry.h"

class SurfaceClientTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterSurfaceClient(); }
    void TearDown() override { UnregisterSurfaceClient(); }

    // A memory surface of the depth.
    static bool MakeMemory(CSurface* s, int depth, int width, int height) {
        const CSurface* holder = nullptr;
        SelectPixelFormat(&holder, depth, kPlaceMemory, 0);
        return s->Create(width, height, holder);
    }
};

// A packed DIB: header, then masks or colour table, then rows.
struct PackedDib {
    std::vector<uint8_t> bytes;

    PackedDib(int width, int height, int bitCount, uint32_t compression = 0, uint32_t colours = 0) {
        BitmapInfoHeader h{};
        h.biSize = 40;
        h.biWidth = width;
        h.biHeight = height;
        h.biPlanes = 1;
        h.biBitCount = static_cast<uint16_t>(bitCount);
        h.biCompression = compression;
        h.biClrUsed = colours;
        bytes.resize(40);
        std::memcpy(bytes.data(), &h, 40);
    }
    BitmapInfoHeader* Header() { return reinterpret_cast<BitmapInfoHeader*>(bytes.data()); }
    void Add32(uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    // A colour table entry from a library colour (red low).
    void AddColour(uint32_t colour) { Add32(((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF)); }
    void AddBytes(size_t n, uint8_t value = 0) { bytes.insert(bytes.end(), n, value); }
};
