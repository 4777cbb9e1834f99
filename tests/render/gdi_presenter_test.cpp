// The GDI presenter's logic over recording system calls: display-mode
// changes, surface ownership, the end of a frame and its failures; and one
// frame drawn into a real surface of the surface library.
#include "software_fixture.h"

#include "engine3d/camera.h"
#include "engine3d/object.h"
#include "engine3d/world.h"
#include "graphics2d/surface.h"
#include "graphics2d/surface_registry.h"
#include "render/software/gdi_presenter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Recorder {
    std::vector<std::string> calls;
    bool createFails = false;
    bool noDC = false;
};
Recorder* g_recorder = nullptr;
CSurface g_format;  // a stand-in pixel-format record

void Log(const std::string& s) { g_recorder->calls.push_back(s); }

const LGdiPresenterSystem kRecording = {
    [](void*) -> void* { return g_recorder->noDC ? nullptr : reinterpret_cast<void*>(0x10); },
    [](void*, void*) { Log("release"); },
    [](void*, void*, int32_t background) -> void* {
        Log(background ? "palette back" : "palette");
        return nullptr;
    },
    [](void*, int32_t x, int32_t y, uint32_t colour, int32_t transparent, const char* text, int32_t length) {
        char head[64];
        std::snprintf(head, sizeof head, "text (%d,%d) %06x %s ", int(x), int(y), unsigned(colour),
                      transparent ? "transparent" : "opaque");
        Log(head + std::string(text, size_t(length)));
    },
    [](CSurface*, void*) { Log("blit"); },
    [](int32_t depth, int32_t kind) -> const CSurface* {
        Log("format " + std::to_string(depth) + " " + std::to_string(kind));
        return &g_format;
    },
    [](const CSurface*, void*) { Log("restore"); },
    [](const CSurface*, void*, int32_t w, int32_t h, int32_t d) {
        Log("display " + std::to_string(w) + "x" + std::to_string(h) + "x" + std::to_string(d));
        return 1;
    },
    [](CSurface* surface, int32_t w, int32_t h, const CSurface*) {
        Log("create " + std::to_string(w) + "x" + std::to_string(h));
        if (g_recorder->createFails) return false;
        const CSurface* memory = nullptr;
        SelectPixelFormat(&memory, 32, kPlaceMemory, 0);
        return surface->Create(w, h, memory) && surface->IsValid();
    },
};

int32_t Depth32() { return 32; }
uint32_t StoppedClock() { return 0; }

struct PresenterFixture : ::testing::Test {
    Recorder recorder;
    LAPI_Surface_Win32 driver;
    std::unique_ptr<LRenderAPI_Surface_Win32> presenter;
    LRenderAPICLBK::DepthProbe savedProbe = LRenderAPICLBK::desktopDepthProbe;
    LRenderAPICLBK::Clock savedClock = LRenderAPICLBK::clock;

    PresenterFixture() {
        RegisterSurfaceClient();
        g_recorder = &recorder;
        LRenderAPI_Surface_Win32::system = kRecording;
        LRenderAPICLBK::desktopDepthProbe = &Depth32;
        LRenderAPICLBK::clock = &StoppedClock;
    }
    ~PresenterFixture() override {
        presenter.reset();
        LRenderAPI_Surface_Win32::system = LRenderAPI_Surface_Win32::kDefaultSystem;
        LRenderAPICLBK::desktopDepthProbe = savedProbe;
        LRenderAPICLBK::clock = savedClock;
        g_recorder = nullptr;
        UnregisterSurfaceClient();
    }
    void Make() { presenter.reset(new LRenderAPI_Surface_Win32(nullptr, &driver)); }
    // The calls that begin with one of the given words.
    std::vector<std::string> Calls(std::initializer_list<const char*> kinds) const {
        std::vector<std::string> out;
        for (const std::string& c : recorder.calls)
            for (const char* k : kinds)
                if (c.rfind(k, 0) == 0) out.push_back(c);
        return out;
    }
};

using Strings = std::vector<std::string>;

// Full screen to windowed restores the desktop mode before the new surface
// is made; windowed to windowed changes no mode; windowed to full screen
// switches to the closest mode of the depth.
TEST_F(PresenterFixture, DisplayModeChanges) {
    LDeviceRecord* device = driver.AddDevice("d", nullptr);
    LDriverRecord* record = driver.AddDriver(device, "r", 1, nullptr);
    driver.AddMode(record, {320, 200}, 32, nullptr);
    driver.AddMode(record, {640, 480}, 32, nullptr);
    Make();
    presenter->window = reinterpret_cast<void*>(1);
    presenter->flags = LRenderAPICLBK::kFullScreen;
    presenter->width = 600, presenter->height = 400, presenter->depth = 32;
    EXPECT_EQ(presenter->SetMode(LRenderAPICLBK::kWindowed, 64, 48, 32), 0);
    EXPECT_EQ(Calls({"restore", "display", "create"}), (Strings{"restore", "create 64x48"}));
    ASSERT_NE(presenter->surface, nullptr);
    EXPECT_EQ(presenter->ownsSurface, 1);

    recorder.calls.clear();
    EXPECT_EQ(presenter->SetMode(LRenderAPICLBK::kWindowed, 80, 60, 32), 0);
    EXPECT_EQ(Calls({"restore", "display", "create"}), (Strings{"create 80x60"}));

    recorder.calls.clear();
    presenter->width = 600, presenter->height = 400;
    presenter->SetMode(LRenderAPICLBK::kFullScreen, LRenderAPICLBK::kKeep, LRenderAPICLBK::kKeep, 32);
    EXPECT_EQ(Calls({"restore", "display"}), (Strings{"display 640x480x32"}));
    EXPECT_EQ(presenter->width, 640);

    // An external surface's target keeps its mode.
    presenter->flags = LRenderAPICLBK::kWindowed;
    EXPECT_EQ(presenter->SetMode(LRenderAPICLBK::kWindowed | LRenderAPICLBK::kExternalSurface, 10, 10, 32), 32);
}

// Without a driver record the closest-mode search finds nothing: size and
// display mode stay.
TEST_F(PresenterFixture, FullScreenWithoutModesKeepsTheSize) {
    Make();
    presenter->flags = LRenderAPICLBK::kWindowed;
    presenter->width = 100, presenter->height = 50, presenter->depth = 32;
    presenter->SetMode(LRenderAPICLBK::kFullScreen, LRenderAPICLBK::kKeep, LRenderAPICLBK::kKeep, 32);
    EXPECT_TRUE(Calls({"display", "restore"}).empty());
    EXPECT_EQ(presenter->width, 100);
    EXPECT_EQ(presenter->height, 50);
}

// Init: 30 and no surface when it cannot be made; kind 1 for an external
// target's format, kind 2 otherwise.
TEST_F(PresenterFixture, InitFailureAndFormatKind) {
    Make();
    presenter->width = 16, presenter->height = 8, presenter->depth = 32;
    recorder.createFails = true;
    EXPECT_EQ(presenter->Init(), 30);
    EXPECT_EQ(presenter->surface, nullptr);
    EXPECT_EQ(CurrentSoftwareRenderer(), presenter.get());
    recorder.createFails = false;
    presenter->flags = LRenderAPICLBK::kExternalSurface;
    recorder.calls.clear();
    EXPECT_EQ(presenter->Init(), 0);
    EXPECT_EQ(Calls({"format"}), (Strings{"format 32 1"}));
    EXPECT_EQ(presenter->rowStep, presenter->surface->GetImpl()->rowStep);
}

// An attached surface is never deleted; attaching null leaves no surface
// and ownsSurface 1.
TEST_F(PresenterFixture, AttachedSurfaces) {
    Make();
    CSurface external;
    const CSurface* memory = nullptr;
    SelectPixelFormat(&memory, 16, kPlaceMemory, 0);
    ASSERT_TRUE(external.Create(8, 4, memory));
    presenter->AttachSurface(&external);
    EXPECT_EQ(presenter->ownsSurface, 0);
    EXPECT_EQ(presenter->rowStep, external.GetImpl()->rowStep);
    presenter->AttachSurface(nullptr);
    EXPECT_EQ(presenter->surface, nullptr);
    EXPECT_EQ(presenter->ownsSurface, 1);
    EXPECT_TRUE(external.IsValid());
    presenter->AttachSurface(&external);
    presenter.reset();
    EXPECT_TRUE(external.IsValid());
}

// The end of a frame: the blit, the DC released, the statistics text only
// with flag 8 (white, transparent, at (0, 0), on a DC of its own); nothing without a window or a DC, and then the statistics
// counter stays.
TEST_F(PresenterFixture, EndOfFrame) {
    Make();
    presenter->width = 16, presenter->height = 8, presenter->depth = 32;
    ASSERT_EQ(presenter->Init(), 0);
    recorder.calls.clear();
    presenter->EndFrame();
    EXPECT_TRUE(recorder.calls.empty());  // no window

    presenter->window = reinterpret_cast<void*>(1);
    presenter->EndFrame();
    EXPECT_EQ(recorder.calls, (Strings{"blit", "release"}));

    recorder.calls.clear();
    presenter->flags = LRenderAPICLBK::kStatistics;
    presenter->EndFrame();
    EXPECT_EQ(recorder.calls, (Strings{"blit", "release", "text (0,0) ffffff transparent 16*8*32 0", "release"}));
    EXPECT_EQ(presenter->windowFrames, 1);

    recorder.calls.clear();
    recorder.noDC = true;
    presenter->EndFrame();
    EXPECT_TRUE(recorder.calls.empty());
    EXPECT_EQ(presenter->windowFrames, 1);
}

// A frame drawn into the presenter's own surface of the surface library:
// cleared with the clear colour, then the scene.
TEST_F(PresenterFixture, FrameIntoALibrarySurface) {
    std::unique_ptr<L3DWorld> world(new L3DWorld());
    presenter.reset(new LRenderAPI_Surface_Win32(world.get(), &driver));
    world->SetRenderTarget(presenter.get());
    presenter->width = 32, presenter->height = 24, presenter->depth = 32, presenter->clearColor = 0x00FF00;
    presenter->states = 0;
    ASSERT_EQ(presenter->Init(), 0);
    world->SetColourDepth(32);
    L3DCamera* camera = world->CreateCamera(nullptr);
    presenter->SetCamera(camera);
    LMaterial* paint = world->GetMaterialList().CreateMaterial("paint", nullptr, 0xFF0000, 0, nullptr);
    paint->SetFlatMode(1);
    auto* o = new L3DObject("square", world.get(), nullptr);
    LPolygon* polygon = world->CreatePolygon(o, 4, nullptr);
    for (auto xy : {std::pair<float, float>{-5, -5}, {-5, 5}, {5, 5}, {5, -5}}) polygon->AddNewPoint(xy.first, xy.second, 0, 0, 0);
    polygon->SetMaterial(paint);
    o->AddPolygon(polygon, 1);
    o->RefreshBox(1);
    o->SetPositionZ(100);
    world->AddObject(o);
    presenter->RenderFrame();
    uint32_t centre = 0, corner = 0;
    presenter->surface->PixelAt(16, 12, &centre);
    presenter->surface->PixelAt(0, 0, &corner);
    EXPECT_EQ(centre, 0xFF0000u);
    EXPECT_EQ(corner, 0x00FF00u);
    presenter->DetachCamera();
    world.reset();
}

}  // namespace
