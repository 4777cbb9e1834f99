// The render target's base behaviour: mode set-up, camera binding, view
// rectangle, states, mode stepping and the frame counter, over a scripted
// desktop depth and clock.
#include "engine3d/grid.h"
#include "engine3d/world.h"
#include "render/driver.h"
#include "render/render_api.h"
#include "recording_camera.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

int32_t g_desktopDepth = 16;
uint32_t g_now = 0;
int32_t ScriptedDepth() { return g_desktopDepth; }
uint32_t ScriptedClock() { return g_now; }

// A back end whose capabilities, Init result and SetMode are scripted.
class ScriptedTarget : public LRenderAPICLBK {
public:
    using LRenderAPICLBK::LRenderAPICLBK;
    int32_t QueryCapability(uint32_t bit) override { return (capabilities & bit) ? 1 : 0; }
    int32_t Init() override {
        ++inits;
        return initResult;
    }
    int32_t SetMode(int32_t f, int32_t w, int32_t h, int32_t d) override {
        setModes.push_back({f, w, h, d});
        return 0;
    }
    uint32_t capabilities = 0xFFFFFFFF;
    int32_t initResult = 0;
    int inits = 0;
    std::vector<std::vector<int32_t>> setModes;
};

// A driver whose one device lists the given driver records.
struct Scene {
    struct Record {
        int32_t windowed;
        std::vector<std::vector<int32_t>> modes;  // {width, height, depth}
    };
    explicit Scene(const std::vector<Record>& records) {
        LRenderAPICLBK::desktopDepthProbe = &ScriptedDepth;
        LRenderAPICLBK::clock = &ScriptedClock;
        LDeviceRecord* device = driver.AddDevice("device", nullptr);
        for (const Record& r : records) {
            LDriverRecord* record = driver.AddDriver(device, "record", r.windowed, nullptr);
            for (const auto& m : r.modes) driver.AddMode(record, {m[0], m[1]}, m[2], nullptr);
            recordList.push_back(record);
        }
        target = new ScriptedTarget(&world, &driver);
    }
    ~Scene() { delete target; }
    LAPICLBK driver;
    L3DWorld world;
    ScriptedTarget* target;
    std::vector<LDriverRecord*> recordList;
};

}  // namespace

TEST(RenderTarget, ConstructionTakesTheFirstDeviceAndMode) {
    Scene scene({{1, {{640, 480, 16}, {800, 600, 16}}}});
    EXPECT_EQ(scene.target->device, scene.driver.firstDevice);
    EXPECT_EQ(scene.target->mode, scene.recordList[0]->firstMode);
    EXPECT_EQ(scene.target->states, 0xFFFFFFFFu);
    EXPECT_EQ(scene.target->probeDesktop, 1);
    LRenderAPICLBK bare(nullptr, nullptr);
    EXPECT_EQ(bare.device, nullptr);
    EXPECT_EQ(bare.mode, nullptr);
    EXPECT_EQ(bare.NextMode(), 33);
    EXPECT_EQ(bare.SetMode(4, 1, 1, 16), 31);
    EXPECT_EQ(bare.Init(), 31);
}

TEST(RenderTarget, WindowedDepthComesFromTheDesktopAndTheFallbackList) {
    struct Case {
        int32_t desktop;
        int32_t probeDesktop;
        std::vector<int32_t> offered;
        int32_t requested, expected;
    };
    const Case cases[] = {
        {16, 1, {8, 16, 32}, 8, 16},   // 8 asked on a 16-bit desktop: 16
        {15, 1, {16}, 16, 15},         // 15 passes as 16 in the list: only the probe tells them apart
        {16, 1, {15}, 16, 16},
        {0, 1, {32, 15}, 16, 16},      // no desktop context: the 16 list; the 15 mode passes for 16
        {0, 1, {32, 24}, 16, 32},
        {24, 1, {32, 16}, 24, 16},     // 24, 16, 15, 32
        {32, 1, {24}, 32, 24},         // 32, 16, 15, 24
        {8, 1, {16, 32}, 8, 16},       // 16, 15, 32, 24
        {15, 1, {32, 24}, 15, 32},     // 15, 16, 32, 24
        {12, 1, {24, 32}, 16, 32},     // any other depth: the 16 list
        {24, 0, {16, 24}, 24, 16},     // probe off: 16
        {16, 1, {}, 16, 16},           // nothing offered: the probed depth stays
    };
    for (const Case& c : cases) {
        std::vector<std::vector<int32_t>> modes;
        for (int32_t d : c.offered) modes.push_back({1024, 768, d});
        Scene scene({{1, modes}});
        g_desktopDepth = c.desktop;
        scene.target->probeDesktop = c.probeDesktop;
        scene.target->SetupMode(320, 200, LRenderAPICLBK::kWindowed, c.requested, 0, nullptr);
        EXPECT_EQ(scene.target->depth, c.expected) << "desktop " << c.desktop;
        EXPECT_EQ(scene.target->inits, 1);
        EXPECT_EQ(scene.world.GetColourDepth(), c.expected);
    }
    // A fixed depth skips the probe.
    Scene scene({{1, {{1024, 768, 16}}}});
    g_desktopDepth = 16;
    scene.target->SetupMode(320, 200, LRenderAPICLBK::kWindowed | LRenderAPICLBK::kFixedDepth, 24, 0, nullptr);
    EXPECT_EQ(scene.target->depth, 24);
}

TEST(RenderTarget, FullScreenSetupSearchesTheDriverRecords) {
    const std::vector<Scene::Record> records = {
        {1, {{640, 480, 16}}},
        {0, {{1024, 768, 16}}},
        {1, {{1280, 1024, 32}, {1600, 1200, 16}}},
    };
    struct Case {
        int32_t width, height, depth;
        uint32_t extraFlags;
        int32_t keepDriver;
        int32_t expected;
        int expectedRecord;  // index of the current record afterwards
        int32_t expectedDepth;
        int expectedInits;
    };
    const Case cases[] = {
        {640, 480, 16, 0, 0, 0, 0, 16, 1},     // the current record fits
        {1024, 768, 16, 0, 0, 0, 1, 16, 1},    // the second does
        {1200, 1000, 16, 0, 0, 0, 2, 16, 1},   // the third, by pixel count
        {1280, 1024, 24, 0, 0, 0, 2, 16, 1},   // no 24: the 24 list gives 16 in the third record
        {1280, 1024, 32, 0, 0, 0, 2, 32, 1},
        {2048, 2048, 16, 0, 0, 17, 0, 16, 0},  // none large enough
        {1024, 768, 16, 0, 1, 17, 0, 16, 0},   // keepDriver: no search
        {2048, 2048, 16, LRenderAPICLBK::kFixedDepth, 0, 0, 0, 16, 1},  // fixed depth: no size test
        {0, 480, 16, 0, 0, 17, 0, 0, 0},       // sizes a script may send
        {-640, -480, 16, 0, 0, 17, 0, 0, 0},
        {0x10000, 0x10000, 16, LRenderAPICLBK::kFixedDepth, 0, 17, 0, 0, 0},
    };
    for (const Case& c : cases) {
        Scene scene(records);
        scene.target->keepDriver = c.keepDriver;
        const int32_t result = scene.target->SetupMode(c.width, c.height, LRenderAPICLBK::kFullScreen | c.extraFlags,
                                                       c.depth, 0x123, nullptr);
        const std::string label = std::to_string(c.width) + "x" + std::to_string(c.height);
        EXPECT_EQ(result, c.expected) << label;
        EXPECT_EQ(scene.driver.firstDevice->currentDriver, scene.recordList[size_t(c.expectedRecord)]) << label;
        EXPECT_EQ(scene.target->depth, c.expectedDepth) << label;
        EXPECT_EQ(scene.target->inits, c.expectedInits) << label;
    }
    // No device record: 2; no current driver record: 2.
    LAPICLBK empty;
    ScriptedTarget bare(nullptr, &empty);
    EXPECT_EQ(bare.SetupMode(640, 480, LRenderAPICLBK::kFullScreen, 16, 0, nullptr), 2);
    empty.AddDevice("d", nullptr);
    ScriptedTarget noRecord(nullptr, &empty);
    EXPECT_EQ(noRecord.SetupMode(640, 480, LRenderAPICLBK::kFullScreen, 16, 0, nullptr), 2);
}

TEST(RenderTarget, FirstSetupRequestsTheDefaultStatesWhereSupported) {
    Scene scene({{1, {{640, 480, 16}}}});
    scene.target->capabilities = 2 | 8 | 0x20;
    scene.target->states = 0xFFFFFFFF;
    scene.target->SetupMode(640, 480, LRenderAPICLBK::kWindowed, 16, 0, nullptr);
    EXPECT_EQ(scene.target->states, 2u | 8u);
    scene.target->capabilities = 0xFFFFFFFF;
    scene.target->SetupMode(640, 480, LRenderAPICLBK::kWindowed, 16, 0, nullptr);
    EXPECT_EQ(scene.target->states, 2u | 8u);  // only the first set-up
    Scene all({{1, {{640, 480, 16}}}});
    all.target->states = 0xFFFFFFFF;
    all.target->SetupMode(640, 480, LRenderAPICLBK::kWindowed, 16, 0, nullptr);
    EXPECT_EQ(all.target->states, 2u | 4u | 8u | 0x200u);
}

TEST(RenderTarget, EnableStateKeepsModulateAndItsExclusiveApart) {
    Scene scene({});
    ScriptedTarget& t = *scene.target;
    t.states = 0x10 | 2;
    t.EnableState(8);
    EXPECT_EQ(t.states, 8u | 2u);
    t.EnableState(0x10);
    EXPECT_EQ(t.states, 0x10u | 2u);
    t.capabilities = 0;
    t.EnableState(8);
    EXPECT_EQ(t.states, 0x10u | 2u);
    t.DisableState(2);
    EXPECT_EQ(t.states, 0x10u);
}

TEST(RenderTarget, CameraBindingAndViewRectangle) {
    Scene scene({{1, {{640, 480, 16}}}});
    ScriptedTarget& t = *scene.target;
    RecordingCamera first, second;
    EXPECT_EQ(t.SetCamera(&first), 0);
    EXPECT_EQ(first.target, &t);
    EXPECT_EQ(t.SetupMode(321, 200, LRenderAPICLBK::kWindowed, 16, 0, nullptr), 0);
    EXPECT_EQ(first.size, (std::vector<int32_t>{321, 200}));
    EXPECT_EQ(first.half, (std::vector<float>{160.5f, 100.0f}));
    EXPECT_EQ(first.rect, (std::vector<int32_t>{0, 200, 0, 321}));
    EXPECT_EQ(first.far, 65536.0f);
    EXPECT_EQ(t.viewDepth, 65536);

    t.SetViewRect(10, 20, 30, 40, 500);
    EXPECT_EQ(first.rect, (std::vector<int32_t>{10, 20, 30, 40}));
    EXPECT_EQ(first.far, 500.0f);
    t.SetViewRect(-1, 20, -1, -1, -1);
    EXPECT_EQ(first.rect, (std::vector<int32_t>{0, 20, 0, 321}));

    second.far = 777.0f;
    EXPECT_EQ(t.SetCamera(&second), 0);
    EXPECT_EQ(first.target, nullptr);
    EXPECT_EQ(second.target, &t);
    EXPECT_EQ(t.viewDepth, 777);
    EXPECT_EQ(second.rect, (std::vector<int32_t>{0, 20, 0, 321}));
    EXPECT_EQ(t.SetCamera(nullptr), 4);
    EXPECT_EQ(second.target, nullptr);
    EXPECT_EQ(t.camera, nullptr);
}

TEST(RenderTarget, FailedInitLeavesCameraAndViewUntouched) {
    Scene scene({{1, {{640, 480, 16}}}});
    ScriptedTarget& t = *scene.target;
    RecordingCamera camera;
    t.SetupMode(320, 200, LRenderAPICLBK::kWindowed, 16, 0, nullptr);
    t.SetCamera(&camera);
    scene.world.SetColourDepth(24);
    t.initResult = 30;
    EXPECT_EQ(t.SetupMode(640, 480, LRenderAPICLBK::kWindowed, 16, 0, nullptr), 30);
    EXPECT_EQ(t.width, 640);  // the new size is stored
    EXPECT_EQ(camera.size, (std::vector<int32_t>{320, 200}));
    EXPECT_EQ(camera.rect, (std::vector<int32_t>{0, 200, 0, 320}));
    EXPECT_EQ(t.viewRight, 320);
    EXPECT_EQ(scene.world.GetColourDepth(), 24);
}

TEST(RenderTarget, ModeSteppingFollowsModesOfTheCurrentDepth) {
    Scene scene({{1, {{640, 480, 16}, {800, 600, 32}, {800, 600, 16}, {1024, 768, 15}, {1024, 768, 16}}}});
    ScriptedTarget& t = *scene.target;
    t.flags = LRenderAPICLBK::kFullScreen | LRenderAPICLBK::kStatistics;
    t.depth = 16;
    t.mode = scene.recordList[0]->firstMode;
    std::vector<int32_t> widths;
    while (t.NextMode() == 0) widths.push_back(t.width);
    EXPECT_EQ(widths, (std::vector<int32_t>{800, 1024}));
    EXPECT_EQ(t.NextMode(), 33);
    EXPECT_EQ(t.height, 768);
    EXPECT_EQ(t.setModes.back(), (std::vector<int32_t>{2 | 8, 1024, 768, -99999}));
    EXPECT_EQ(t.PreviousMode(), 0);
    EXPECT_EQ(t.width, 800);
    EXPECT_EQ(t.PreviousMode(), 0);
    EXPECT_EQ(t.PreviousMode(), 33);
    t.mode = nullptr;
    EXPECT_EQ(t.NextMode(), 33);

    // Windowed: the mode of the depth closest in pixels.
    t.flags = LRenderAPICLBK::kWindowed;
    t.width = 790;
    t.height = 610;
    EXPECT_EQ(t.NextMode(), 0);
    EXPECT_EQ(t.setModes.back(), (std::vector<int32_t>{4, 800, 600, -99999}));
    Scene empty(std::vector<Scene::Record>{Scene::Record{1, {}}});
    empty.target->flags = LRenderAPICLBK::kWindowed;
    EXPECT_EQ(empty.target->NextMode(), 33);
    EXPECT_EQ(empty.target->PreviousMode(), 33);

    // An external surface never changes mode.
    for (uint32_t kind : {LRenderAPICLBK::kWindowed, LRenderAPICLBK::kFullScreen}) {
        t.flags = kind | LRenderAPICLBK::kExternalSurface;
        t.width = 111;
        EXPECT_EQ(t.NextMode(), 32);
        EXPECT_EQ(t.PreviousMode(), 32);
        EXPECT_EQ(t.width, 111);
    }
}

TEST(RenderTarget, ResetModeKeepsTheFrameBitsAndTakesTheModeDepth) {
    Scene scene({{1, {{800, 600, 32}}}});
    ScriptedTarget& t = *scene.target;
    t.flags = 0xFFFF;
    t.depth = 16;
    EXPECT_EQ(t.ResetMode(0), 0);
    EXPECT_EQ(t.setModes.back(), (std::vector<int32_t>{2 | 8 | 0x10 | 0x80, 800, 600, -99999}));
    EXPECT_EQ(t.depth, 32);
    EXPECT_EQ(scene.world.GetColourDepth(), 32);
    t.mode = nullptr;
    t.width = 300;
    t.height = 200;
    g_desktopDepth = 24;
    t.flags = 2;
    t.SetDevice(scene.driver.firstDevice, 1, 1);
    EXPECT_EQ(t.setModes.back(), (std::vector<int32_t>{4, 300, 200, -99999}));
    EXPECT_EQ(t.depth, 24);
    const size_t calls = t.setModes.size();
    t.SetDevice(nullptr, 1, 0);
    EXPECT_EQ(t.device, nullptr);
    EXPECT_EQ(t.setModes.size(), calls);
    // The script surfaces' two mode requests.
    t.flags = 0x80 | 0x40;
    t.SetFullScreenMode(640, 480, 16);
    EXPECT_EQ(t.setModes.back(), (std::vector<int32_t>{2 | 0x80, 640, 480, 16}));
    t.SetWindowedSize(320, 240);
    EXPECT_EQ(t.setModes.back(), (std::vector<int32_t>{4 | 0x80, 320, 240, -99999}));
}

TEST(RenderTarget, FrameStatisticsCountsWindowsOfJustOverTenSeconds) {
    Scene scene({});
    ScriptedTarget& t = *scene.target;
    t.width = 640;
    t.height = 480;
    t.depth = 16;
    g_now = 5000;
    t.lastTime = 5000;
    char small[63];
    std::memset(small, 'x', sizeof small);
    t.FrameStatistics(small, 63, 0);
    EXPECT_EQ(small[0], 'x');
    EXPECT_EQ(t.windowFrames, 1);
    t.FrameStatistics(nullptr, 100, 0);
    EXPECT_EQ(t.windowFrames, 2);
    // 100 ms per frame: the window closes at the frame that passes 10000.
    for (int i = 0; i < 100; ++i) {
        g_now += 100;
        t.FrameStatistics(nullptr, 0, 0);
    }
    EXPECT_EQ(t.lastWindowFrames, 0);  // exactly 10000 does not close it
    g_now += 100;
    t.FrameStatistics(nullptr, 0, 0);
    EXPECT_EQ(t.lastWindowFrames, 103);
    EXPECT_EQ(t.windowFrames, 0);
    EXPECT_EQ(t.windowTime, 0u);
    EXPECT_EQ(t.frameTime, 100u);
    EXPECT_EQ(t.thisTime, g_now);

    char text[64];
    t.FrameStatistics(text, 64, 0);
    EXPECT_STREQ(text, "640*480*16 103");
    t.FrameStatistics(text, 64, 1, 1234, 1);
    EXPECT_STREQ(text, "640*480*16 103 1234 1");
    // The longest text (five numbers of eleven characters and a depth of
    // three) fills the 64 bytes; nothing is written past them.
    t.width = t.height = -2000000000;
    t.depth = 255;
    t.lastWindowFrames = -2000000000;
    char wide[80];
    std::memset(wide, 'x', sizeof wide);
    t.FrameStatistics(wide, 64, 1, -2000000000, -2000000000);
    EXPECT_EQ(std::strlen(wide), 63u);
    EXPECT_EQ(wide[64], 'x');
}

TEST(RenderTarget, GridMadeOnTheFirstShownAxisAndDeletedWithTheLast) {
    Scene scene({});
    LRenderAPICLBK& target = *scene.target;
    target.ShowGridAxes(1 | 16);  // none of the axis bits: nothing made
    EXPECT_EQ(target.grid, nullptr);
    target.ShowGridAxes(2 | 8);
    ASSERT_NE(target.grid, nullptr);
    EXPECT_EQ(target.grid->AreAxesShown(2 | 8), 1);
    EXPECT_EQ(target.grid->AreAxesShown(4), 0);
    target.HideGridAxes(2);
    ASSERT_NE(target.grid, nullptr);  // the z axis is still shown
    target.HideGridAxes(8);
    EXPECT_EQ(target.grid, nullptr);
    target.HideGridAxes(2 | 4 | 8);  // without a grid: nothing
    target.ShowGridAxes(4);          // the destructor deletes a grid still shown
}
