// The four drivers' portable parts and the driver table over them.
//
// The back ends of "DX30", "GL11" and "DX3D" come with their own issues:
// until then their CreateRenderAPI answers null, and the "GL11" probe, which
// needs the OpenGL library loader, answers 0. "SW32" makes the GDI
// presenter's target.
#include "graphics2d/surface.h"
#include "render/driver.h"
#include "render/dx_version.h"
#include "render/os_drivers.h"
#include "render/render_api.h"
#include "render/software/gdi_presenter.h"
#include "render/software/software_polygon.h"
#include "runtime/interp/os_display.h"

#include <cstdlib>
#include <new>

namespace {

constexpr uint32_t Tag(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 | uint32_t(uint8_t(d)) << 24;
}

constexpr uint32_t kTagDirect3D = Tag('D', 'X', '3', 'D');
constexpr uint32_t kTagDirectDraw = Tag('D', 'X', '3', '0');
constexpr uint32_t kTagOpenGL = Tag('G', 'L', '1', '1');
constexpr uint32_t kTagSoftware = Tag('S', 'W', '3', '2');

// The catalogue shared by three drivers: one device and one windowed driver
// record, both "Default".
LDriverRecord* AddDefaultRecord(LAPICLBK& driver) {
    return driver.AddDriver(driver.AddDevice("Default", nullptr), "Default", 1, nullptr);
}

// The display modes of the 8-bit DIB format, as the 2D surface library
// reports them.
void SurfaceLibraryModes(void (*add)(int32_t, int32_t, int32_t, void*), void* context) {
    const CSurface* holder = nullptr;
    SelectPixelFormat(&holder, 8, kPlaceDIB, 0);
    if (!holder) return;
    struct Forward {
        void (*add)(int32_t, int32_t, int32_t, void*);
        void* context;
    } forward{add, context};
    const_cast<CSurface*>(holder)->EnumDisplayModes(
        [](const DisplayModeRecord* mode, void* c) {
            auto* f = static_cast<Forward*>(c);
            f->add(mode->width, mode->height, mode->depth, f->context);
            return 1;
        },
        &forward);
}

template <class Driver>
LDriverLink* CreateDriver() {
    auto* driver = new (std::nothrow) Driver();
    if (driver) driver->EnsureEnumerated();
    return driver;
}

uint32_t DirectXLevel() {
    uint32_t version = 0, platform = 0;
    GetDirectXVersion(&version, &platform);
    return version;
}

int32_t ProbeDirect3D() { return DirectXLevel() >= 0x600 && GetDesktopBitsPerPixel() >= 15 ? 1 : 0; }
int32_t ProbeDirectDraw() { return DirectXLevel() >= 0x300 ? 1 : 0; }
// Needs the OpenGL library loader, which comes with the OpenGL back end.
int32_t ProbeOpenGL() { return 0; }
int32_t ProbeSoftware() { return 1; }

}  // namespace

const LDriverKind kDriverTable[kDriverKindCount] = {
    {kTagDirect3D, &CreateDriver<LAPI_Direct3D>, &ProbeDirect3D, "Direct3D 6.x"},
    {kTagDirectDraw, &CreateDriver<LAPI_DirectX>, &ProbeDirectDraw, "DirectDraw 3"},
    {kTagOpenGL, &CreateDriver<LAPI_OpenGL>, &ProbeOpenGL, "OpenGL 1.1"},
    {kTagSoftware, &CreateDriver<LAPI_Surface_Win32>, &ProbeSoftware, "DIB"},
};

L3DRenderAPIRegistry& RenderAPIRegistry() {
    static L3DRenderAPIRegistry registry(kDriverTable, kDriverKindCount);
    return registry;
}

// GDI.

LAPI_Surface_Win32::ModeSource LAPI_Surface_Win32::modeSource = &SurfaceLibraryModes;

LRenderAPICLBK* LAPI_Surface_Win32::CreateRenderAPI(L3DWorld* world) {
    return Adopt(new LRenderAPI_Surface_Win32(world, this));
}

LPolygon* LAPI_Surface_Win32::CreatePolygon(LPolygonOwner* owner, int32_t reserved, void* callback) {
    return new LPolygon_Software(owner, reserved, callback);
}

uint32_t LAPI_Surface_Win32::GetId() { return kTagSoftware; }

void LAPI_Surface_Win32::Enumerate() {
    LDriverRecord* record = AddDefaultRecord(*this);
    if (!record || !modeSource) return;
    struct Target {
        LAPICLBK* driver;
        LDriverRecord* record;
    } target{this, record};
    modeSource(
        [](int32_t w, int32_t h, int32_t d, void* c) {
            auto* t = static_cast<Target*>(c);
            t->driver->AddMode(t->record, {w, h}, d, nullptr);
        },
        &target);
}

// DirectDraw.

LAPI_DirectX::LAPI_DirectX() : directDraw2(OsCreateDirectDraw2()) {}

LAPI_DirectX::~LAPI_DirectX() {
    DeleteAllDevices();
    DeleteAllRenderTargets();
    OsReleaseInterface(directDraw2);
}

LRenderAPICLBK* LAPI_DirectX::CreateRenderAPI(L3DWorld*) { return nullptr; }

uint32_t LAPI_DirectX::GetId() { return kTagDirectDraw; }

void LAPI_DirectX::Enumerate() {
    LDriverRecord* record = AddDefaultRecord(*this);
    if (record && directDraw2) OsEnumerateDirectDrawModes(directDraw2, this, record);
}

int32_t LAPI_DirectX::WaitVerticalBlank() {
    return waitVerticalBlank && directDraw2 ? OsWaitVerticalBlank(directDraw2) : 0;
}

// OpenGL.

LRenderAPICLBK* LAPI_OpenGL::CreateRenderAPI(L3DWorld*) { return nullptr; }

uint32_t LAPI_OpenGL::GetId() { return kTagOpenGL; }

void LAPI_OpenGL::Enumerate() {
    LDriverRecord* record = AddDefaultRecord(*this);
    if (record) OsEnumerateDisplaySettings(this, record);
}

void LAPI_OpenGL::FreeModeHandle(void* handle) { std::free(handle); }

// Direct3D.

LAPI_Direct3D::LAPI_Direct3D() { OsCreateDirect3D(&directDraw4, &direct3D3); }

LAPI_Direct3D::~LAPI_Direct3D() {
    DeleteAllDevices();
    DeleteAllRenderTargets();
    if (sharedObject) OsReleaseInterface(sharedObject);
    OsReleaseInterface(direct3D3);
    OsReleaseInterface(directDraw4);
}

LRenderAPICLBK* LAPI_Direct3D::CreateRenderAPI(L3DWorld*) { return nullptr; }

uint32_t LAPI_Direct3D::GetId() { return kTagDirect3D; }

void LAPI_Direct3D::Enumerate() {
    if (directDraw4) OsEnumerateDirect3D(this, directDraw4);
}

int32_t LAPI_Direct3D::WaitVerticalBlank() {
    return waitVerticalBlank && directDraw4 ? OsWaitVerticalBlank(directDraw4) : 0;
}

void LAPI_Direct3D::FreeDriverHandle(void* handle) { std::free(handle); }

void LAPI_Direct3D::FreeDeviceHandle(void* handle) { std::free(handle); }

void LAPI_Direct3D::FreeModeHandle(void* handle) { std::free(handle); }

int32_t LAPI_Direct3D::HoldSharedObject(void* object) {
    if (object) {
        if (!sharedObject) {
            sharedObject = object;
            sharedCount = 1;
            return 0;
        }
        return object == sharedObject ? ++sharedCount : sharedCount;
    }
    if (sharedObject && --sharedCount <= 0) {
        OsReleaseInterface(sharedObject);
        sharedObject = nullptr;
        sharedCount = 0;
    }
    return sharedCount;
}
