// The interpreter learns the DirectX level from its Load, found when first read.
#include "render/dx_version.h"
#include "runtime/classes/script_class.h"
#include "runtime/interp/interpretor.h"
#include "script3d/directx_level.h"

#include <gtest/gtest.h>

namespace {

int g_probes = 0;
uint32_t g_fakeLevel = 0;

uint32_t CountingProbe() {
    ++g_probes;
    return g_fakeLevel;
}

// Runs the test over a counting stand-in for the render layer's probe, and
// gives the real one back after it.
class DirectXLevelProbe : public ::testing::Test {
protected:
    void Probe(uint32_t level) {
        g_probes = 0;
        g_fakeLevel = level;
        RegisterDirectXLevelService(&CountingProbe);
    }
    void TearDown() override { RegisterDirectXLevelService(); }
};

}  // namespace

TEST(DirectXLevel, EachLoadSetsTheLevelAndTheThreeDSoundSwitch) {
    uint32_t version = 0, platform = 0;
    GetDirectXVersion(&version, &platform);
    for (int32_t requested : {1, 0}) {
        CInterpretor in;
        ProgramState(&in).SetSound3DRequested(requested);
        ASSERT_EQ(in.Load(), 1);
        EXPECT_EQ(ProgramState(&in).DirectXVersion(), version);
        EXPECT_EQ(ProgramState(&in).Sound3DUsed(), requested && version >= 0x600 ? 1 : 0);
        EXPECT_NE(GetInterpreterService(&in, kServiceDirectXLevel), nullptr);
        in.Unload();
    }
#ifndef _WIN32
    EXPECT_EQ(version, 0u);  // the native build has no DirectX
#endif
}

TEST_F(DirectXLevelProbe, TheFirstReaderProbesOnceForTheWholeProcess) {
    Probe(0x600);
    CInterpretor first, second;
    ASSERT_EQ(first.Load(), 1);
    ASSERT_EQ(second.Load(), 1);
    EXPECT_EQ(g_probes, 0);  // a Load does not probe
    EXPECT_EQ(ProgramState(&first).Sound3DUsed(), 1);
    EXPECT_EQ(g_probes, 1);
    EXPECT_EQ(ProgramState(&first).DirectXVersion(), 0x600u);
    EXPECT_EQ(ProgramState(&second).DirectXVersion(), 0x600u);
    // A restart Loads again: the level found stands.
    first.Unload();
    ASSERT_EQ(first.Load(), 1);
    EXPECT_EQ(ProgramState(&first).Sound3DUsed(), 1);
    EXPECT_EQ(g_probes, 1);
    first.Unload();
    second.Unload();
}

TEST_F(DirectXLevelProbe, ThreeDSoundIsInUseOnlyWhenAskedForOnDirectXSix) {
    // Switches made before the first read see the level as the Load left it.
    struct Case {
        uint32_t level;
        int32_t atLoad;
        std::vector<int32_t> switches;
        int32_t used;
    } cases[] = {
        {0x600, 1, {}, 1},     {0x600, 0, {}, 0},     {0x500, 1, {}, 0},
        {0x600, 1, {0, 1}, 1}, {0x600, 0, {1}, 1},    {0x600, 1, {0}, 0},
        {0x500, 0, {1}, 0},    {0, 1, {}, 0},
    };
    for (const Case& c : cases) {
        Probe(c.level);
        CInterpretor in;
        ProgramState(&in).SetSound3DRequested(c.atLoad);
        ASSERT_EQ(in.Load(), 1);
        for (int32_t requested : c.switches)
            ProgramState(&in).SetSound3DRequested(requested);
        EXPECT_EQ(ProgramState(&in).Sound3DUsed(), c.used) << std::hex << c.level << " " << c.atLoad;
        EXPECT_EQ(g_probes, 1);
        in.Unload();
    }
}
