#include "engine3d/texture.h"

#include "engine3d/material.h"
#include "engine3d/name_text.h"
#include "engine3d/render_link.h"
#include "engine3d/texture_list.h"
#include "engine3d/world.h"
#include "graphics2d/colour_match.h"
#include "runtime/base/sys_utils.h"

#include <cstring>

int32_t BytesPerPixel(int32_t bitsPerPixel) {
    switch (bitsPerPixel) {
    case 8: return 1;
    case 15:
    case 16: return 2;
    case 24: return 3;
    case 32: return 4;
    default: return 0;
    }
}

int64_t TexturePitch(int64_t width, int32_t bitsPerPixel) {
    const int64_t pitch = (width * ((bitsPerPixel + 7) / 8) + 3) & ~int64_t(3);
    return width < 0 || pitch > LTexture::kMaxBufferBytes ? -1 : pitch;
}

namespace {

// The smallest power of two at or above v, at least 2.
int64_t PowerOfTwoAtLeast(int64_t v) {
    int64_t p = 2;
    while (p < v) p <<= 1;
    return p;
}

int64_t Clamp(int64_t v, int64_t low, int64_t high) { return v < low ? low : (v > high ? high : v); }

// The 16.16 step of one axis, rounded up so that the last source pixel still
// reaches the last destination pixel (a truncated step leaves it unwritten).
uint32_t StepOf(int32_t dest, int32_t source) {
    return uint32_t(((uint64_t(dest) << 16) + uint64_t(source) - 1) / uint64_t(source));
}

}  // namespace

// Per axis the accumulator grows by the step for every source pixel (row);
// each time it reaches 65536 a destination pixel (row) is emitted from the
// current source pixel and 65536 taken off, so shrinking drops and enlarging
// repeats source pixels.
void BuildScaledImage(uint8_t* dest, int32_t destWidth, int32_t destHeight, int32_t destPitch, const uint8_t* source,
                      int32_t sourceWidth, int32_t sourceHeight, int32_t sourcePitch, int32_t bitsPerPixel) {
    const int32_t bytes = BytesPerPixel(bitsPerPixel);
    if (destWidth <= 0 || destHeight <= 0 || sourceWidth <= 0 || sourceHeight <= 0 || !bytes || !dest || !source) return;
    const uint32_t stepX = StepOf(destWidth, sourceWidth), stepY = StepOf(destHeight, sourceHeight);
    uint64_t accY = 0;
    int32_t dy = 0;
    for (int32_t sy = 0; sy < sourceHeight && dy < destHeight; ++sy) {
        accY += stepY;
        if (accY < 65536) continue;
        uint8_t* first = dest + int64_t(dy) * destPitch;
        const uint8_t* row = source + int64_t(sy) * sourcePitch;
        uint64_t accX = 0;
        int32_t dx = 0;
        for (int32_t sx = 0; sx < sourceWidth && dx < destWidth; ++sx) {
            for (accX += stepX; accX >= 65536 && dx < destWidth; accX -= 65536, ++dx)
                std::memcpy(first + int64_t(dx) * bytes, row + int64_t(sx) * bytes, size_t(bytes));
        }
        for (accY -= 65536, ++dy; accY >= 65536 && dy < destHeight; accY -= 65536, ++dy)
            std::memcpy(dest + int64_t(dy) * destPitch, first, size_t(destWidth) * size_t(bytes));
    }
}

LTexture::LTexture(L3DWorld* world, const char* name, LCLBKObject* callback)
    : LManageCLBKObject(callback), m_id(world ? world->GetTextureList().GetCount() + 1 : 1), m_world(world) {
    CopyBounded(m_name, sizeof m_name, name);
}

LTexture::~LTexture() { FreeBuffers(); }

void LTexture::FreeBuffers() {
    if (m_ownsPixels) {
        FreeAndNull(&m_pixels);
        FreeAndNull(&m_mask);
    }
    m_pixels = nullptr;
    m_mask = nullptr;
}

int32_t LTexture::CheckColourDepth() {
    const LDeviceImage* device = GetDeviceImage();
    const int32_t depth = device ? device->GetBitsPerPixel() : m_bitsPerPixel;
    if (depth) return depth;
    return m_world ? m_world->GetColourDepth() : 16;
}

int32_t LTexture::SetPixels(uint8_t* pixels, int32_t pitch, uint8_t* mask, int32_t maskPitch, int32_t width,
                            int32_t height, int32_t owns, int32_t bitsPerPixel, const PaletteEntry* /*palette*/) {
    FreeBuffers();
    const int32_t bytes = BytesPerPixel(bitsPerPixel);
    // The source must hold its rows: a pitch short of the width would make
    // the resampler read past the buffer.
    const bool valid = pixels && bytes && width > 0 && height > 0 && int64_t(pitch) >= int64_t(width) * bytes &&
                       int64_t(pitch) * height <= kMaxBufferBytes && (!mask || maskPitch >= width) &&
                       int64_t(maskPitch) * height <= kMaxBufferBytes;
    m_pixels = pixels;
    m_mask = mask;
    m_ownsPixels = owns;
    if (!valid) {
        FreeBuffers();
        m_pitch = m_width = m_height = m_sourcePitch = m_sourceWidth = m_sourceHeight = 0;
        return kNoPixels;
    }
    m_maskPitch = mask ? maskPitch : 0;
    m_bitsPerPixel = bitsPerPixel;
    m_pitch = m_sourcePitch = pitch;
    m_width = pitch / bytes;
    m_height = m_sourceHeight = height;
    m_sourceWidth = width;
    if (FitToDevice(nullptr) != 0) {
        FreeBuffers();
        m_pitch = m_width = m_height = m_sourcePitch = m_sourceWidth = m_sourceHeight = 0;
        return kNoPixels;
    }
    return 0;
}

int32_t LTexture::FitToDevice(const LDeviceImage* device) {
    if (!m_pixels || m_sourceWidth <= 0 || m_sourceHeight <= 0) return kNoPixels;
    int32_t minW = 0, minH = 0, maxW = 0x7FFFFFFF, maxH = 0x7FFFFFFF;
    if (device) device->GetLimits(&minW, &minH, &maxW, &maxH);
    const int64_t w = PowerOfTwoAtLeast(Clamp(m_sourceWidth, minW, maxW));
    const int64_t h = PowerOfTwoAtLeast(Clamp(m_sourceHeight, minH, maxH));
    // Unchanged only when the stored image is exactly the source image: a
    // padded row (pitch wider than the width) must not keep its padding as
    // texels.
    if (w == m_width && h == m_height && m_sourceWidth == w && m_sourceHeight == h) return 0;
    const int64_t pitch = TexturePitch(w, m_bitsPerPixel);
    if (pitch < 0 || pitch * h > kMaxBufferBytes || (m_mask && w * h > kMaxBufferBytes)) return kNoPixels;
    uint8_t* pixels = nullptr;
    uint8_t* mask = nullptr;
    if (!CallocRetry(size_t(pitch * h), &pixels)) return kNoPixels;
    if (m_mask && !CallocRetry(size_t(w * h), &mask)) {
        FreeAndNull(&pixels);
        return kNoPixels;
    }
    BuildScaledImage(pixels, int32_t(w), int32_t(h), int32_t(pitch), m_pixels, m_sourceWidth, m_sourceHeight,
                     m_sourcePitch, m_bitsPerPixel);
    if (mask)
        BuildScaledImage(mask, int32_t(w), int32_t(h), int32_t(w), m_mask, m_sourceWidth, m_sourceHeight, m_maskPitch,
                         8);
    FreeBuffers();
    m_pixels = pixels;
    m_mask = mask;
    m_maskPitch = mask ? int32_t(w) : 0;
    m_ownsPixels = 1;
    m_pitch = m_sourcePitch = int32_t(pitch);
    m_width = m_sourceWidth = int32_t(w);
    m_height = m_sourceHeight = int32_t(h);
    return 0;
}

int32_t LTexture::CopyPixels(uint8_t* buffer, int32_t pitch, int32_t rows) const {
    if (!m_pixels) return kNoPixels;
    if (!buffer || pitch <= 0 || rows <= 0) return 0;
    const int32_t n = rows < m_height ? rows : m_height;
    if (pitch == m_pitch) {
        std::memcpy(buffer, m_pixels, size_t(pitch) * size_t(n));
        return 0;
    }
    const size_t row = size_t(pitch < m_pitch ? pitch : m_pitch);
    for (int32_t y = 0; y < n; ++y) std::memcpy(buffer + int64_t(y) * pitch, m_pixels + int64_t(y) * m_pitch, row);
    return 0;
}

void LTexture::SetTransparentColor(int32_t on, uint32_t colour) {
    if (!on) {
        m_flags &= ~uint32_t(kColourKey);
        return;
    }
    m_flags |= kColourKey;
    m_transparentColour = colour;
    if (m_bitsPerPixel == 8 && m_world && m_world->GetPalette())
        m_transparentIndex = GetNearestPaletteIndex(m_world->GetPalette(), colour);
}

void LTexture::NotifyMaterials() {
    if (m_world) m_world->GetMaterialList().TextureChanged(this);
}

void LTexture::SetTranslucency(uint8_t value) {
    if (value == m_translucency) return;
    m_translucency = value;
    Reload();
}

void LTexture::Reload() {
    ReleaseDevice();
    if (m_world)
        m_world->GetTextureList().LoadTextureImage(this, m_fileName);
    else
        NotifyMaterials();
}

void LTexture::SetTiling(float u, float v) {
    m_tiling[0] = u;
    m_tiling[1] = v;
    NotifyMaterials();
}

void LTexture::GetTiling(float* u, float* v) const {
    if (u) *u = m_tiling[0];
    if (v) *v = m_tiling[1];
}

void LTexture::SetOffset(float u, float v) {
    m_offset[0] = u;
    m_offset[1] = v;
    NotifyMaterials();
}

void LTexture::GetOffset(float* u, float* v) const {
    if (u) *u = m_offset[0];
    if (v) *v = m_offset[1];
}

void LTexture::SetModeFlag(int32_t on) {
    if (on)
        m_flags |= kEnvMapped;
    else
        m_flags &= ~uint32_t(kEnvMapped);
    NotifyMaterials();
}

void LTexture::GetName(char* buffer, int32_t size) const { CopyBounded(buffer, size, m_name); }
void LTexture::SetName(const char* name) { CopyBounded(m_name, sizeof m_name, name); }
void LTexture::GetFileName(char* buffer, int32_t size) const { CopyBounded(buffer, size, m_fileName); }
void LTexture::SetFileName(const char* path) { CopyBounded(m_fileName, sizeof m_fileName, path); }

int32_t LTexture::NeedsBlending() const {
    return (m_flags & kColourKey) || m_translucency < 255 || m_mask ? 1 : 0;
}

int32_t LTexture::BindCamera(L3DCamera* camera, int32_t width, int32_t height, int32_t bitsPerPixel) {
    ReleaseDevice();
    FreeBuffers();
    m_pitch = m_width = m_height = m_sourcePitch = m_sourceWidth = m_sourceHeight = 0;
    const int64_t pitch = TexturePitch(width, bitsPerPixel);
    if (width <= 0 || height <= 0 || !BytesPerPixel(bitsPerPixel) || pitch < 0 || pitch * height > kMaxBufferBytes)
        return kNoPixels;
    m_ownsPixels = 1;
    if (!CallocRetry(size_t(pitch * height), &m_pixels)) return kNoPixels;
    m_bitsPerPixel = bitsPerPixel;
    m_pitch = m_sourcePitch = int32_t(pitch);
    m_width = m_sourceWidth = width;
    m_height = m_sourceHeight = height;
    m_camera = camera;
    if (m_world && m_world->GetRenderTarget()) {
        m_device = m_world->GetRenderTarget()->CreateCameraImage(this, camera);
        if (m_device) m_device->SetCamera(camera);
    }
    return 0;
}
