#pragma once
// GetDirectXVersion: which DirectX level the machine offers, found by making
// and querying DirectX objects, with the Windows platform.
//
// version: 0 (none or unusable), 0x100, 0x200, 0x300, 0x500 or 0x600 (DirectX
// 1, 2, 3, 5, 6 and later). platform: 0 not determined, 1 the Windows 95/98
// family, 2 the NT family. The answer is cached for the process, level by
// level as the probe reaches it; a probe that fails before DirectDraw has
// been created caches no version, so the next call probes again.
//
// The steps run in portable code over LDirectXCalls, the calls they make, so
// that every branch can be driven by a scripted stand-in; OsDirectXCalls is
// the system's (the native build has none: its version query fails).
#include <cstdint>

class LDirectXCalls {
public:
    virtual ~LDirectXCalls() = default;
    // GetVersionExA: the platform id (2 for NT) and major version.
    virtual bool GetVersion(uint32_t* platformId, uint32_t* major) = 0;
    // LoadLibraryA, GetProcAddress (true when found), FreeLibrary.
    virtual void* OpenLibrary(const char* name) = 0;
    virtual bool HasEntry(void* library, const char* name) = 0;
    virtual void CloseLibrary(void* library) = 0;
    // DirectDrawCreate(null) through the library's entry: the object or null.
    virtual void* CreateDirectDraw(void* library) = 0;
    // QueryInterface for IDirectDraw2; the interface is released at once.
    virtual bool HasDirectDraw2(void* directDraw) = 0;
    virtual bool SetCooperativeLevelNormal(void* directDraw) = 0;
    // The primary surface (108-byte DDSURFACEDESC, DDSD_CAPS,
    // DDSCAPS_PRIMARYSURFACE), or null.
    virtual void* CreatePrimarySurface(void* directDraw) = 0;
    // QueryInterface for IDirectDrawSurface3 and 4; released at once.
    virtual bool HasSurface3(void* surface) = 0;
    virtual bool HasSurface4(void* surface) = 0;
    // Release of the DirectDraw object or of a surface.
    virtual void Release(void* object) = 0;
    // OutputDebugStringA.
    virtual void DebugLine(const char* text) = 0;
};

// The two cache words, -1 until set.
struct LDirectXCache {
    int32_t version = -1;
    int32_t platform = -1;
};

// The probe over given calls and cache.
void ProbeDirectXVersion(LDirectXCalls& calls, LDirectXCache& cache, uint32_t* version, uint32_t* platform);

// The process's probe over the system's calls.
void GetDirectXVersion(uint32_t* version, uint32_t* platform);

LDirectXCalls& OsDirectXCalls();
