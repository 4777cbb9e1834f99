#pragma once
// LMaterial, skeleton: what the polygon code reads of a material. Issue 03
// completes the material (name, colour, textures, polygon list, saving) and
// replaces the two layer records below with its texture pointers; the
// polygon code asks only the questions answered here.
#include <cstdint>

class LPolygon;
class LCameraView;

// A draw routine chosen by the render back end and cached in the material:
// a function and the object it works for. Empty when `routine` is null.
struct LDrawRoutine {
    void (*routine)(void* object, LPolygon* polygon, LCameraView* camera) = nullptr;
    void* object = nullptr;
};

// One texture layer as far as the geometry code needs it.
struct LMaterialLayer {
    int32_t present = 0;            // a texture is bound
    uint32_t textureFlags = 0;      // the texture's flag word
    int32_t textureNeedsBlending = 0;
};

class LMaterial {
public:
    enum : uint32_t {
        kFlagPlanarMirror = 0x80000,  // also: a translucent material is drawn at once
        kTextureEnvMapped = 0x200000,
    };

    LDrawRoutine draw;         // unclipped polygons
    LDrawRoutine clippedDraw;  // polygons that need clipping
    LMaterialLayer layers[2];
    uint8_t transparency = 255;  // 255 = opaque
    uint32_t flags = 2;
    const void* shadingTable = nullptr;

    int32_t IsEnvMapped(int layer) const {
        return layers[layer].present && (layers[layer].textureFlags & kTextureEnvMapped) ? 1 : 0;
    }
    // Translucent: a layer-0 texture that blends, or a ratio below 255.
    int32_t NeedsBlending() const {
        return (layers[0].present && layers[0].textureNeedsBlending) || transparency < 255 ? 1 : 0;
    }
    // Drawn later through the camera's depth buckets.
    int32_t IsDeferred() const { return NeedsBlending() && !(flags & kFlagPlanarMirror) ? 1 : 0; }
};
