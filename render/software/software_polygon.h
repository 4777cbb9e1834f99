#pragma once
// LPolygon_Software: the polygon of the software back ends. It carries no
// drawing code of its own: its material holds the span routine chosen for
// the target depth and render mode (draw slot, unclipped polygons) and
// DrawClipped or DrawClippedShaded (clipped-draw slot). The edge set-up
// routines fill the current renderer's row tables from the vertices being
// drawn: the polygon's own, or the clipped ones during DrawClipped.
//
// Set-up: screen y rounds to the nearest row (halves to even); the top row
// is the smallest, the count is largest minus smallest; a negative top or
// bottom, or a count of 0, gives 0 rows. The left table is filled walking
// forward from the top vertex to the bottom one, the right table forward
// from the bottom to the top. Per edge the upper end's row takes its values
// and each following row steps them (x in 16.16, depth in integers, floats in
// single precision); the lower end's row is the next edge's. Rows are cut
// at the target's last row and the depth buffer's, so a vertex that rounding
// puts below the target never reaches past the tables.
#include "engine3d/polygon.h"

#include <cstdint>

class LCameraView;
class LTexture;

class LPolygon_Software : public LPolygon {
public:
    enum : uint32_t { kOwnerGouraud = 0x10, kOwnerFlat = 0x20 };

    LPolygon_Software(LPolygonOwner* owner, int32_t reserved, void* callback);

    // The routine is chosen again whenever the material's texture pairs are
    // rewritten (a change of appearance).
    void TextureHook2() override { ChooseSpanRoutine(); }
    // Environment coordinates as the base computes them, then scaled to
    // texels: (|u| W, |v| H) with the size of the environment-mapped layer
    // (layer 0, else 1). Only for polygons of more than two vertices.
    void ComputeEnvironmentUV(int32_t flip) override;

    // Installs this polygon's routines in its material (see the .cpp).
    void ChooseSpanRoutine();
    // The entry of the depth's table for this polygon (0 to 10), or -1 for
    // the empty routine. Shifts negative texel coordinates like the choice.
    int32_t ChooseSpanEntry();
    // Texel coordinates of the layer-0 texture from the texture pairs: the
    // map u = s * scale[0] + offset[0], v = t * scale[1] + offset[1] (tiling,
    // offset and size of the texture, then whole texture sizes added until no
    // vertex is negative), and the mapped pairs in `texel`. The polygon's own
    // pairs stay texture-space, so a second computation gives the same.
    void ComputeTexCoords();
    float texel[4][2] = {};
    float texelScale[2] = {0, 0};
    float texelOffset[2] = {0, 0};
    // The render depth of the polygon's world, 0 without one.
    int32_t GetDepth() const;
    int32_t GetVertexCount() const { return count; }

    // Screen quads: textured, no depth test, no lighting, no outline.
    void FillQuad8();
    void FillQuad16();  // 15 and 16 bits
    void FillQuad24();
    void FillQuad32();

    // Sprites (sprite_blits.cpp): no depth test or write, no lighting; the
    // outline after the rows when the material has flag 2. Colour fills take
    // the material's colour over the column tables; blits the layer-0
    // texture over the quad set-up's 16.16 coordinates, wrapped with W - 1
    // and H - 1 (a texture scale above 1 reaches past the texture). Blends
    // use the material's transparency; keys the texture's transparent colour.
    void FillColor8();
    void FillColor16(int32_t depth);  // 15 or 16
    void FillColor24();
    void FillColor32();
    void FillColorBlend15();
    void FillColorBlend16();
    void FillColorBlend32();
    void BlitTexture8();
    void BlitTexture16(int32_t depth);
    void BlitTexture24();
    void BlitTexture32();
    void BlitTextureBlend15();
    void BlitTextureBlend16();
    void BlitTextureBlend32();
    void BlitTextureKeyed16(int32_t depth);
    void BlitTextureKeyed32();
    void BlitTextureKeyedBlend15();
    void BlitTextureKeyedBlend16();
    void BlitTextureKeyedBlend32();

    // Clip against the camera and run the material's span routine on the
    // clipped vertices; the result is their count.
    int32_t DrawClipped(LCameraView* camera);
    int32_t DrawClippedShaded(LCameraView* camera);

    // Edge set-up: the number of rows, the top row through `top`.
    int32_t SetupFlatEdges(int32_t* top);
    int32_t SetupQuadEdges(int32_t* top);
    int32_t SetupSolidEdges(int32_t* top);
    int32_t SetupTexturedEdges(int32_t* top);

    // The vertices being drawn.
    L3DPoint* const* DrawPoints() const { return m_drawPoints ? m_drawPoints : points; }
    int32_t DrawCount() const { return m_drawPoints ? m_drawCount : count; }
    // Draws another vertex list (null: the polygon's own again).
    void SetDrawPoints(L3DPoint* const* list, int32_t n) {
        m_drawPoints = list;
        m_drawCount = n;
    }
    bool IsGouraud() const { return owner && (owner->objectFlags & kOwnerGouraud); }
    bool IsFlatShaded() const { return owner && (owner->objectFlags & kOwnerFlat); }

private:
    enum class SetupKind { Flat, Quad, Solid, Textured };
    template <SetupKind kind>
    int32_t SetupEdges(int32_t* top);
    int32_t DrawClippedWith(LCameraView* camera, bool shaded);
    LTexture* UsableTexture() const;

    L3DPoint* const* m_drawPoints = nullptr;
    int32_t m_drawCount = 0;
};
