#pragma once
// Blobs: billboards. An L3DBlob (kind 16388) is a width x height rectangle
// of two triangles in its own material that turns to face the rendering
// camera every frame about the axes its axis flags allow (0x2 x, 0x4 y,
// 0x8 z; 4 at creation: upright). Points (hw = width / 2, hh = height / 2):
// 0 (-hw, -hh) uv (0, 0), 1 (-hw, hh) (0, 1), 2 (hw, hh) (1, 1), 3 (hw, -hh)
// (1, 0); triangles (3, 1, 0) and (2, 1, 3). Blobs collide with each other
// and with the world's objects like any object.
//
// Saved form: chunk "BBLO": u16 savable blobs, then per blob u16 width, u16
// height, u8 the material's transparency, the name (u16 length and bytes),
// u16 the material's position in the world's material list, the location
// chunk and a chunk "BLOB" with the axis flags byte.
#include "engine3d/data_link.h"
#include "engine3d/object.h"
#include "engine3d/retry_new.h"

#include <cstdint>

class L3DCamera;
class LChunkStream;
class LMaterial;

class L3DBlob : public L3DObject, public LRetryNew {
public:
    enum : uint32_t { kKindBlob = 16388 };
    enum : uint8_t { kAxisX = 0x2, kAxisY = 0x4, kAxisZ = 0x8 };

    L3DBlob(const char* name, L3DWorld* world, LCLBKObject* callback);

    // -99999 keeps a size; a material already in use changes nothing.
    void Build(int32_t width, int32_t height, LMaterial* material);
    int32_t GetWidth() const { return m_width; }
    int32_t GetHeight() const { return m_height; }
    uint8_t GetAxisFlags() const { return m_axes; }
    void SetAxisFlags(uint8_t flags) { m_axes = flags; }
    LMaterial* GetMaterial() const;

    void Show() override;
    void SaveObject(LChunkStream& out, uint32_t saveFlags) override;

private:
    int32_t m_width = 0;
    int32_t m_height = 0;
    uint8_t m_axes = kAxisY;
};

class LBase3DBlob {
public:
    enum : int32_t { kAbsent = 11 };

    LBase3DBlob() = default;
    LBase3DBlob(const LBase3DBlob&) = delete;
    LBase3DBlob& operator=(const LBase3DBlob&) = delete;
    virtual ~LBase3DBlob() { DeleteBlobAt(-1); }

    void SetWorld(L3DWorld* world) { m_world = world; }
    L3DWorld* GetWorld() const { return m_world; }
    // Null when the blob cannot be allocated.
    L3DBlob* AddBlob(const L3DLocation* location, const char* name, int32_t width, int32_t height,
                     LMaterial* material, LCLBKObject* callback);
    // One reference less; the blob goes with its node. -1 deletes all.
    int32_t DeleteBlobAt(int32_t index);
    int32_t DeleteBlob(L3DBlob* blob);
    L3DBlob* GetAt(int32_t index) { return static_cast<L3DBlob*>(m_blobs.GetValueAt(index)); }
    int32_t GetCount() const { return m_blobs.GetCount(); }
    LDataLink& GetBlobs() { return m_blobs; }
    // The frame pass: face the camera, collide, draw.
    void UpdateBlobs(L3DCamera* camera, LDataLink* objects);
    void HitTestBlobs(L3DCamera* camera, const float* point, const float* radius, L3DObject** out);
    int32_t SaveBlobs(LChunkStream& out);
    int32_t GetShowFlag() const { return m_show; }
    void SetShowFlag(int32_t on) { m_show = on; }

private:
    LDataLink m_blobs;
    L3DWorld* m_world = nullptr;
    int32_t m_show = 1;
};
