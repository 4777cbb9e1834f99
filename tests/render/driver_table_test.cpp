// The driver table, the process's registry over it and the four drivers'
// portable parts.
#include "render/driver.h"
#include "render/render_api.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string TagText(uint32_t tag) {
    char text[5] = {};
    std::memcpy(text, &tag, 4);
    return text;
}

void ScriptedModes(void (*add)(int32_t, int32_t, int32_t, void*), void* context) {
    add(640, 480, 8, context);
    add(640, 480, 16, context);
    add(640, 480, 16, context);  // reported twice, listed once
    add(1024, 768, 32, context);
}

std::vector<std::string> ModeTexts(const LAPICLBK& driver) {
    std::vector<std::string> out;
    for (const LModeRecord* m = driver.firstDevice->firstDriver->firstMode; m; m = m->next) out.push_back(m->text);
    return out;
}

}  // namespace

TEST(DriverTable, FourRecordsInOrder) {
    const char* tags[] = {"DX3D", "DX30", "GL11", "SW32"};
    const char* names[] = {"Direct3D 6.x", "DirectDraw 3", "OpenGL 1.1", "DIB"};
    for (int i = 0; i < kDriverKindCount; ++i) {
        EXPECT_EQ(TagText(kDriverTable[i].tag), tags[i]);
        EXPECT_STREQ(kDriverTable[i].name, names[i]);
        // Each driver reports its table entry.
        const LDriverKind& kind = kDriverTable[i];
        auto* driver = static_cast<LAPICLBK*>(kind.create());
        ASSERT_NE(driver, nullptr);
        EXPECT_EQ(driver->GetId(), kind.tag);
        EXPECT_STREQ(driver->GetDisplayNameText(), kind.name);
        EXPECT_EQ(driver->enumerated, 1);
        EXPECT_EQ(driver->IsHardware(), i == 0 || i == 2 ? 1 : 0);
        EXPECT_EQ(driver->CanWaitVerticalBlank(), i <= 1 ? 1 : 0);
        EXPECT_EQ(driver->WaitVerticalBlank(), 0);  // the switch is off
        driver->Release();
    }
}

TEST(DriverTable, RegistryQueryAndCreate) {
    L3DRenderAPIRegistry& registry = RenderAPIRegistry();
    EXPECT_EQ(&registry, &RenderAPIRegistry());
    EXPECT_EQ(registry.Query(3), 1);
    EXPECT_EQ(registry.Query(4), 0);
    EXPECT_EQ(registry.Query(-1), 0);
    EXPECT_EQ(registry.Query(2), 0);  // no OpenGL loader yet

    const auto saved = LAPI_Surface_Win32::modeSource;
    LAPI_Surface_Win32::modeSource = &ScriptedModes;
    LDriverLink* made = registry.Create(3);
    LAPI_Surface_Win32::modeSource = saved;
    ASSERT_NE(made, nullptr);
    EXPECT_NE(registry.GetLiveDrivers().FindNode(made), nullptr);
    auto* driver = static_cast<LAPICLBK*>(made);
    ASSERT_NE(driver->firstDevice, nullptr);
    EXPECT_STREQ(driver->firstDevice->name, "Default");
    EXPECT_STREQ(driver->firstDevice->firstDriver->name, "Default");
    EXPECT_EQ(driver->firstDevice->firstDriver->windowed, 1);
    EXPECT_EQ(ModeTexts(*driver),
              (std::vector<std::string>{" 640 x 480 ( 8 BPP )", " 640 x 480 ( 16 BPP )", " 1024 x 768 ( 32 BPP )"}));
    char name[64];
    driver->GetDisplayName(name, sizeof name);
    EXPECT_STREQ(name, "DIB");
    registry.Destroy(made);
    EXPECT_EQ(registry.GetLiveDrivers().FindNode(made), nullptr);
}
