// The driver catalogue: devices, driver records and modes; the mode searches;
// deletion; render targets and DetachAll.
#include "engine3d/world.h"
#include "render/driver.h"
#include "render/render_api.h"
#include "recording_camera.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// A driver whose handles are malloc blocks, counting each free slot's calls.
struct FreeCounts {
    int driverFrees = 0, deviceFrees = 0, modeFrees = 0;
};

class CountingDriver : public LAPICLBK {
public:
    explicit CountingDriver(FreeCounts* counts = nullptr) : c(counts ? counts : &own) {}
    ~CountingDriver() override { DeleteAllDevices(); }
    void FreeDriverHandle(void* h) override { Free(h, c->driverFrees); }
    void FreeDeviceHandle(void* h) override { Free(h, c->deviceFrees); }
    void FreeModeHandle(void* h) override { Free(h, c->modeFrees); }
    const char* GetDisplayNameText() override { return "Counting"; }
    static void* Block() { return std::malloc(124); }
    FreeCounts own;
    FreeCounts* c;

private:
    static void Free(void* h, int& count) {
        if (!h) return;
        ++count;
        std::free(h);
    }
};

// Modes as (depth, width, height) rows, in list order, walked both ways.
std::vector<std::vector<int>> Modes(const LDriverRecord* r) {
    std::vector<std::vector<int>> out;
    const LModeRecord* last = nullptr;
    for (const LModeRecord* m = r->firstMode; m; m = m->next) {
        EXPECT_EQ(m->previous, last);
        out.push_back({m->depth, m->width, m->height});
        last = m;
    }
    return out;
}

}  // namespace

TEST(DriverCatalogue, DevicesAndRecordsAppendAndTheFirstBecomesCurrent) {
    LAPICLBK driver;
    EXPECT_EQ(driver.AddDriver(nullptr, "x", 1, nullptr), nullptr);
    const std::string longName(80, 'n');
    LDeviceRecord* a = driver.AddDevice(longName.c_str(), nullptr);
    LDeviceRecord* b = driver.AddDevice("second", nullptr);
    EXPECT_EQ(std::strlen(a->name), 63u);
    EXPECT_EQ(driver.firstDevice, a);
    EXPECT_EQ(driver.currentDevice, a);
    EXPECT_EQ(a->next, b);
    EXPECT_EQ(b->previous, a);
    LDriverRecord* r1 = driver.AddDriver(b, "one", 1, nullptr);
    LDriverRecord* r2 = driver.AddDriver(b, "two", 0, nullptr);
    EXPECT_EQ(b->firstDriver, r1);
    EXPECT_EQ(b->currentDriver, r1);
    EXPECT_EQ(r1->next, r2);
    EXPECT_EQ(a->currentDriver, nullptr);
}

TEST(DriverCatalogue, DuplicateModeAnswersTheFirstAndFreesTheNewHandle) {
    CountingDriver driver;
    LDriverRecord* r = driver.AddDriver(driver.AddDevice("d", nullptr), "r", 1, nullptr);
    EXPECT_EQ(driver.AddMode(nullptr, {640, 480}, 16, nullptr), nullptr);
    r->reserved = 7;
    LModeRecord* first = driver.AddMode(r, {640, 480}, 16, CountingDriver::Block());
    EXPECT_EQ(r->reserved, 0);
    EXPECT_STREQ(first->text, " 640 x 480 ( 16 BPP )");
    driver.AddMode(r, {800, 600}, 16, CountingDriver::Block());
    driver.AddMode(r, {640, 480}, 15, nullptr);  // 15 and 16 differ here
    EXPECT_EQ(driver.AddMode(r, {640, 480}, 16, CountingDriver::Block()), first);
    EXPECT_EQ(driver.c->modeFrees, 1);
    EXPECT_EQ(Modes(r), (std::vector<std::vector<int>>{{16, 640, 480}, {16, 800, 600}, {15, 640, 480}}));
}

TEST(DriverCatalogue, FindModeForSizeAndCheckDepth) {
    LAPICLBK driver;
    LDeviceRecord* d = driver.AddDevice("d", nullptr);
    LDriverRecord* windowed = driver.AddDriver(d, "w", 1, nullptr);
    LDriverRecord* fullOnly = driver.AddDriver(d, "f", 0, nullptr);
    LDriverRecord* empty = driver.AddDriver(d, "e", 1, nullptr);
    for (LDriverRecord* r : {windowed, fullOnly}) {
        driver.AddMode(r, {640, 480}, 16, nullptr);
        driver.AddMode(r, {1024, 768}, 32, nullptr);
    }
    struct Case {
        const LDriverRecord* record;
        int32_t w, h, depth, expected;
    };
    const Case sizes[] = {
        {nullptr, 1, 1, 16, 2},        {empty, 1, 1, 16, 17},       {windowed, 640, 480, 16, 0},
        {windowed, 640, 480, 15, 0},   {windowed, 320, 960, 16, 0},  // pixel count, not sides
        {windowed, 641, 480, 16, 17},  {windowed, 1024, 768, 16, 17}, {windowed, 1024, 768, 32, 0},
        {windowed, 640, 480, 24, 17},  {windowed, 0, 480, 16, 17},   {windowed, -640, -480, 16, 17},
        {windowed, 0x7FFFFFFF, 0x7FFFFFFF, 32, 17},
    };
    for (const Case& c : sizes)
        EXPECT_EQ(LAPICLBK::FindModeForSize(c.record, c.w, c.h, c.depth), c.expected)
            << c.w << "x" << c.h << "x" << c.depth;
    struct DepthCase {
        const LDriverRecord* record;
        int32_t kind, depth, expected;
    };
    const DepthCase depths[] = {
        {nullptr, 2, 16, 2}, {windowed, 3, 16, 2},  {windowed, 2, 15, 0},  {windowed, 4, 16, 0},
        {windowed, 4, 24, 34}, {fullOnly, 4, 16, 34}, {fullOnly, 2, 16, 0}, {empty, 2, 16, 34},
    };
    for (const DepthCase& c : depths)
        EXPECT_EQ(LAPICLBK::CheckDepth(c.record, c.kind, c.depth), c.expected) << c.kind << " " << c.depth;
}

TEST(DriverCatalogue, FindClosestModeComparesDepthsExactly) {
    LAPICLBK driver;
    LDeviceRecord* d = driver.AddDevice("d", nullptr);
    LDriverRecord* r = driver.AddDriver(d, "r", 1, nullptr);
    EXPECT_EQ(LAPICLBK::FindClosestMode({640, 480}, d, r, nullptr, 16), nullptr);  // empty list
    LModeRecord* m15 = driver.AddMode(r, {640, 480}, 15, nullptr);
    LModeRecord* small = driver.AddMode(r, {600, 400}, 16, nullptr);  // 240000 pixels
    LModeRecord* large = driver.AddMode(r, {780, 480}, 16, nullptr);  // 374400 pixels
    driver.AddMode(r, {1024, 768}, 16, nullptr);
    EXPECT_EQ(LAPICLBK::FindClosestMode({640, 480}, nullptr, r, nullptr, 16), nullptr);
    EXPECT_EQ(LAPICLBK::FindClosestMode({640, 480}, d, nullptr, nullptr, 16), nullptr);
    // 307200 wanted: both are 67200 away; the first found wins.
    EXPECT_EQ(LAPICLBK::FindClosestMode({640, 480}, d, r, nullptr, 16), small);
    EXPECT_EQ(LAPICLBK::FindClosestMode({700, 500}, d, r, nullptr, 16), large);
    EXPECT_EQ(LAPICLBK::FindClosestMode({640, 480}, d, r, nullptr, 15), m15);
    EXPECT_EQ(LAPICLBK::FindClosestMode({800, 450}, d, r, nullptr, 24), m15);  // none of 24: the first mode
}

TEST(DriverCatalogue, GetDisplayNameCutsToTheBuffer) {
    CountingDriver driver;
    char text[8];
    std::memset(text, 'x', sizeof text);
    driver.GetDisplayName(text, 0);
    EXPECT_EQ(text[0], 'x');
    driver.GetDisplayName(text, 1);
    EXPECT_EQ(text[0], '\0');
    EXPECT_EQ(text[1], 'x');
    driver.GetDisplayName(text, 4);
    EXPECT_STREQ(text, "Cou");
    driver.GetDisplayName(text, 8);
    EXPECT_STREQ(text, "Countin");
    LAPICLBK base;
    base.GetDisplayName(text, 8);
    EXPECT_STREQ(text, "Unknown");
    EXPECT_EQ(base.GetId(), 0x41464544u);
    const uint32_t id = base.GetId();
    EXPECT_EQ(std::memcmp("DEFA", &id, 4), 0);
}

TEST(DriverCatalogue, DeletionFreesEveryRecordAndHandleOnce) {
    FreeCounts counts;
    auto* driver = new CountingDriver(&counts);
    for (int i = 0; i < 2; ++i) {
        LDeviceRecord* d = driver->AddDevice("d", CountingDriver::Block());
        for (int j = 0; j < 2; ++j) {
            LDriverRecord* r = driver->AddDriver(d, "r", 1, CountingDriver::Block());
            for (int k = 0; k < 3; ++k) driver->AddMode(r, {640 + k, 480}, 16, CountingDriver::Block());
        }
    }
    driver->Release();  // LeakSanitizer finds any record left
    EXPECT_EQ(counts.modeFrees, 12);
    EXPECT_EQ(counts.driverFrees, 4);
    EXPECT_EQ(counts.deviceFrees, 2);
}

TEST(DriverCatalogue, DeletedRecordsLeaveNoDanglingCurrentLinks) {
    CountingDriver driver;
    LDeviceRecord* a = driver.AddDevice("a", nullptr);
    LDeviceRecord* b = driver.AddDevice("b", nullptr);
    LDriverRecord* r1 = driver.AddDriver(b, "1", 1, nullptr);
    LDriverRecord* r2 = driver.AddDriver(b, "2", 1, CountingDriver::Block());
    driver.AddMode(r2, {1, 1}, 8, CountingDriver::Block());
    b->currentDriver = r2;
    driver.DeleteDriver(r2);
    EXPECT_EQ(driver.c->driverFrees, 1);
    EXPECT_EQ(driver.c->modeFrees, 1);
    EXPECT_EQ(b->currentDriver, r1);
    EXPECT_EQ(r1->next, nullptr);
    driver.DeleteDriver(r1);
    EXPECT_EQ(b->currentDriver, nullptr);
    EXPECT_EQ(b->firstDriver, nullptr);

    driver.currentDevice = b;
    driver.DeleteDevice(a);  // the head goes
    EXPECT_EQ(driver.firstDevice, b);
    EXPECT_EQ(b->previous, nullptr);
    EXPECT_EQ(driver.currentDevice, b);
    driver.DeleteDevice(b);
    EXPECT_EQ(driver.firstDevice, nullptr);
    EXPECT_EQ(driver.currentDevice, nullptr);
}

namespace {

class TargetDriver : public LAPICLBK {
public:
    LRenderAPICLBK* CreateRenderAPI(L3DWorld* world) override { return Adopt(new LRenderAPICLBK(world, this)); }
};

}  // namespace

TEST(DriverCatalogue, RenderTargetsAreListedDetachedAndDeleted) {
    L3DWorld world;
    auto* driver = new TargetDriver();
    LRenderAPICLBK* a = driver->CreateRenderAPI(&world);
    LRenderAPICLBK* b = driver->CreateRenderAPI(&world);
    EXPECT_EQ(driver->RenderTargets().GetCount(), 2);
    RecordingCamera camera;
    a->SetCamera(&camera);
    EXPECT_EQ(camera.target, a);
    driver->DetachAll();
    EXPECT_EQ(a->camera, nullptr);
    EXPECT_EQ(camera.target, nullptr);
    EXPECT_EQ(a->world, nullptr);
    EXPECT_EQ(b->world, nullptr);
    driver->DeleteRenderAPI(a);
    EXPECT_EQ(driver->RenderTargets().GetCount(), 1);
    driver->Release();  // deletes b (LeakSanitizer checks)
}
