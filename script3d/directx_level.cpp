#include "script3d/directx_level.h"

#include "render/dx_version.h"
#include "runtime/classes/script_class.h"

namespace {

// The service keeps no object of its own; Load needs a non-null answer.
int g_loaded = 0;

uint32_t (*g_probe)() = nullptr;
bool g_probed = false;
uint32_t g_level = 0;

uint32_t ProbeRenderLayer() {
    uint32_t version = 0, platform = 0;
    GetDirectXVersion(&version, &platform);
    return version;
}

// The render layer caches only the levels its probe reached; this keeps
// whatever was answered, a failed probe included.
uint32_t ProcessDirectXLevel() {
    if (!g_probed) {
        g_level = g_probe();
        g_probed = true;
    }
    return g_level;
}

void* LoadDirectXLevel(CInterpretor* interpretor) {
    ProgramState(interpretor).DeferDirectXVersion(&ProcessDirectXLevel);
    return &g_loaded;
}

void UnloadDirectXLevel(CInterpretor*, void*) {}

}  // namespace

void RegisterDirectXLevelService(uint32_t (*probe)()) {
    g_probe = probe != nullptr ? probe : &ProbeRenderLayer;
    g_probed = false;
    RegisterInterpreterService({kServiceDirectXLevel, &LoadDirectXLevel, &UnloadDirectXLevel});
}
