#pragma once
// Per-object material caches for the indexed drawing of the hardware back
// ends. An LCacheMaterial lists one material's triangles in one mesh frame,
// numbers their distinct vertices compactly (the number lives in the
// vertex's index field; kUnnumbered means none) and keeps an index array of
// three numbers per triangle that the render target draws in one call.
// LMaterialCacheList is a frame's list of caches, one per material.
//
// Numbers are 16-bit: a triangle that would need number 65535 is refused by
// AddTriangle, and its owner draws it polygon by polygon instead.
//
// Beside them: the little-endian record writers of the binary scene writer.
#include "engine3d/data_link.h"

#include <cstdint>

class COutStream;
class LCameraView;
class LMaterial;
class LPolygon;
class LPolygonOwner;
class L3DPoint;

// A back end's vertex array for one cache; the cache destroys it.
class LCacheVertexArray {
public:
    virtual ~LCacheVertexArray() = default;
};

// The material that the cluster code is projecting at the moment: its caches
// are neither rebuilt nor drawn. Null until the cluster code (issue 07) sets
// and clears it around its projection.
LMaterial* GetClusterProjectedMaterial();
void SetClusterProjectedMaterial(LMaterial* material);

class LCacheMaterial : public LDataLink {
public:
    enum : int32_t { kUnnumbered = 65535 };

    explicit LCacheMaterial(LMaterial* material);
    virtual ~LCacheMaterial();

    // 1 when the triangle was listed; 0 for a polygon that is not a triangle,
    // or one whose vertices would need the number kUnnumbered.
    virtual int32_t AddTriangle(LPolygon* polygon);
    // Unlists the polygon (nothing when it is not listed). A vertex that no
    // remaining triangle uses goes back to kUnnumbered.
    virtual void RemovePolygon(LPolygon* polygon);
    // Renumbers the vertices and makes the index array for the triangle
    // count, when dirty with at least one triangle and not for the world's
    // default shadow material. -1 when the index array could not be had: the
    // cache stays dirty, without an index array; else 0.
    virtual int32_t Rebuild(LCameraView* camera, LPolygonOwner* object);
    // The render target draws the cache when its index count is non-zero.
    virtual void Draw(LCameraView* camera, LPolygonOwner* object);

    // Fills the index array for this frame (see the .cpp).
    void BuildIndices(LCameraView* camera, LPolygonOwner* object, int32_t clip);

    const uint16_t* GetIndices() const { return m_indices; }
    int32_t GetIndexCount() const { return m_indexCount; }
    int32_t GetVertexCount() const { return m_vertexCount; }
    LMaterial* GetMaterial() const { return m_material; }
    int32_t IsDirty() const { return m_dirty; }
    // The next Rebuild renumbers (shading changes).
    void MarkDirty() { m_dirty = 1; }
    LCacheVertexArray* GetVertexArray() const { return m_vertexArray; }
    void SetVertexArray(LCacheVertexArray* array);

private:
    void Number(L3DPoint* point);
    bool UsedByListedTriangle(const L3DPoint* point) const;

    uint16_t* m_indices = nullptr;
    int32_t m_indexCount = 0;
    int32_t m_vertexCount = 0;
    LCacheVertexArray* m_vertexArray = nullptr;
    LMaterial* m_material;
    int32_t m_dirty = 1;
};

class LMaterialCacheList : public LDataLink {
public:
    LMaterialCacheList() = default;
    ~LMaterialCacheList();

    // The material's cache takes the triangle (a new cache is made when the
    // material has none). The cache's answer; 0 when nothing could be made.
    int32_t AddPolygon(LMaterial* material, LPolygon* polygon);
    // A cache left without triangles is destroyed.
    void RemovePolygon(LMaterial* material, LPolygon* polygon);
    // Destroys the cache at a position, or every cache for -1; a position
    // without a cache changes nothing.
    void DeleteAt(int32_t position);
    void RemoveMaterial(LMaterial* material);
    void MarkDirty();  // every cache
    LCacheMaterial* FindByMaterial(const LMaterial* material) const;
    void SetClip() { m_clip = 1; }
    void ClearClip() { m_clip = 0; }
    int32_t GetClip() const { return m_clip; }
    // Per frame: rebuild, build the indices and draw every cache.
    void Update(LCameraView* camera, LPolygonOwner* object);

private:
    void Destroy(LDataNode* node);

    int32_t m_clip = 0;
};

// Record writers of the binary scene format, little-endian through the
// stream's Write.
void WriteTriangleRecord(COutStream& out, const uint16_t indices[3], uint16_t materialPosition);
void WriteQuadRecord(COutStream& out, const uint16_t indices[4], uint16_t materialPosition);
void WritePairRecord(COutStream& out, uint32_t first, uint16_t second);
void WriteSixWords(COutStream& out, const uint32_t values[6]);
void WriteFourWords(COutStream& out, const uint32_t values[4]);
// u16 length and the characters, the byte, then six u16.
void WriteNamedRecord(COutStream& out, const char* name, uint8_t byte, const uint16_t values[6]);
// 48 raw bytes: a 3x4 float matrix.
void WriteMatrixRecord(COutStream& out, const float matrix[12]);
