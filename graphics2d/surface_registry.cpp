// Library start-up, the client registry and the prototypes' life.
#include "graphics2d/surface_registry.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "graphics2d/colour_match.h"
#include "graphics2d/os_gdi.h"

namespace {

struct ClientRecord {
    std::thread::id thread;
    int count;
};

std::mutex g_lock;
std::vector<ClientRecord> g_clients;
int g_registeredThreads = 0;
uint32_t g_flags = 0;

struct StaticPalettes {
    uint16_t version16 = kPaletteVersion;
    uint16_t count16 = 16;
    PaletteEntry system16[16] = {};
    LogPalette256 defaults = GetDefaultLogPalette();
};

StaticPalettes& Statics() {
    static StaticPalettes palettes;
    return palettes;
}

ClientRecord* FindClient(std::thread::id thread) {
    for (ClientRecord& r : g_clients)
        if (r.thread == thread) return &r;
    return nullptr;
}

void DeleteGdiPalette(void* handle) { OsDeletePalette(handle); }

}  // namespace

uint32_t GetSurfaceLibraryFlags() { return g_flags; }
const PaletteEntry* GetSystemPalette16() { return Statics().system16; }
const LogPalette256& GetLibraryDefaultPalette() { return Statics().defaults; }

CSharedPalette* InitSurfaceLibrary() {
    g_flags = DetectMMX(OsProcessorLevel()) ? kPixelFlagMMX : 0;
    SetPaletteHandleDeleter(DeleteGdiPalette);
    StaticPalettes& statics = Statics();
    statics.version16 = statics.defaults.version = kPaletteVersion;
    statics.count16 = 16;
    statics.defaults.count = 256;
    const OsScreenCaps caps = OsGetScreenCaps();
    const int bits = caps.bitsPerPixel * caps.planes;
    const uint16_t colours = bits >= 16 ? 0 : static_cast<uint16_t>(1u << bits);
    if (caps.palette) {
        PaletteEntry entries[20];
        if (colours == 16 && OsGetSystemPaletteEntries(0, 16, statics.system16)) {
            for (PaletteEntry& e : statics.system16) e.flags = 0;
        } else if (colours == 256 && OsGetSystemPaletteEntries(0, 10, entries) &&
                   OsGetSystemPaletteEntries(246, 10, entries + 10)) {
            for (int i = 0; i < 10; ++i) {
                statics.defaults.entries[i] = entries[i];
                statics.defaults.entries[i].flags = 0;
                statics.defaults.entries[246 + i] = entries[10 + i];
                statics.defaults.entries[246 + i].flags = 0;
            }
        }
    }
    AddThreadPaletteReference();
    return AcquireThreadDefaultPalette(statics.defaults);
}

void RegisterSurfaceClient() {
    const std::thread::id self = std::this_thread::get_id();
    {
        std::lock_guard<std::mutex> guard(g_lock);
        if (ClientRecord* r = FindClient(self)) {
            ++r->count;
            return;
        }
        try {
            if (g_clients.size() == g_clients.capacity()) g_clients.reserve(g_clients.size() + 16);
            g_clients.push_back({self, 1});
        } catch (const std::bad_alloc&) {
            // The record is not added; the thread still gets the library.
        }
    }
    // The thread's record keeps the default palette; this reference is spare.
    CSharedPalette::Release(InitSurfaceLibrary());
    std::lock_guard<std::mutex> guard(g_lock);
    if (g_registeredThreads++ == 0) CreateSurfacePrototypes();
}

void UnregisterSurfaceClient() {
    const std::thread::id self = std::this_thread::get_id();
    {
        std::lock_guard<std::mutex> guard(g_lock);
        ClientRecord* r = FindClient(self);
        if (!r) return;
        if (r->count > 0) --r->count;
        if (r->count > 0) return;
        g_clients.erase(g_clients.begin() + (r - g_clients.data()));
        if (g_clients.capacity() > g_clients.size() + 16) g_clients.shrink_to_fit();
        if (g_registeredThreads > 0 && --g_registeredThreads == 0) ReleaseSurfacePrototypes();
    }
    ReleaseDirectDraw();
    ReleaseThreadPalettes();
}

void ReleaseSurfaceRegistry() {
    static std::once_flag once;
    std::call_once(once, [] {
        std::lock_guard<std::mutex> guard(g_lock);
        std::vector<ClientRecord>().swap(g_clients);
    });
}

void ReleaseDirectDraw() { OsReleaseDirectDraw(); }

int GetSurfaceClientCount() {
    std::lock_guard<std::mutex> guard(g_lock);
    const ClientRecord* r = FindClient(std::this_thread::get_id());
    return r ? r->count : 0;
}

int GetRegisteredThreadCount() {
    std::lock_guard<std::mutex> guard(g_lock);
    return g_registeredThreads;
}
