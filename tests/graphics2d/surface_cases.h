#pragma once
// Cases over surface implementations, written once: a fixture parametrised
// by a factory (how to make an implementation of depth d and size w × h) and
// a depth. This executable runs them on memory surfaces; a platform test can
// instantiate the same suites with a factory of its own.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "graphics2d/memory_surface.h"
#include "graphics2d/surface_registry.h"

struct SurfaceFactory {
    const char* name;
    CSurfaceImpl* (*make)(int depth, int32_t width, int32_t height);
};

// Memory surfaces made from the library's memory prototypes.
inline CSurfaceImpl* MakeMemorySurface(int depth, int32_t width, int32_t height) {
    const CSurface* holder = nullptr;
    SelectPixelFormat(&holder, depth, kPlaceMemory, 0);
    return holder && holder->GetImpl() ? holder->GetImpl()->MakeInstance(width, height) : nullptr;
}
inline const SurfaceFactory kMemoryFactory = {"Memory", MakeMemorySurface};

// DIB-section surfaces (kind 3, bottom-up rows) from the library's DIB
// prototypes: real DIB sections in the Windows build, memory stand-ins in the
// native one.
inline CSurfaceImpl* MakeDIBSurface(int depth, int32_t width, int32_t height) {
    const CSurface* holder = nullptr;
    SelectPixelFormat(&holder, depth, kPlaceDIB, 0);
    return holder && holder->GetImpl() ? holder->GetImpl()->MakeInstance(width, height) : nullptr;
}
inline const SurfaceFactory kDIBFactory = {"DIB", MakeDIBSurface};

// Back end 2: DirectDraw surfaces where DirectDraw is usable (the Windows
// build), else the kept-DC DIB prototypes. A DirectDraw surface has the
// display's format only, so other depths take DIB sections; its pixels can be
// addressed only while it is locked, so it is handed out locked (deleting it
// ends the lock).
inline CSurfaceImpl* MakeBackEnd2Surface(int depth, int32_t width, int32_t height) {
    const CSurface* holder = nullptr;
    SelectPixelFormat(&holder, depth, kPlaceDIB, 2);
    if (!holder || !holder->GetImpl()) return nullptr;
    CSurfaceImpl* s = holder->GetImpl()->MakeInstance(width, height);
    if (s && s->GetKind() == 5 && (s->depth != depth || !s->Lock())) {
        delete s;
        return MakeDIBSurface(depth, width, height);
    }
    return s;
}
inline const SurfaceFactory kBackEnd2Factory = {"BackEnd2", MakeBackEnd2Surface};

inline const int kCaseDepths[] = {8, 15, 16, 24, 32};

// Raw pixel values, as stored (8 bits the index).
inline uint32_t Raw(const CSurfaceImpl* s, int32_t x, int32_t y) {
    uint32_t v = 0;
    std::memcpy(&v, PixelAddress(s, x, y), static_cast<size_t>(s->bytesPerPixel));
    return v;
}
inline void SetRaw(CSurfaceImpl* s, int32_t x, int32_t y, uint32_t v) {
    std::memcpy(PixelAddress(s, x, y), &v, static_cast<size_t>(s->bytesPerPixel));
}
// Every raw pixel, row by row.
inline std::vector<uint32_t> RawPixels(const CSurfaceImpl* s) {
    std::vector<uint32_t> all;
    for (int32_t y = 0; y < s->height; ++y)
        for (int32_t x = 0; x < s->width; ++x) all.push_back(Raw(s, x, y));
    return all;
}
// A library colour as GetPixel gives it (0 when unreadable).
inline uint32_t ColourOf(CSurfaceImpl* s, int32_t x, int32_t y) {
    uint32_t c = 0;
    return s->GetPixel(x, y, &c) ? c : 0;
}

// Whether the surface draws through a device context (a real DIB section):
// such surfaces carry out mode 7 with GDI and their SetPalette answers true.
inline bool HasDC(CSurfaceImpl* s) {
    void* dc = s->GetDC();
    if (dc) s->ReleaseDC(dc);
    return dc != nullptr;
}

// Largest raw value of a depth (32 bits: colour bytes only).
inline uint32_t RawMask(int depth) {
    switch (depth) {
        case 8: return 0xFF;
        case 15: return 0x7FFF;
        case 16: return 0xFFFF;
        default: return 0xFFFFFF;
    }
}

class SurfaceCaseTest : public ::testing::TestWithParam<std::tuple<const SurfaceFactory*, int>> {
protected:
    void SetUp() override { RegisterSurfaceClient(); }
    void TearDown() override {
        made_.clear();
        UnregisterSurfaceClient();
    }

    int Depth() const { return std::get<1>(GetParam()); }

    // An implementation of the case's depth (or another), owned by the
    // fixture, all pixels 0.
    CSurfaceImpl* Make(int32_t width, int32_t height, int depth = 0) {
        CSurfaceImpl* s = std::get<0>(GetParam())->make(depth ? depth : Depth(), width, height);
        EXPECT_NE(s, nullptr);
        if (!s) return nullptr;
        made_.emplace_back(s);
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) SetRaw(s, x, y, 0);
        return s;
    }

    // Random non-zero raw values; with holes, about a quarter of them 0.
    void Pattern(CSurfaceImpl* s, uint32_t seed, bool holes = false) {
        std::mt19937 rng(seed);
        const uint32_t mask = RawMask(s->depth);
        for (int32_t y = 0; y < s->height; ++y)
            for (int32_t x = 0; x < s->width; ++x) {
                uint32_t v = rng() & mask;
                if (v == 0) v = 1;
                if (holes && rng() % 4 == 0) v = 0;
                SetRaw(s, x, y, v);
            }
    }

    // The colour a pixel of this surface's depth and palette holds after
    // being set to `colour` (narrowed, or the nearest palette entry).
    uint32_t Stored(CSurfaceImpl* like, uint32_t colour) {
        std::unique_ptr<CSurfaceImpl> one(like->MakeInstance(1, 1));
        if (!one || !one->SetPixel(0, 0, colour)) return 0xFFFFFFFF;
        return ColourOf(one.get(), 0, 0);
    }

private:
    std::vector<std::unique_ptr<CSurfaceImpl>> made_;
};

inline std::string SurfaceCaseName(const ::testing::TestParamInfo<SurfaceCaseTest::ParamType>& info) {
    return std::string(std::get<0>(info.param)->name) + std::to_string(std::get<1>(info.param));
}

// Runs the suite at every depth with the memory, the DIB-section and the
// back-end-2 factory.
#define TW_SURFACE_CASES_ON_EVERY_FACTORY(suite)                                                               \
    INSTANTIATE_TEST_SUITE_P(Memory, suite,                                                             \
                             ::testing::Combine(::testing::Values(&kMemoryFactory, &kDIBFactory, &kBackEnd2Factory), \
                                                ::testing::ValuesIn(kCaseDepths)),                      \
                             SurfaceCaseName)
