// The interpreter learns the DirectX level at its Load.
#include "render/dx_version.h"
#include "runtime/classes/script_class.h"
#include "runtime/interp/interpretor.h"

#include <gtest/gtest.h>

TEST(DirectXLevel, EachLoadSetsTheLevelAndTheThreeDSoundSwitch) {
    uint32_t version = 0, platform = 0;
    GetDirectXVersion(&version, &platform);
    for (int32_t requested : {1, 0}) {
        CInterpretor in;
        ProgramState(&in).directXVersion = 0xBAD;
        ProgramState(&in).sound3DRequested = requested;
        ASSERT_EQ(in.Load(), 1);
        EXPECT_EQ(ProgramState(&in).directXVersion, version);
        EXPECT_EQ(ProgramState(&in).sound3DUsed, requested && version >= 0x600 ? 1 : 0);
        EXPECT_NE(GetInterpreterService(&in, kServiceDirectXLevel), nullptr);
        in.Unload();
    }
#ifndef _WIN32
    EXPECT_EQ(version, 0u);  // the native build has no DirectX
#endif
}
