// The drivers' system calls: DirectDraw and Direct3D through DDRAW.DLL
// loaded at run time, display settings through USER.
//
// Every enumeration callback here catches its own exceptions: none may cross
// back into the system.
#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

#include "render/driver.h"
#include "render/os_drivers.h"
#include "render/win32/directdraw_library.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The sizes of the copies the catalogue keeps, whatever size fields the
// system reports.
constexpr size_t kSurfaceDescriptionBytes = 124;
constexpr size_t kDevModeBytes = 148;
constexpr size_t kDeviceDescriptionBytes = 252;
constexpr size_t kCapsBytes = 380;

// The handle of a Direct3D display device.
struct Direct3DDeviceHandle {
    GUID guid;
    GUID* guidPointer;  // null for the primary display device
    char driverName[64];
    unsigned char caps[kCapsBytes];
    unsigned char emulationCaps[kCapsBytes];
    HMONITOR monitor;
};

// The handle of a Direct3D driver record.
struct Direct3DDriverHandle {
    GUID guid;
    GUID* guidPointer;
    unsigned char description[kDeviceDescriptionBytes];
    int32_t hardware;
    int32_t desktopDepthListed;
};

void* CopyOf(const void* source, size_t available, size_t bytes) {
    void* copy = std::calloc(1, bytes);
    if (copy) std::memcpy(copy, source, std::min(available, bytes));
    return copy;
}

template <class F>
BOOL Guarded(F f) {
    try {
        return f();
    } catch (...) {
        return TRUE;  // a failed entry is skipped; the enumeration goes on
    }
}

}  // namespace

HMODULE DirectDrawLibrary() {
    static HMODULE library = LoadLibraryA("DDRAW.DLL");
    return library;
}

IDirectDraw* CreateDirectDrawObject(GUID* guid) {
    HMODULE library = DirectDrawLibrary();
    if (!library) return nullptr;
    using Create = HRESULT(WINAPI*)(GUID*, LPDIRECTDRAW*, IUnknown*);
    auto create = reinterpret_cast<Create>(reinterpret_cast<void*>(GetProcAddress(library, "DirectDrawCreate")));
    IDirectDraw* object = nullptr;
    if (!create || FAILED(create(guid, &object, nullptr))) return nullptr;
    return object;
}

void* OsCreateDirectDraw2() {
    IDirectDraw* object = CreateDirectDrawObject(nullptr);
    if (!object) return nullptr;
    IDirectDraw2* dd2 = nullptr;
    if (FAILED(object->QueryInterface(IID_IDirectDraw2, reinterpret_cast<void**>(&dd2)))) dd2 = nullptr;
    object->Release();
    return dd2;
}

void OsCreateDirect3D(void** directDraw4, void** direct3D3) {
    *directDraw4 = *direct3D3 = nullptr;
    IDirectDraw* object = CreateDirectDrawObject(nullptr);
    if (!object) return;
    IDirectDraw4* dd4 = nullptr;
    if (FAILED(object->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&dd4)))) dd4 = nullptr;
    object->Release();
    if (!dd4) return;
    *directDraw4 = dd4;
    IDirect3D3* d3d = nullptr;
    if (SUCCEEDED(dd4->QueryInterface(IID_IDirect3D3, reinterpret_cast<void**>(&d3d)))) *direct3D3 = d3d;
}

void OsReleaseInterface(void* object) {
    if (object) static_cast<IUnknown*>(object)->Release();
}

int32_t OsWaitVerticalBlank(void* directDraw) {
    // WaitForVerticalBlank has the same slot in IDirectDraw, 2 and 4.
    return SUCCEEDED(static_cast<IDirectDraw*>(directDraw)->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr)) ? 1
                                                                                                                 : 0;
}

namespace {

struct ModeTarget {
    LAPICLBK* driver;
    LDriverRecord* record;
};

HRESULT WINAPI AddDirectDrawMode(LPDDSURFACEDESC description, LPVOID context) {
    Guarded([&] {
        auto* t = static_cast<ModeTarget*>(context);
        t->driver->AddMode(t->record, {int32_t(description->dwWidth), int32_t(description->dwHeight)},
                           int32_t(description->ddpfPixelFormat.dwRGBBitCount), nullptr);
        return TRUE;
    });
    return DDENUMRET_OK;
}

}  // namespace

void OsEnumerateDirectDrawModes(void* directDraw2, LAPICLBK* driver, LDriverRecord* record) {
    ModeTarget target{driver, record};
    static_cast<IDirectDraw2*>(directDraw2)->EnumDisplayModes(0, nullptr, &target, &AddDirectDrawMode);
}

void OsEnumerateDisplaySettings(LAPICLBK* driver, LDriverRecord* record) {
    for (DWORD i = 0;; ++i) {
        DEVMODEA mode;
        std::memset(&mode, 0, sizeof mode);
        mode.dmSize = sizeof mode;
        if (!EnumDisplaySettingsA(nullptr, i, &mode)) return;
        if (mode.dmBitsPerPel <= 8) continue;
        driver->AddMode(record, {int32_t(mode.dmPelsWidth), int32_t(mode.dmPelsHeight)}, int32_t(mode.dmBitsPerPel),
                        CopyOf(&mode, sizeof mode, kDevModeBytes));
    }
}

namespace {

struct Direct3DEnumeration {
    LAPICLBK* driver;
    IDirectDraw4* directDraw4;
    LDeviceRecord* device;
    Direct3DDeviceHandle* deviceHandle;
    LDriverRecord* record;
    DWORD renderDepths;
};

HRESULT WINAPI AddDirect3DMode(LPDDSURFACEDESC2 description, LPVOID context) {
    Guarded([&] {
        auto* e = static_cast<Direct3DEnumeration*>(context);
        const DWORD bits = description->ddpfPixelFormat.dwRGBBitCount;
        if (bits == 8) return TRUE;
        const DWORD needed = bits == 32 ? DDBD_32 : bits == 24 ? DDBD_24 : bits == 16 ? DDBD_16 : 0;
        if (needed && !(e->renderDepths & needed)) return TRUE;
        e->driver->AddMode(e->record, {int32_t(description->dwWidth), int32_t(description->dwHeight)}, int32_t(bits),
                           CopyOf(description, sizeof *description, kSurfaceDescriptionBytes));
        return TRUE;
    });
    return DDENUMRET_OK;
}

HRESULT CALLBACK AddDirect3DDriver(GUID* guid, LPSTR description, LPSTR name, LPD3DDEVICEDESC hardware,
                                   LPD3DDEVICEDESC emulation, LPVOID context) {
    (void)description;
    if (!guid || !hardware || !emulation) return D3DENUMRET_CANCEL;
    Guarded([&] {
        auto* e = static_cast<Direct3DEnumeration*>(context);
        if (IsEqualGUID(*guid, IID_IDirect3DNullDevice)) return TRUE;
        const bool isHardware = hardware->dwFlags != 0;
        // A secondary display device lists its hardware drivers only.
        if (e->deviceHandle->guidPointer && !isHardware) return TRUE;
        auto* handle = static_cast<Direct3DDriverHandle*>(std::calloc(1, sizeof(Direct3DDriverHandle)));
        if (!handle) return TRUE;
        handle->guid = *guid;
        handle->guidPointer = &handle->guid;
        const D3DDEVICEDESC* chosen = isHardware ? hardware : emulation;
        std::memcpy(handle->description, chosen, std::min(sizeof(D3DDEVICEDESC), kDeviceDescriptionBytes));
        handle->hardware = isHardware ? 1 : 0;
        LDriverRecord* previous = e->device->currentDriver;
        LDriverRecord* record = e->driver->AddDriver(e->device, name, 1, handle);
        if (!record) {
            std::free(handle);
            return TRUE;
        }
        const bool rgb = (emulation->dcmColorModel & D3DCOLOR_RGB) != 0;
        e->device->currentDriver = isHardware || (!previous && rgb) ? record : previous;

        e->record = record;
        e->renderDepths = chosen->dwDeviceRenderBitDepth;
        e->directDraw4->EnumDisplayModes(0, nullptr, e, &AddDirect3DMode);

        DDSURFACEDESC2 desktop;
        std::memset(&desktop, 0, sizeof desktop);
        desktop.dwSize = sizeof desktop;
        DWORD desktopBits = 0;
        if (SUCCEEDED(e->directDraw4->GetDisplayMode(&desktop))) desktopBits = desktop.ddpfPixelFormat.dwRGBBitCount;
        record->windowed = 0;
        DDCAPS caps;
        std::memcpy(&caps, e->deviceHandle->caps, std::min(sizeof caps, kCapsBytes));
        if (caps.dwCaps2 & DDCAPS2_CANRENDERWINDOWED) {
            for (const LModeRecord* m = record->firstMode; m; m = m->next) {
                if (DWORD(m->depth) != desktopBits) continue;
                handle->desktopDepthListed = 1;
                if (!e->deviceHandle->guidPointer) record->windowed = 1;
                break;
            }
        }
        if (!record->firstMode) e->driver->DeleteDriver(record);
        return TRUE;
    });
    return D3DENUMRET_OK;
}

BOOL AddDirect3DDevice(Direct3DEnumeration& e, GUID* guid, LPSTR description, LPSTR name, HMONITOR monitor) {
    IDirect3D3* d3d = nullptr;
    if (FAILED(e.directDraw4->QueryInterface(IID_IDirect3D3, reinterpret_cast<void**>(&d3d)))) return TRUE;
    auto* handle = static_cast<Direct3DDeviceHandle*>(std::calloc(1, sizeof(Direct3DDeviceHandle)));
    if (!handle) {
        d3d->Release();
        return FALSE;
    }
    if (guid) {
        handle->guid = *guid;
        handle->guidPointer = &handle->guid;
    }
    std::snprintf(handle->driverName, sizeof handle->driverName, "%s", name ? name : "");
    handle->monitor = monitor;
    DDCAPS caps, emulationCaps;
    std::memset(&caps, 0, sizeof caps);
    std::memset(&emulationCaps, 0, sizeof emulationCaps);
    caps.dwSize = emulationCaps.dwSize = kCapsBytes;
    e.directDraw4->GetCaps(&caps, &emulationCaps);
    std::memcpy(handle->caps, &caps, std::min(sizeof caps, kCapsBytes));
    std::memcpy(handle->emulationCaps, &emulationCaps, std::min(sizeof emulationCaps, kCapsBytes));
    LDeviceRecord* device = e.driver->AddDevice(description, handle);
    if (!device) {
        std::free(handle);
        d3d->Release();
        return TRUE;
    }
    e.device = device;
    e.deviceHandle = handle;
    d3d->EnumDevices(&AddDirect3DDriver, &e);
    if (!device->firstDriver) e.driver->DeleteDevice(device);
    d3d->Release();
    return TRUE;
}

BOOL WINAPI EnumerateEx(GUID* guid, LPSTR description, LPSTR name, LPVOID context, HMONITOR monitor) {
    return Guarded([&] {
        return AddDirect3DDevice(*static_cast<Direct3DEnumeration*>(context), guid, description, name, monitor);
    });
}

BOOL WINAPI EnumeratePlain(GUID* guid, LPSTR description, LPSTR name, LPVOID context) {
    return EnumerateEx(guid, description, name, context, nullptr);
}

}  // namespace

void OsEnumerateDirect3D(LAPICLBK* driver, void* directDraw4) {
    HMODULE library = GetModuleHandleA("DDRAW.DLL");
    if (!library) return;
    Direct3DEnumeration e{driver, static_cast<IDirectDraw4*>(directDraw4), nullptr, nullptr, nullptr, 0};
    using EnumEx = HRESULT(WINAPI*)(LPDDENUMCALLBACKEXA, LPVOID, DWORD);
    using EnumPlain = HRESULT(WINAPI*)(LPDDENUMCALLBACKA, LPVOID);
    auto ex = reinterpret_cast<EnumEx>(reinterpret_cast<void*>(GetProcAddress(library, "DirectDrawEnumerateExA")));
    if (ex) {
        ex(&EnumerateEx, &e, DDENUM_ATTACHEDSECONDARYDEVICES | DDENUM_DETACHEDSECONDARYDEVICES |
                                 DDENUM_NONDISPLAYDEVICES);
        return;
    }
    auto plain = reinterpret_cast<EnumPlain>(reinterpret_cast<void*>(GetProcAddress(library, "DirectDrawEnumerateA")));
    if (plain) plain(&EnumeratePlain, &e);
}
