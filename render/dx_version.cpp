#include "render/dx_version.h"

namespace {

// Ends the probe with this call's results.
void Answer(uint32_t* version, uint32_t* platform, int32_t v, int32_t p) {
    *version = uint32_t(v);
    *platform = uint32_t(p);
}

}  // namespace

void ProbeDirectXVersion(LDirectXCalls& calls, LDirectXCache& cache, uint32_t* version, uint32_t* platform) {
    if (cache.version != -1 && cache.platform != -1) return Answer(version, platform, cache.version, cache.platform);

    uint32_t platformId = 0, major = 0;
    if (!calls.GetVersion(&platformId, &major)) return Answer(version, platform, 0, 0);
    if (platformId == 2) {
        cache.platform = 2;
        if (major < 4) return Answer(version, platform, 0, 2);
        if (major == 4) {
            // NT 4: DirectDraw is never loaded; DirectInput tells 2 from 3.
            cache.version = 0x200;
            void* input = calls.OpenLibrary("DINPUT.DLL");
            if (!input) {
                calls.DebugLine("Couldn't LoadLibrary DInput\r\n");
                return Answer(version, platform, 0x200, 2);
            }
            const bool found = calls.HasEntry(input, "DirectInputCreateA");
            calls.CloseLibrary(input);
            if (!found) {
                calls.DebugLine("Couldn't GetProcAddress DInputCreate\r\n");
                return Answer(version, platform, 0x200, 2);
            }
            cache.version = 0x300;
            return Answer(version, platform, 0x300, 2);
        }
    } else {
        cache.platform = 1;
    }
    const int32_t knownPlatform = cache.platform;

    void* ddraw = calls.OpenLibrary("DDRAW.DLL");
    if (!ddraw) return Answer(version, platform, 0, 0);
    if (!calls.HasEntry(ddraw, "DirectDrawCreate")) {
        calls.CloseLibrary(ddraw);
        calls.DebugLine("Couldn't LoadLibrary DDraw\r\n");
        return Answer(version, platform, 0, 0);
    }
    void* directDraw = calls.CreateDirectDraw(ddraw);
    if (!directDraw) {
        calls.CloseLibrary(ddraw);
        calls.DebugLine("Couldn't create DDraw\r\n");
        return Answer(version, platform, 0, 0);
    }
    const auto giveUp = [&](const char* line, int32_t level) {
        calls.Release(directDraw);
        calls.CloseLibrary(ddraw);
        if (line) calls.DebugLine(line);
        Answer(version, platform, level, knownPlatform);
    };

    cache.version = 0x100;
    if (!calls.HasDirectDraw2(directDraw)) return giveUp("Couldn't QI DDraw2\r\n", 0x100);
    cache.version = 0x200;
    void* input = calls.OpenLibrary("DINPUT.DLL");
    if (!input) return giveUp("Couldn't LoadLibrary DInput\r\n", 0x200);
    const bool found = calls.HasEntry(input, "DirectInputCreateA");
    calls.CloseLibrary(input);
    if (!found) return giveUp("Couldn't GetProcAddress DInputCreate\r\n", 0x200);

    cache.version = 0x300;
    // A DirectDraw that cannot set a cooperative level or make a primary
    // surface is unusable: level 0, cached so that every later call agrees.
    if (!calls.SetCooperativeLevelNormal(directDraw)) {
        cache.version = 0;
        return giveUp("Couldn't Set coop level\r\n", 0);
    }
    void* surface = calls.CreatePrimarySurface(directDraw);
    if (!surface) {
        cache.version = 0;
        return giveUp("Couldn't CreateSurface\r\n", 0);
    }
    int32_t level = 0x300;
    if (calls.HasSurface3(surface)) {
        level = cache.version = 0x500;
        if (calls.HasSurface4(surface)) level = cache.version = 0x600;
    }
    calls.Release(surface);
    giveUp(nullptr, level);
}

void GetDirectXVersion(uint32_t* version, uint32_t* platform) {
    static LDirectXCache cache;
    ProbeDirectXVersion(OsDirectXCalls(), cache, version, platform);
}
