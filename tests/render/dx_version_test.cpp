// The DirectX version probe over scripted system calls: every step's
// failure, the cache, and that every library loaded is freed and every
// object made is released.
#include "render/dx_version.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A machine: its platform and the step at which its DirectX fails.
class FakeDirectX : public LDirectXCalls {
public:
    bool versionOk = true;
    uint32_t platformId = 2, major = 5;
    bool hasDDraw = true, hasCreateEntry = true, createOk = true, hasDD2 = true;
    bool hasDInput = true, hasDInputEntry = true, coopOk = true, surfaceOk = true, hasS3 = true, hasS4 = true;

    bool GetVersion(uint32_t* id, uint32_t* m) override {
        ++versionQueries;
        *id = platformId;
        *m = major;
        return versionOk;
    }
    void* OpenLibrary(const char* name) override {
        const std::string n = name;
        loads.push_back(n);
        if ((n == "DDRAW.DLL" && !hasDDraw) || (n == "DINPUT.DLL" && !hasDInput)) return nullptr;
        ++openLibraries;
        return n == "DDRAW.DLL" ? &ddraw : &dinput;
    }
    bool HasEntry(void* library, const char*) override {
        return library == &ddraw ? hasCreateEntry : hasDInputEntry;
    }
    void CloseLibrary(void*) override { --openLibraries; }
    void* CreateDirectDraw(void*) override {
        if (!createOk) return nullptr;
        ++liveObjects;
        return &object;
    }
    bool HasDirectDraw2(void*) override { return hasDD2; }
    bool SetCooperativeLevelNormal(void*) override { return coopOk; }
    void* CreatePrimarySurface(void*) override {
        if (!surfaceOk) return nullptr;
        ++liveObjects;
        return &surface;
    }
    bool HasSurface3(void*) override { return hasS3; }
    bool HasSurface4(void*) override { return hasS4; }
    void Release(void*) override { --liveObjects; }
    void DebugLine(const char* text) override { lines.push_back(text); }

    int versionQueries = 0, openLibraries = 0, liveObjects = 0;
    std::vector<std::string> loads, lines;

private:
    int ddraw = 0, dinput = 0, object = 0, surface = 0;
};

struct Result {
    uint32_t version, platform;
};

Result Probe(FakeDirectX& fake, LDirectXCache& cache) {
    Result r{0xDEAD, 0xDEAD};
    ProbeDirectXVersion(fake, cache, &r.version, &r.platform);
    return r;
}

}  // namespace

TEST(DirectXVersion, EachStepsFailureAndWhatItCaches) {
    struct Case {
        const char* name;
        void (*setUp)(FakeDirectX&);
        uint32_t version, platform;
        int32_t cachedVersion, cachedPlatform;
        const char* line;
    };
    const Case cases[] = {
        {"all there", [](FakeDirectX&) {}, 0x600, 2, 0x600, 2, nullptr},
        {"9x all there", [](FakeDirectX& f) { f.platformId = 1; }, 0x600, 1, 0x600, 1, nullptr},
        {"no surface 4", [](FakeDirectX& f) { f.hasS4 = false; }, 0x500, 2, 0x500, 2, nullptr},
        {"no surface 3", [](FakeDirectX& f) { f.hasS3 = false; }, 0x300, 2, 0x300, 2, nullptr},
        {"no primary", [](FakeDirectX& f) { f.surfaceOk = false; }, 0, 2, 0, 2, "Couldn't CreateSurface\r\n"},
        {"no coop level", [](FakeDirectX& f) { f.coopOk = false; }, 0, 2, 0, 2, "Couldn't Set coop level\r\n"},
        {"no dinput entry", [](FakeDirectX& f) { f.hasDInputEntry = false; }, 0x200, 2, 0x200, 2,
         "Couldn't GetProcAddress DInputCreate\r\n"},
        {"no dinput", [](FakeDirectX& f) { f.hasDInput = false; }, 0x200, 2, 0x200, 2,
         "Couldn't LoadLibrary DInput\r\n"},
        {"no ddraw2", [](FakeDirectX& f) { f.hasDD2 = false; }, 0x100, 2, 0x100, 2, "Couldn't QI DDraw2\r\n"},
        {"create fails", [](FakeDirectX& f) { f.createOk = false; }, 0, 0, -1, 2, "Couldn't create DDraw\r\n"},
        {"no create entry", [](FakeDirectX& f) { f.hasCreateEntry = false; }, 0, 0, -1, 2,
         "Couldn't LoadLibrary DDraw\r\n"},
        {"no ddraw on 9x", [](FakeDirectX& f) { f.platformId = 1, f.hasDDraw = false; }, 0, 0, -1, 1, nullptr},
        {"no version", [](FakeDirectX& f) { f.versionOk = false; }, 0, 0, -1, -1, nullptr},
        {"NT 3", [](FakeDirectX& f) { f.major = 3; }, 0, 2, -1, 2, nullptr},
        {"NT 4", [](FakeDirectX& f) { f.major = 4; }, 0x300, 2, 0x300, 2, nullptr},
        {"NT 4 no dinput", [](FakeDirectX& f) { f.major = 4, f.hasDInput = false; }, 0x200, 2, 0x200, 2,
         "Couldn't LoadLibrary DInput\r\n"},
        {"NT 4 no dinput entry", [](FakeDirectX& f) { f.major = 4, f.hasDInputEntry = false; }, 0x200, 2, 0x200, 2,
         "Couldn't GetProcAddress DInputCreate\r\n"},
    };
    for (const Case& c : cases) {
        FakeDirectX fake;
        c.setUp(fake);
        LDirectXCache cache;
        const Result r = Probe(fake, cache);
        EXPECT_EQ(r.version, c.version) << c.name;
        EXPECT_EQ(r.platform, c.platform) << c.name;
        EXPECT_EQ(cache.version, c.cachedVersion) << c.name;
        EXPECT_EQ(cache.platform, c.cachedPlatform) << c.name;
        EXPECT_EQ(fake.lines, c.line ? std::vector<std::string>{c.line} : std::vector<std::string>{}) << c.name;
        EXPECT_EQ(fake.openLibraries, 0) << c.name;
        EXPECT_EQ(fake.liveObjects, 0) << c.name;
        if (fake.platformId == 2 && fake.major == 4)
            for (const std::string& name : fake.loads) EXPECT_NE(name, "DDRAW.DLL") << c.name;
    }
}

TEST(DirectXVersion, LaterCallsAgreeWithTheFirst) {
    // A refused cooperative level: 0 now and from the cache afterwards.
    FakeDirectX refused;
    refused.coopOk = false;
    LDirectXCache cache;
    EXPECT_EQ(Probe(refused, cache).version, 0u);
    refused.coopOk = true;
    EXPECT_EQ(Probe(refused, cache).version, 0u);
    EXPECT_EQ(refused.versionQueries, 1);

    FakeDirectX full;
    LDirectXCache fullCache;
    Probe(full, fullCache);
    const Result again = Probe(full, fullCache);
    EXPECT_EQ(again.version, 0x600u);
    EXPECT_EQ(again.platform, 2u);
    EXPECT_EQ(full.versionQueries, 1);
}

TEST(DirectXVersion, WithoutDDrawThe9xFamilyProbesAgainEachCall) {
    FakeDirectX fake;
    fake.platformId = 1;
    fake.hasDDraw = false;
    LDirectXCache cache;
    for (int i = 0; i < 3; ++i) {
        const Result r = Probe(fake, cache);
        EXPECT_EQ(r.version, 0u);
        EXPECT_EQ(r.platform, 0u);
    }
    EXPECT_EQ(fake.versionQueries, 3);
    fake.hasDDraw = true;  // installed since: the next call finds it
    EXPECT_EQ(Probe(fake, cache).version, 0x600u);
}
