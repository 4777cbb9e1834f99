#pragma once
// LAPICLBK: the driver interface of the render back ends. A driver is one
// rendering technology and a factory: it makes the render targets of worlds
// (render/render_api.h) and the engine objects whose form depends on the
// technology (points, polygons, textures, sprites), and keeps a three-level
// catalogue of what the machine offers: display devices, the driver records
// of each device and the screen modes of each driver record.
//
// Base behaviour: CreatePoint makes a plain L3DPoint, CreatePolygon a plain
// LPolygon (the software renderer's LPolygon_Software replaces it when it
// exists), CreateTexture a plain LTexture and CreateSprite a plain LSprite
// (the hardware back ends give their own); the delete slots delete through
// the virtual destructor. The list base holds the render targets the driver
// made (it never owns them; the destructor deletes them).
//
// Catalogue handles are driver-specific blocks from std::malloc (Direct3D's
// device and driver descriptions, the copies of mode descriptions); the
// Free*Handle slots free them, the base slots leave them alone.
#include "engine3d/data_link.h"
#include "engine3d/engine_globals.h"
#include "engine3d/render_link.h"

#include <cstdint>

class LRenderAPICLBK;
struct LDriverRecord;

// A screen mode of a driver record.
struct LModeRecord {
    int8_t depth;
    int32_t width, height;
    char text[64];  // " %d x %d ( %d BPP )"
    void* handle;
    LModeRecord* next;
    LModeRecord* previous;
};

// One rendering driver of a display device.
struct LDriverRecord {
    char name[64];
    int32_t windowed;  // 1: can render into a window on the desktop
    void* handle;
    int32_t reserved;
    LModeRecord* firstMode;
    LDriverRecord* next;
};

// One display device.
struct LDeviceRecord {
    char name[64];
    void* handle;
    LDriverRecord* currentDriver;
    LDriverRecord* firstDriver;
    LDeviceRecord* next;
    LDeviceRecord* previous;
};

struct LModeSize {
    int32_t width, height;
};

class LAPICLBK : public LDriverLink, public LDataLink {
public:
    enum : uint32_t { kDefaultId = 0x41464544 };  // "DEFA"
    enum : int32_t { kFullScreen = 2, kWindowed = 4 };

    LAPICLBK() = default;
    LAPICLBK(const LAPICLBK&) = delete;
    LAPICLBK& operator=(const LAPICLBK&) = delete;
    // Deletes the catalogue (DeleteAllDevices), then every render target.
    ~LAPICLBK() override;

    LSprite* CreateSprite(L3DWorld* world) override;
    virtual LRenderAPICLBK* CreateRenderAPI(L3DWorld* world);
    L3DPoint* CreatePoint(float x, float y, float z, float u, float v) override;
    LPolygon* CreatePolygon(LPolygonOwner* owner, int32_t reserved, void* callback) override;
    LTexture* CreateTexture(L3DWorld* world, const char* name, LCLBKObject* callback) override;
    // Deletes a render target and removes it from the list.
    virtual void DeleteRenderAPI(LRenderAPICLBK* target);
    void DeletePoint(L3DPoint* point) override;
    void DeletePolygon(LPolygon* polygon) override;
    void DeleteTexture(LTexture* texture) override;
    void DeleteSprite(LSprite* sprite) override;
    // At most size - 1 characters of GetDisplayNameText, terminated; nothing
    // for a size below 1.
    virtual void GetDisplayName(char* text, int32_t size);
    virtual uint32_t GetId() { return kDefaultId; }
    virtual int32_t IsHardware() { return 0; }
    // Every render target: camera detached, grid axes hidden, world forgotten.
    virtual void DetachAll();
    // Appends a device (the first becomes current); null when memory fails.
    virtual LDeviceRecord* AddDevice(const char* name, void* handle);
    // Appends a driver record (the first becomes the device's current one);
    // null for a null device.
    virtual LDriverRecord* AddDriver(LDeviceRecord* device, const char* name, int32_t windowed, void* handle);
    // Appends a mode; an equal (depth, width, height) already listed is
    // answered instead and the new handle freed. Null for a null record.
    virtual LModeRecord* AddMode(LDriverRecord* driver, LModeSize size, int32_t depth, void* handle);
    virtual int32_t WaitVerticalBlank() { return 0; }
    virtual int32_t CanWaitVerticalBlank() { return 0; }
    virtual const char* GetDisplayNameText() { return "Unknown"; }
    // Fills the catalogue.
    virtual void Enumerate() {}
    virtual void FreeDriverHandle(void* /*handle*/) {}
    virtual void FreeDeviceHandle(void* /*handle*/) {}
    virtual void FreeModeHandle(void* /*handle*/) {}

    // 0 when the record has a mode of the depth (15 and 16 alike) of at least
    // width x height pixels; 2 without record; 17 otherwise.
    static int32_t FindModeForSize(const LDriverRecord* driver, int32_t width, int32_t height, int32_t depth);
    // Kind 2 full screen, 4 windowed (the record must be windowed, else 34);
    // 0 when a mode has the depth (15 and 16 alike), else 34; 2 without
    // record or for another kind.
    static int32_t CheckDepth(const LDriverRecord* driver, int32_t kind, int32_t depth);
    // The mode of exactly this depth whose pixel count is nearest size (the
    // first of equal distances), else the record's first mode; null without
    // device or record, or for an empty list. `current` is not consulted.
    static LModeRecord* FindClosestMode(LModeSize size, const LDeviceRecord* device, const LDriverRecord* driver,
                                        const LModeRecord* current, int32_t depth);

    void DeleteDevice(LDeviceRecord* device);
    void DeleteDriver(LDriverRecord* driver);
    void DeleteAllDevices();
    void DeleteAllRenderTargets();

    // The render targets made by this driver, in creation order.
    LDataLink& RenderTargets() { return *this; }
    // Ensures the catalogue is filled once.
    void EnsureEnumerated();

    LDeviceRecord* firstDevice = nullptr;
    LDeviceRecord* currentDevice = nullptr;
    int32_t enumerated = 0;
    int32_t waitVerticalBlank = 0;

protected:
    // Appends a made target to the list; deletes it and answers null when the
    // list cannot take it.
    LRenderAPICLBK* Adopt(LRenderAPICLBK* target);

private:
    void FreeModes(LDriverRecord* driver);
};

// The software renderer shown through GDI ("SW32"). Its catalogue is one
// device and record "Default" (windowed) with the display modes that the 2D
// surface library reports for the 8-bit DIB format.
class LAPI_Surface_Win32 : public LAPICLBK {
public:
    // A source of display modes: calls add(width, height, depth, context) per
    // mode. The default asks the 2D surface library.
    using ModeSource = void (*)(void (*add)(int32_t, int32_t, int32_t, void*), void* context);
    static ModeSource modeSource;

    ~LAPI_Surface_Win32() override { DeleteAllDevices(); }
    // The GDI presenter (render/software/gdi_presenter.h).
    LRenderAPICLBK* CreateRenderAPI(L3DWorld* world) override;
    // The software polygon, which carries the span routine choice.
    LPolygon* CreatePolygon(LPolygonOwner* owner, int32_t reserved, void* callback) override;
    uint32_t GetId() override;
    const char* GetDisplayNameText() override { return "DIB"; }
    void Enumerate() override;
};

// The software renderer shown through DirectDraw 3 ("DX30").
class LAPI_DirectX : public LAPICLBK {
public:
    LAPI_DirectX();  // takes IDirectDraw2 (null when the system has none)
    ~LAPI_DirectX() override;
    LRenderAPICLBK* CreateRenderAPI(L3DWorld* world) override;
    uint32_t GetId() override;
    const char* GetDisplayNameText() override { return "DirectDraw 3"; }
    void Enumerate() override;
    int32_t WaitVerticalBlank() override;
    int32_t CanWaitVerticalBlank() override { return 1; }

    void* directDraw2 = nullptr;  // IDirectDraw2
};

// The OpenGL 1.1 driver ("GL11"). Mode handles are 148-byte DEVMODE copies.
class LAPI_OpenGL : public LAPICLBK {
public:
    ~LAPI_OpenGL() override { DeleteAllDevices(); }
    LRenderAPICLBK* CreateRenderAPI(L3DWorld* world) override;
    uint32_t GetId() override;
    int32_t IsHardware() override { return 1; }
    const char* GetDisplayNameText() override { return "OpenGL 1.1"; }
    void Enumerate() override;
    void FreeModeHandle(void* handle) override;
};

// The Direct3D 6 driver ("DX3D"). Device and driver handles are the
// description records, mode handles 124-byte surface description copies.
class LAPI_Direct3D : public LAPICLBK {
public:
    LAPI_Direct3D();  // takes IDirectDraw4 and IDirect3D3 (null where missing)
    ~LAPI_Direct3D() override;
    LRenderAPICLBK* CreateRenderAPI(L3DWorld* world) override;
    uint32_t GetId() override;
    int32_t IsHardware() override { return 1; }
    const char* GetDisplayNameText() override { return "Direct3D 6.x"; }
    void Enumerate() override;
    int32_t WaitVerticalBlank() override;
    int32_t CanWaitVerticalBlank() override { return 1; }
    void FreeDriverHandle(void* handle) override;
    void FreeDeviceHandle(void* handle) override;
    void FreeModeHandle(void* handle) override;

    // The renderer's shared COM object: the same object again counts up
    // (answers the count), a first object is held with count 1 (answers 0),
    // null counts down and releases at the last; another object is ignored.
    int32_t HoldSharedObject(void* object);

    void* directDraw4 = nullptr;  // IDirectDraw4
    void* direct3D3 = nullptr;    // IDirect3D3
    void* sharedObject = nullptr;
    int32_t sharedCount = 0;
};

// The driver table: "DX3D", "DX30", "GL11", "SW32", in this order.
enum : int32_t { kDriverKindCount = 4 };
extern const LDriverKind kDriverTable[kDriverKindCount];

// The process's registry over the driver table.
L3DRenderAPIRegistry& RenderAPIRegistry();
