#pragma once
// L3DOctreeNode (kind 0x20002): part of a large static mesh (a level) inside
// an axis-aligned box. AddMesh moves a mesh's polygons into the node; once a
// node would hold 2000 polygons or more it splits into eight children and
// hands the polygons down, clipping those that straddle child boxes and fan
// triangulating the pieces. A child left above 2000 splits itself in turn,
// down to kMaxDepth levels below the root, where a node keeps what it gets
// (coincident or very dense polygons would otherwise split without end).
// A child also re-splits only when at least one polygon came to it whole (a
// child filled with clipped pieces of coincident or overlapping polygons
// that span it would get them back as pieces at every level) and while the
// tree's clipping budget lasts (each mesh added grants 2 pieces per polygon
// plus 4096): splitting never multiplies the work beyond a bound linear in
// the input.
//
// Children: none or eight, child i spanning the lower or upper half of each
// axis by its bits 1 (x), 4 (y) and 2 (z); each named " <parent>-<i>", cut
// at 255 characters. A point belongs to the first child whose box holds it
// (boxes are closed: a point on a shared face goes to the lower child).
//
// Polygons are triangles or quads; every vertex of either is carried through
// copying, containment, centres and clipping. A polygon with a vertex that is
// not finite lies in no child and stays with its source.
//
// Saved form: chunk "OCTR": the min corner, the max corner (three floats
// each), then the general object record ("OB3D"); only for a node with the
// saved-with-the-scene bit.
#include "engine3d/ground_grid.h"
#include "engine3d/object.h"

#include <cstdint>

class LChunkStream;
class LMaterial;
class LPointerIndex;

class L3DOctreeNode : public L3DObject {
public:
    enum : uint32_t { kKindOctree = 0x20002 };
    enum : int32_t { kMaxPolygons = 2000, kMaxDepth = 16, kMaxNameLength = 255 };
    // The planes, in the order of the data: x = min, x = max, y = max,
    // y = min, z = min, z = max.
    enum : int32_t { kXLow, kXHigh, kYHigh, kYLow, kZLow, kZHigh };
    // OutCode bits.
    enum : uint32_t { kOutYHigh = 2, kOutYLow = 4, kOutXLow = 8, kOutXHigh = 16, kOutZHigh = 32, kOutZLow = 64 };
    enum : int32_t { kInside = 2, kCrossing = 4, kOutside = 8 };
    static constexpr float kNoGround = 9999999.0f;
    // The mark of a clipping's temporary vertices (in their world position).
    static constexpr float kTemporaryMark = 1974.0f;
    // Room for a quad clipped by six planes.
    static constexpr int32_t kMaxClipVertices = 10;
    enum : int32_t { kHandedSlots = 16, kHandedChild = 15 };

    L3DOctreeNode(const float* low, const float* high, L3DWorld* world, L3DOctreeNode* parent);
    ~L3DOctreeNode() override;

    // Moves the source's polygons into this node or its descendants (the
    // source may be any object, or this node itself).
    void AddMesh(L3DObject* source);
    void Split();
    void ComputeBounds();
    void ComputePlanes();
    int32_t ContainsPoint(const float* point) const;
    int32_t ClassifySphere(const float* centre, float radius) const;
    int32_t TouchesPolygon(const LPolygon* polygon) const;
    uint32_t OutCode(L3DPoint* const* vertices, int32_t count) const;
    void Redistribute(int32_t force);
    // Distance down to the nearest upward-facing polygon under the point;
    // kNoGround when none (or when the point is not finite in x and z).
    float GroundDistance(const float* point) const;
    // Appends every node of the tree with polygons whose box overlaps
    // [low, high]; stops at capacity. The new count.
    int32_t CollectNodes(L3DObject** out, int32_t capacity, int32_t count, const float* low, const float* high);
    void MoveBy(float dx, float dy, float dz, float dax, float day, float daz);

    void UpdateTransform(LCameraView* camera) override;
    void Render(LCameraView* camera) override;
    void DrawFrame(LCameraView* camera) override;
    void SaveObject(LChunkStream& out, uint32_t saveFlags) override;
    // The box stays the node's own (never the extent of its polygons).
    void RefreshBox(int32_t refresh) override;

    const float* GetMin() const { return m_min; }
    const float* GetMax() const { return m_max; }
    const float* GetCentre() const { return m_centre; }
    float GetRadius() const { return m_radius; }
    const float* GetPlane(int32_t i) const { return m_planes[i]; }
    int32_t GetDepth() const { return m_depth; }
    // Child i (0..7), null without children.
    L3DOctreeNode* GetChild(int32_t i) const;

private:
    void PlaceBox();
    // The camera's box test for this node and its subtree; `known` is the
    // answer already implied by an ancestor's box (0: test this box).
    void Cull(const LCameraView& camera, int32_t known);
    void ReleaseMaterialLinks();
    void AbsorbAll(L3DObject* source);
    // Moves a polygon whole into child `childIndex`. With `handed` (a node
    // splitting itself) its vertices are handed over, not copied: the index
    // holds each handed vertex as (place in the child's list) x
    // kHandedSlots + child, and kHandedChild for one that must stay here.
    void MoveWhole(L3DObject* source, LPolygon* polygon, int32_t childIndex, LPointerIndex* handed);
    void SplitPolygon(L3DObject* source, LPolygon* polygon);
    // Copies the vertices and fans them into triangles of the material;
    // `reuse`, when set, is taken as the first triangle. The count made.
    int32_t AddPiece(LMaterial* material, L3DPoint* const* vertices, int32_t count, LPolygon*& reuse);
    // The first child whose box holds the point (-1: none); `split` is where
    // the children meet (child 0's max corner).
    int32_t FirstChildHolding(const float* point, const float* split) const;
    L3DPoint* CopyVertex(const L3DPoint* from, int32_t use);
    // Appends the polygon; `refresh` recomputes its planes.
    void Take(LPolygon* polygon, bool refresh);
    static void TakeOut(L3DObject* source, LPolygon* polygon);

    float m_min[3], m_max[3];
    float m_centre[3] = {0, 0, 0};
    float m_radius = 0.0f;
    float m_planes[6][4] = {};
    int32_t m_depth = 0;
    int64_t m_piecesLeft = 0;  // the root's clipping budget
    mutable LGroundGrid m_ground;  // the node's own polygons by x-z cell, rebuilt after changes
};
