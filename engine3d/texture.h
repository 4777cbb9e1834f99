#pragma once
// LTexture: one image used by materials, sprites and the background. It holds
// its name and file name, the pixels (each row padded to 4 bytes) and an
// optional 8-bit alpha mask in the engine's layout, the colour key and
// translucency, tiling and offset, and the back end's device image. Pixel
// formats: 8-bit palette index; 15 bits red 10-14, green 5-9, blue 0-4; 16
// bits red 11-15, green 5-10, blue 0-4; 24 bits blue, green, red; 32 bits
// blue, green, red and a fourth byte.
//
// Stored pixels are always a power of two wide and high (at least 2, within
// the device image's limits): SetPixels resamples the image when it is not.
// Buffers come from the retrying allocators; an image whose stored buffer
// would pass kMaxBufferBytes is refused.
#include "engine3d/manage_clbk.h"
#include "runtime/package/shared_palette.h"

#include <cstdint>

class L3DWorld;
class L3DCamera;

// The back end's image of a texture: its size limits and depth.
class LDeviceImage {
public:
    virtual ~LDeviceImage() = default;
    virtual void GetLimits(int32_t* minWidth, int32_t* minHeight, int32_t* maxWidth, int32_t* maxHeight) const = 0;
    virtual int32_t GetBitsPerPixel() const = 0;
    // Render-to-texture: the camera whose view the image shows.
    virtual void SetCamera(L3DCamera* /*camera*/) {}
};

// Nearest-pixel resampling with 16.16 fixed-point steps (see texture.cpp).
// Pixels of 1 (8 bits), 2 (15, 16), 3 or 4 bytes; nothing when a size is 0.
void BuildScaledImage(uint8_t* dest, int32_t destWidth, int32_t destHeight, int32_t destPitch, const uint8_t* source,
                      int32_t sourceWidth, int32_t sourceHeight, int32_t sourcePitch, int32_t bitsPerPixel);

// Bytes of one pixel at a depth (0 for a depth that is none of the five).
int32_t BytesPerPixel(int32_t bitsPerPixel);
// Row pitch of w pixels at a depth, padded to 4 bytes; -1 when it passes the
// buffer bound.
int64_t TexturePitch(int64_t width, int32_t bitsPerPixel);

class LTexture : public LManageCLBKObject {
public:
    enum : uint32_t { kColourKey = 0x80, kEnvMapped = 0x200000 };
    enum : int32_t { kNoPixels = 2 };
    static constexpr int64_t kMaxBufferBytes = int64_t(256) << 20;

    // The texture's own loader, run by the texture list instead of the image
    // file when set (the script texture's rebuild): 1 when it filled the pixels.
    using UpdateCallback = int32_t (*)(LTexture* texture);

    LTexture(L3DWorld* world, const char* name, LCLBKObject* callback);
    ~LTexture() override;

    // The device image; the base has none.
    virtual LDeviceImage* GetDeviceImage() const { return m_device; }
    // The depth textures are made at: the device image's, else the texture's
    // own, else the world's colour depth.
    virtual int32_t CheckColourDepth();
    // Frees the owned buffers, takes the new ones (pitch x height pixels,
    // maskPitch x height mask bytes) and fits them to the device (no device).
    // 0 on success; 2 when the geometry is invalid or a buffer cannot be made:
    // the texture then holds no pixels and the given owned buffers are freed.
    virtual int32_t SetPixels(uint8_t* pixels, int32_t pitch, uint8_t* mask, int32_t maskPitch, int32_t width,
                              int32_t height, int32_t owns, int32_t bitsPerPixel, const PaletteEntry* palette);
    virtual uint8_t* GetMask() const { return m_mask; }
    virtual void SetTransparentColor(int32_t on, uint32_t colour);
    // Release of the device data: empty in the base.
    virtual void ReleaseDevice() {}
    // Render-to-texture: a fresh zeroed buffer of the size, owned; 0, or 2
    // when it cannot be made.
    virtual int32_t BindCamera(L3DCamera* camera, int32_t width, int32_t height, int32_t bitsPerPixel);

    // Resamples to power-of-two sizes within the device's limits; 0, or 2
    // when the new buffers cannot be made (the old ones are then kept).
    int32_t FitToDevice(const LDeviceImage* device);
    // Copies min(height, rows) rows into a caller buffer of that pitch; 2
    // without pixels.
    int32_t CopyPixels(uint8_t* buffer, int32_t pitch, int32_t rows) const;

    uint8_t GetTranslucency() const { return m_translucency; }
    void SetTranslucency(uint8_t value);
    void SetTiling(float u, float v);
    void GetTiling(float* u, float* v) const;
    void SetOffset(float u, float v);
    void GetOffset(float* u, float* v) const;
    void SetModeFlag(int32_t on);
    void GetName(char* buffer, int32_t size) const;
    void SetName(const char* name);
    void GetFileName(char* buffer, int32_t size) const;
    void SetFileName(const char* path);
    const char* GetNameText() const { return m_name; }
    const char* GetFileNameText() const { return m_fileName; }
    void Reload();

    // 1 when drawing must blend: a colour key, a translucency below 255 or
    // an alpha mask.
    int32_t NeedsBlending() const;
    uint32_t GetFlags() const { return m_flags; }
    uint32_t GetTransparentColor() const { return m_transparentColour; }
    uint8_t GetTransparentIndex() const { return m_transparentIndex; }
    uint8_t* GetPixels() const { return m_pixels; }
    int32_t GetPitch() const { return m_pitch; }
    int32_t GetWidth() const { return m_width; }
    int32_t GetHeight() const { return m_height; }
    int32_t GetSourceWidth() const { return m_sourceWidth; }
    int32_t GetSourceHeight() const { return m_sourceHeight; }
    int32_t GetMaskPitch() const { return m_maskPitch; }
    int32_t GetBitsPerPixel() const { return m_bitsPerPixel; }
    int32_t GetId() const { return m_id; }
    L3DCamera* GetCamera() const { return m_camera; }
    L3DWorld* GetWorld() const { return m_world; }
    uint8_t GetAutoDelete() const { return m_autoDelete; }
    void SetAutoDelete(uint8_t on) { m_autoDelete = on; }

    UpdateCallback updateCallback = nullptr;

protected:
    LDeviceImage* m_device = nullptr;

private:
    void FreeBuffers();
    void NotifyMaterials();

    uint8_t m_translucency = 255;
    uint8_t m_transparentIndex = 0;
    uint8_t m_autoDelete = 0;
    uint32_t m_flags = 0;
    uint32_t m_transparentColour = 0;
    uint8_t* m_pixels = nullptr;
    uint8_t* m_mask = nullptr;
    int32_t m_maskPitch = 0;
    int32_t m_id;
    int32_t m_pitch = 0, m_width = 0, m_height = 0;
    int32_t m_sourcePitch = 0, m_sourceWidth = 0, m_sourceHeight = 0;
    float m_tiling[2] = {1.0f, 1.0f};
    float m_offset[2] = {0.0f, 0.0f};
    char m_fileName[260] = {};
    char m_name[256] = {};
    int32_t m_ownsPixels = 1;
    int32_t m_bitsPerPixel = 0;
    L3DCamera* m_camera = nullptr;
    L3DWorld* m_world;
};
