#include "render/driver.h"

#include "engine3d/point.h"
#include "engine3d/polygon.h"
#include "engine3d/sprite.h"
#include "engine3d/texture.h"
#include "render/render_api.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// Names hold at most 63 characters.
void CopyName(char (&out)[64], const char* name) {
    std::snprintf(out, sizeof out, "%s", name ? name : "");
}

// 15-bit and 16-bit modes count as one depth in the mode-list tests.
int32_t DepthClass(int32_t depth) { return depth == 15 ? 16 : depth; }

int64_t Pixels(int32_t width, int32_t height) { return int64_t(width) * int64_t(height); }

}  // namespace

LAPICLBK::~LAPICLBK() {
    DeleteAllDevices();
    DeleteAllRenderTargets();
}

LSprite* LAPICLBK::CreateSprite(L3DWorld* world) { return new LSprite(world); }

LRenderAPICLBK* LAPICLBK::CreateRenderAPI(L3DWorld*) { return nullptr; }

L3DPoint* LAPICLBK::CreatePoint(float x, float y, float z, float u, float v) { return new L3DPoint(x, y, z, u, v); }

LPolygon* LAPICLBK::CreatePolygon(LPolygonOwner* owner, int32_t reserved, void* callback) {
    return new LPolygon(owner, reserved, callback);
}

LTexture* LAPICLBK::CreateTexture(L3DWorld* world, const char* name, LCLBKObject* callback) {
    return new LTexture(world, name, callback);
}

void LAPICLBK::DeleteRenderAPI(LRenderAPICLBK* target) {
    if (!target) return;
    RemoveNode(FindNode(target), 1);
    delete target;
}

void LAPICLBK::DeletePoint(L3DPoint* point) { delete point; }

void LAPICLBK::DeletePolygon(LPolygon* polygon) { delete polygon; }

void LAPICLBK::DeleteTexture(LTexture* texture) { delete texture; }

void LAPICLBK::DeleteSprite(LSprite* sprite) { delete sprite; }

void LAPICLBK::GetDisplayName(char* text, int32_t size) {
    if (!text || size < 1) return;
    const char* name = GetDisplayNameText();
    size_t n = std::strlen(name);
    if (n > size_t(size - 1)) n = size_t(size - 1);
    std::memcpy(text, name, n);
    text[n] = '\0';
}

void LAPICLBK::DetachAll() {
    for (LDataNode* node = GetHead(); node; node = node->next) {
        auto* target = static_cast<LRenderAPICLBK*>(node->value);
        target->DetachCamera();
        target->HideGridAxes(2 | 4 | 8);
        target->world = nullptr;
    }
}

LDeviceRecord* LAPICLBK::AddDevice(const char* name, void* handle) {
    auto* device = new (std::nothrow) LDeviceRecord();
    if (!device) return nullptr;
    CopyName(device->name, name);
    device->handle = handle;
    if (!firstDevice) {
        firstDevice = currentDevice = device;
        return device;
    }
    LDeviceRecord* tail = firstDevice;
    while (tail->next) tail = tail->next;
    tail->next = device;
    device->previous = tail;
    return device;
}

LDriverRecord* LAPICLBK::AddDriver(LDeviceRecord* device, const char* name, int32_t windowed, void* handle) {
    if (!device) return nullptr;
    auto* driver = new (std::nothrow) LDriverRecord();
    if (!driver) return nullptr;
    CopyName(driver->name, name);
    driver->windowed = windowed;
    driver->handle = handle;
    if (!device->firstDriver) {
        device->firstDriver = device->currentDriver = driver;
        return driver;
    }
    LDriverRecord* tail = device->firstDriver;
    while (tail->next) tail = tail->next;
    tail->next = driver;
    return driver;
}

LModeRecord* LAPICLBK::AddMode(LDriverRecord* driver, LModeSize size, int32_t depth, void* handle) {
    if (!driver) return nullptr;
    LModeRecord* tail = nullptr;
    for (LModeRecord* m = driver->firstMode; m; m = m->next) {
        if (m->depth == int8_t(depth) && m->width == size.width && m->height == size.height) {
            // The duplicate's copy of the mode description is not kept.
            FreeModeHandle(handle);
            return m;
        }
        tail = m;
    }
    auto* mode = new (std::nothrow) LModeRecord();
    if (!mode) {
        FreeModeHandle(handle);
        return nullptr;
    }
    mode->depth = int8_t(depth);
    mode->width = size.width;
    mode->height = size.height;
    std::snprintf(mode->text, sizeof mode->text, " %d x %d ( %d BPP )", size.width, size.height, int(mode->depth));
    mode->handle = handle;
    if (!tail) {
        driver->firstMode = mode;
        driver->reserved = 0;
    } else {
        tail->next = mode;
        mode->previous = tail;
    }
    return mode;
}

int32_t LAPICLBK::FindModeForSize(const LDriverRecord* driver, int32_t width, int32_t height, int32_t depth) {
    if (!driver) return 2;
    // A size without pixels, or a negative one, is no request a mode fits.
    if (width <= 0 || height <= 0) return 17;
    for (const LModeRecord* m = driver->firstMode; m; m = m->next)
        if (DepthClass(m->depth) == DepthClass(depth) && Pixels(m->width, m->height) >= Pixels(width, height)) return 0;
    return 17;
}

int32_t LAPICLBK::CheckDepth(const LDriverRecord* driver, int32_t kind, int32_t depth) {
    if (!driver || (kind != kFullScreen && kind != kWindowed)) return 2;
    if (kind == kWindowed && driver->windowed != 1) return 34;
    for (const LModeRecord* m = driver->firstMode; m; m = m->next)
        if (DepthClass(m->depth) == DepthClass(depth)) return 0;
    return 34;
}

LModeRecord* LAPICLBK::FindClosestMode(LModeSize size, const LDeviceRecord* device, const LDriverRecord* driver,
                                       const LModeRecord*, int32_t depth) {
    if (!device || !driver) return nullptr;
    const int64_t wanted = Pixels(size.width, size.height);
    LModeRecord* best = nullptr;
    int64_t bestDistance = 0;
    for (LModeRecord* m = driver->firstMode; m; m = m->next) {
        if (m->depth != depth) continue;
        int64_t distance = Pixels(m->width, m->height) - wanted;
        if (distance < 0) distance = -distance;
        if (!best || distance < bestDistance) {
            best = m;
            bestDistance = distance;
        }
    }
    return best ? best : driver->firstMode;
}

void LAPICLBK::FreeModes(LDriverRecord* driver) {
    while (LModeRecord* m = driver->firstMode) {
        driver->firstMode = m->next;
        FreeModeHandle(m->handle);
        delete m;
    }
}

void LAPICLBK::DeleteDriver(LDriverRecord* driver) {
    if (!driver) return;
    FreeModes(driver);
    FreeDriverHandle(driver->handle);
    // Unlink from the device that lists it; a device whose current record
    // goes moves to its list head (null when the list is emptied).
    for (LDeviceRecord* d = firstDevice; d; d = d->next) {
        LDriverRecord** link = &d->firstDriver;
        while (*link && *link != driver) link = &(*link)->next;
        if (!*link) continue;
        *link = driver->next;
        if (d->currentDriver == driver) d->currentDriver = d->firstDriver;
        break;
    }
    delete driver;
}

void LAPICLBK::DeleteDevice(LDeviceRecord* device) {
    if (!device) return;
    while (LDriverRecord* r = device->firstDriver) {
        device->firstDriver = r->next;
        FreeModes(r);
        FreeDriverHandle(r->handle);
        delete r;
    }
    device->currentDriver = nullptr;
    FreeDeviceHandle(device->handle);
    if (device->previous) device->previous->next = device->next;
    if (device->next) device->next->previous = device->previous;
    if (firstDevice == device) firstDevice = device->next;
    // The current device never names a freed record: it moves to the head.
    if (currentDevice == device) currentDevice = firstDevice;
    delete device;
}

void LAPICLBK::DeleteAllDevices() {
    while (firstDevice) DeleteDevice(firstDevice);
}

void LAPICLBK::DeleteAllRenderTargets() {
    while (LDataNode* head = GetHead()) DeleteRenderAPI(static_cast<LRenderAPICLBK*>(head->value));
}

void LAPICLBK::EnsureEnumerated() {
    if (enumerated) return;
    Enumerate();
    enumerated = 1;
}

LRenderAPICLBK* LAPICLBK::Adopt(LRenderAPICLBK* target) {
    if (target && !InsertAfter(target, nullptr)) {
        delete target;
        return nullptr;
    }
    return target;
}
