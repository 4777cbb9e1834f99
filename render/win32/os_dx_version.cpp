// The DirectX probe's system calls.
#include <windows.h>
#include <ddraw.h>

#include "render/dx_version.h"

namespace {

class SystemDirectXCalls : public LDirectXCalls {
public:
    bool GetVersion(uint32_t* platformId, uint32_t* major) override {
        OSVERSIONINFOA info;
        ZeroMemory(&info, sizeof info);
        info.dwOSVersionInfoSize = sizeof info;  // 148
        if (!GetVersionExA(&info)) return false;
        *platformId = info.dwPlatformId;
        *major = info.dwMajorVersion;
        return true;
    }
    void* OpenLibrary(const char* name) override { return LoadLibraryA(name); }
    bool HasEntry(void* library, const char* name) override {
        return GetProcAddress(static_cast<HMODULE>(library), name) != nullptr;
    }
    void CloseLibrary(void* library) override { ::FreeLibrary(static_cast<HMODULE>(library)); }
    void* CreateDirectDraw(void* library) override {
        using Create = HRESULT(WINAPI*)(GUID*, LPDIRECTDRAW*, IUnknown*);
        auto create = reinterpret_cast<Create>(
            reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), "DirectDrawCreate")));
        IDirectDraw* object = nullptr;
        if (!create || FAILED(create(nullptr, &object, nullptr))) return nullptr;
        return object;
    }
    bool HasDirectDraw2(void* directDraw) override { return Has(directDraw, IID_IDirectDraw2); }
    bool SetCooperativeLevelNormal(void* directDraw) override {
        return SUCCEEDED(static_cast<IDirectDraw*>(directDraw)->SetCooperativeLevel(nullptr, DDSCL_NORMAL));
    }
    void* CreatePrimarySurface(void* directDraw) override {
        DDSURFACEDESC description;
        ZeroMemory(&description, sizeof description);
        description.dwSize = sizeof description;  // 108
        description.dwFlags = DDSD_CAPS;
        description.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        IDirectDrawSurface* surface = nullptr;
        if (FAILED(static_cast<IDirectDraw*>(directDraw)->CreateSurface(&description, &surface, nullptr)))
            return nullptr;
        return surface;
    }
    bool HasSurface3(void* surface) override { return Has(surface, IID_IDirectDrawSurface3); }
    bool HasSurface4(void* surface) override { return Has(surface, IID_IDirectDrawSurface4); }
    void Release(void* object) override { static_cast<IUnknown*>(object)->Release(); }
    void DebugLine(const char* text) override { OutputDebugStringA(text); }

private:
    static bool Has(void* object, REFIID iid) {
        IUnknown* other = nullptr;
        if (FAILED(static_cast<IUnknown*>(object)->QueryInterface(iid, reinterpret_cast<void**>(&other)))) return false;
        other->Release();
        return true;
    }
};

}  // namespace

LDirectXCalls& OsDirectXCalls() {
    static SystemDirectXCalls calls;
    return calls;
}
