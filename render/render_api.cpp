#include "render/render_api.h"

#include "engine3d/grid.h"

#include "engine3d/world.h"
#include "render/driver.h"
#include "runtime/interp/os_clock.h"
#include "runtime/interp/os_display.h"

#include <cstdio>
#include <initializer_list>

namespace {

int32_t DesktopDepth() { return GetDesktopBitsPerPixel(); }

uint32_t SystemClock() { return OsTimeMs(); }

bool ValidSize(int32_t width, int32_t height) {
    return width > 0 && height > 0 && width <= 0xFFFF && height <= 0xFFFF;
}

}  // namespace

LRenderAPICLBK::DepthProbe LRenderAPICLBK::desktopDepthProbe = &DesktopDepth;
LRenderAPICLBK::Clock LRenderAPICLBK::clock = &SystemClock;

const int32_t* DepthFallbackList(int32_t depth) {
    static const int32_t k8[] = {16, 15, 32, 24, 0};
    static const int32_t k15[] = {15, 16, 32, 24, 0};
    static const int32_t k16[] = {16, 15, 32, 24, 0};
    static const int32_t k24[] = {24, 16, 15, 32, 0};
    static const int32_t k32[] = {32, 16, 15, 24, 0};
    switch (depth) {
    case 8: return k8;
    case 15: return k15;
    case 24: return k24;
    case 32: return k32;
    default: return k16;
    }
}

LRenderAPICLBK::LRenderAPICLBK(L3DWorld* world, LAPICLBK* driver) : world(world), driver(driver) {
    device = driver ? driver->firstDevice : nullptr;
    mode = device && device->currentDriver ? device->currentDriver->firstMode : nullptr;
}

LRenderAPICLBK::~LRenderAPICLBK() { L3DGrid::Destroy(grid); }

LDriverLink* LRenderAPICLBK::GetDriverLink() const { return driver; }

int32_t LRenderAPICLBK::ProbeScreenDepth() const { return probeDesktop == 1 ? desktopDepthProbe() : 16; }

int32_t LRenderAPICLBK::SetMode(int32_t, int32_t, int32_t, int32_t) { return 31; }

void LRenderAPICLBK::TellCameraSize() {
    camera->SetViewSize(width, height);
    camera->SetHalfSize(float(width) / 2.0f, float(height) / 2.0f);
}

void LRenderAPICLBK::TellWorldDepth() {
    if (world) world->SetColourDepth(depth);
}

int32_t LRenderAPICLBK::SetupMode(int32_t newWidth, int32_t newHeight, uint32_t newFlags, int32_t newDepth,
                                  uint32_t newClearColor, void* newWindow) {
    window = newWindow;
    flags = newFlags;
    // Script sizes reach here unchecked: none without pixels or beyond 16 bits
    // per side is ever taken (the pixel products below could not wrap, but a
    // target of such a size could not be made either).
    if (!ValidSize(newWidth, newHeight)) return 17;
    const bool windowed = (newFlags & kWindowed) != 0;
    const int32_t kind = windowed ? LAPICLBK::kWindowed : LAPICLBK::kFullScreen;
    LDriverRecord* record = device ? device->currentDriver : nullptr;

    int32_t wanted = newDepth;
    if (windowed && !(newFlags & kFixedDepth)) {
        wanted = ProbeScreenDepth();
        if (LAPICLBK::CheckDepth(record, kind, wanted) != 0) {
            for (const int32_t* d = DepthFallbackList(wanted); *d; ++d) {
                if (LAPICLBK::CheckDepth(record, kind, *d) == 0) {
                    wanted = *d;
                    break;
                }
            }
        }
    }
    depth = uint8_t(wanted);
    width = newWidth;
    height = newHeight;
    clearColor = newClearColor;
    rowBytes = rowStep = 0;

    if (states == kStatesUnset) {
        states = 0;
        for (uint32_t bit : {2u, 4u, 8u, 0x200u}) EnableState(bit);
        DisableState(0x20);
    }

    int32_t code = 0;
    if (!(newFlags & kFixedDepth)) {
        code = LAPICLBK::FindModeForSize(record, width, height, depth);
        if (code != 0 && !keepDriver && device) {
            const auto fits = [&](const LDriverRecord* r, int32_t d) {
                return (windowed || LAPICLBK::FindModeForSize(r, width, height, d) == 0) &&
                       LAPICLBK::CheckDepth(r, kind, d) == 0;
            };
            LDriverRecord* found = nullptr;
            int32_t foundDepth = depth;
            for (LDriverRecord* r = device->firstDriver; r && !found; r = r->next)
                if (fits(r, depth)) found = r;
            for (const int32_t* d = DepthFallbackList(depth); *d && !found; ++d) {
                for (LDriverRecord* r = device->firstDriver; r && !found; r = r->next) {
                    if (fits(r, *d)) {
                        found = r;
                        foundDepth = *d;
                    }
                }
            }
            if (found) {
                device->currentDriver = found;
                depth = uint8_t(foundDepth);
                code = 0;
            }
        }
    }

    if (!windowed && code != 0) return code;
    const int32_t result = Init();
    if (result == 0) {
        if (camera) TellCameraSize();
        TellWorldDepth();
        SetViewRect(-1, -1, -1, -1, -1);
    }
    return result;
}

void LRenderAPICLBK::SetViewRect(int32_t left, int32_t bottom, int32_t top, int32_t right, int32_t newViewDepth) {
    viewLeft = left == -1 ? 0 : left;
    viewBottom = bottom == -1 ? height : bottom;
    viewTop = top == -1 ? 0 : top;
    viewRight = right == -1 ? width : right;
    viewDepth = newViewDepth == -1 ? 0x10000 : newViewDepth;
    if (!camera) return;
    camera->SetFarDistance(float(viewDepth));
    camera->SetViewRect(viewLeft, viewBottom, viewTop, viewRight);
}

int32_t LRenderAPICLBK::SetCamera(LCameraLink* newCamera) {
    if (camera) camera->SetRenderTarget(nullptr);
    camera = newCamera;
    if (!camera) return 4;
    camera->SetRenderTarget(this);
    TellCameraSize();
    TellWorldDepth();
    viewDepth = int32_t(camera->GetFarDistance());
    camera->SetViewRect(viewLeft, viewBottom, viewTop, viewRight);
    return 0;
}

// The camera's back pointer goes too, so that a camera that outlives its
// target never names it.
void LRenderAPICLBK::DetachCamera() {
    if (camera) camera->SetRenderTarget(nullptr);
    camera = nullptr;
}

void LRenderAPICLBK::DrawGridFor(LCameraLink* target) {
    if (grid) grid->Draw(dynamic_cast<LCameraView*>(target));
}

namespace {

// The mode after (or before) `from` with exactly this depth, or null.
LModeRecord* StepMode(LModeRecord* from, int32_t depth, bool forward) {
    for (LModeRecord* m = forward ? from->next : from->previous; m; m = forward ? m->next : m->previous)
        if (m->depth == depth) return m;
    return nullptr;
}

}  // namespace

static int32_t StepAndSet(LRenderAPICLBK& target, bool forward) {
    if (target.flags & LRenderAPICLBK::kExternalSurface) return 32;
    if (!target.device) return 33;
    LModeRecord* found;
    if (target.flags & LRenderAPICLBK::kWindowed) {
        LDriverRecord* record = target.device->currentDriver;
        found = LAPICLBK::FindClosestMode({target.width, target.height}, target.device, record, target.mode,
                                          target.depth);
        if (!found && record) {
            for (LModeRecord* m = record->firstMode; m && !found; m = m->next)
                if (m->depth == target.depth) found = m;
        }
    } else {
        found = target.mode ? StepMode(target.mode, target.depth, forward) : nullptr;
        if (found) target.mode = found;
    }
    if (!found) return 33;
    target.width = found->width;
    target.height = found->height;
    return target.SetMode(int32_t(target.flags), target.width, target.height, LRenderAPICLBK::kKeep);
}

int32_t LRenderAPICLBK::NextMode() { return StepAndSet(*this, true); }

int32_t LRenderAPICLBK::PreviousMode() { return StepAndSet(*this, false); }

int32_t LRenderAPICLBK::ResetMode(int32_t windowed) {
    const uint32_t newFlags = (windowed ? kWindowed : kFullScreen) | (flags & (kStatistics | kClearEachFrame | kDepthBuffer));
    if (mode) {
        depth = uint8_t(mode->depth);
        TellWorldDepth();
        return SetMode(int32_t(newFlags), mode->width, mode->height, kKeep);
    }
    depth = uint8_t(ProbeScreenDepth());
    TellWorldDepth();
    return SetMode(int32_t(newFlags), width, height, kKeep);
}

void LRenderAPICLBK::SetDevice(LDeviceRecord* newDevice, int32_t windowed, int32_t apply) {
    device = newDevice;
    if (apply) ResetMode(windowed);
}

void LRenderAPICLBK::EnableState(uint32_t bit) {
    if (!QueryCapability(bit)) return;
    states |= bit;
    if ((states & kStateExclusive) && bit == kStateModulate)
        states &= ~uint32_t(kStateExclusive);
    else if ((states & kStateModulate) && bit == kStateExclusive)
        states &= ~uint32_t(kStateModulate);
}

void LRenderAPICLBK::ShowGridAxes(uint32_t bits) {
    bits &= L3DGrid::kAxisX | L3DGrid::kAxisY | L3DGrid::kAxisZ;
    if (!bits || !world) return;
    if (!grid) grid = L3DGrid::Create(world);
    grid->ShowAxes(bits);
}

void LRenderAPICLBK::HideGridAxes(uint32_t bits) {
    if (!grid) return;
    grid->HideAxes(bits);
    if (!grid->AreAxesShown(L3DGrid::kAxisX) && !grid->AreAxesShown(L3DGrid::kAxisY) &&
        !grid->AreAxesShown(L3DGrid::kAxisZ)) {
        L3DGrid::Destroy(grid);
        grid = nullptr;
    }
}

void LRenderAPICLBK::FrameStatistics(char* text, int32_t size, int32_t extended, int32_t polygons, int32_t hardware) {
    if (text && size >= 64) {
        // Formatted to the buffer's size: six numbers can need 71 characters.
        if (extended)
            std::snprintf(text, size_t(size), "%d*%d*%d %d %d %d", width, height, int(depth), lastWindowFrames,
                          polygons, hardware);
        else
            std::snprintf(text, size_t(size), "%d*%d*%d %d", width, height, int(depth), lastWindowFrames);
    }
    const uint32_t now = clock();
    frameTime = now - lastTime;
    thisTime = lastTime = now;
    windowTime += frameTime;
    ++windowFrames;
    if (windowTime > 10000) {
        lastWindowFrames = windowFrames;
        windowFrames = 0;
        windowTime = 0;
    }
}

int32_t LRenderAPICLBK::SetFullScreenMode(int32_t newWidth, int32_t newHeight, int32_t newDepth) {
    return SetMode(int32_t(kFullScreen | (flags & (kStatistics | kDepthBuffer | kClearEachFrame))), newWidth,
                   newHeight, newDepth);
}

int32_t LRenderAPICLBK::SetWindowedSize(int32_t newWidth, int32_t newHeight) {
    return SetMode(int32_t(kWindowed | (flags & (kStatistics | kDepthBuffer | kClearEachFrame))), newWidth, newHeight,
                   kKeep);
}
