#include "script3d/directx_level.h"

#include "render/dx_version.h"
#include "runtime/classes/script_class.h"

namespace {

// The service keeps no object of its own; Load needs a non-null answer.
int g_loaded = 0;

void* LoadDirectXLevel(CInterpretor* interpretor) {
    uint32_t version = 0, platform = 0;
    GetDirectXVersion(&version, &platform);
    CProgramState& state = ProgramState(interpretor);
    state.directXVersion = version;
    state.sound3DUsed = state.sound3DRequested && version >= 0x600 ? 1 : 0;
    return &g_loaded;
}

void UnloadDirectXLevel(CInterpretor*, void*) {}

}  // namespace

void RegisterDirectXLevelService() {
    RegisterInterpreterService({kServiceDirectXLevel, &LoadDirectXLevel, &UnloadDirectXLevel});
}
