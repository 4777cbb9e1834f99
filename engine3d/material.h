#pragma once
// LMaterial: the surface description shared by polygons (name, colour, up to
// two texture layers, transparency ratio, reflection type, render-mode
// flags); its LDataLink part is the list of the polygons that use it, each
// node with reference count 1. LBaseMaterial is the world's material list:
// it creates, finds, names, deletes and saves materials, keeping the world's
// default material first.
//
// Draw routines are chosen by the render back end and cached here; every
// change of appearance empties them so that the back end chooses again.
// Reflection types: the back ends define no shading tables, so every type
// (and none, -1) hands the vertices the identity table (entry i = i: lighting
// brightness passes unchanged).
#include "engine3d/data_link.h"
#include "engine3d/manage_clbk.h"

#include <cstdint>

class L3DWorld;
class L3DCamera;
class LPolygon;
class LCameraView;
class LTexture;
class LChunkStream;

// A draw routine chosen by the render back end: a function and the object it
// works for. Empty when `routine` is null.
struct LDrawRoutine {
    void (*routine)(void* object, LPolygon* polygon, LCameraView* camera) = nullptr;
    void* object = nullptr;
    bool IsEmpty() const { return routine == nullptr; }
    void Clear() { routine = nullptr, object = nullptr; }
};

// The identity shading table of every reflection type.
extern const uint8_t kIdentityShadingTable[256];

class LMaterial : public LDataLink, public LManageCLBKObject {
public:
    enum : uint32_t {
        kWireFrame = 2,
        kFlat = 4,
        kMapped = 8,
        kHidden = 0x200,
        kFlagPlanarMirror = 0x80000,  // also: a translucent material is drawn at once
        kCameraImage = 0x100000,
        kAdditive = 0x10000000,
        kTextureEnvMapped = 0x200000,
    };
    enum : int32_t { kAbsent = 16 };
    static constexpr uint32_t kColourFromTexture = 0xFFFFFFFFu;

    LMaterial(L3DWorld* world = nullptr, const char* name = nullptr, LTexture* texture = nullptr, uint32_t colour = 0,
              uint32_t flags = 0, LCLBKObject* callback = nullptr);
    ~LMaterial() override;

    void GetName(char* buffer, int32_t size) const;
    void SetName(const char* name);
    const char* GetNameText() const { return m_name; }
    // Colour kColourFromTexture takes the texture's first pixel.
    void SetColorAndTexture(uint32_t colour, LTexture* texture);
    void SetSemiTransparency(uint8_t ratio);
    void SetTexture(int32_t layer, LTexture* texture);
    LTexture* GetTexture(int32_t layer) const { return layer == 0 || layer == 1 ? m_textures[layer] : nullptr; }
    void SetColor(uint32_t colour);
    uint32_t GetColor() const { return m_colour; }
    uint8_t GetPaletteIndex() const { return m_paletteIndex; }
    // The colour's channels as the back ends read them (0 to 255 each).
    int32_t GetRed() const { return m_red; }
    int32_t GetGreen() const { return m_green; }
    int32_t GetBlue() const { return m_blue; }
    void SetReflectionType(int32_t type);
    int32_t GetReflectionType() const { return m_reflectionType; }
    void SetWireFrameMode(int32_t on) { SetMode(kWireFrame, on); }
    void SetFlatMode(int32_t on) { SetMode(kFlat, on); }
    void SetMappedMode(int32_t on) { SetMode(kMapped, on); }
    void Show() { flags &= ~uint32_t(kHidden); }
    void Hide() { flags |= kHidden; }
    void EnableMirror();
    void DisableMirror();
    int32_t IsMirror() const { return m_mirror; }
    void SetPlanarMirror(int32_t on);
    // Render-to-texture on a layer: a camera texture of the given view size,
    // or null to go back to flat drawing.
    void SetCameraTexture(int32_t layer, L3DCamera* camera, int32_t width = 0, int32_t height = 0);
    uint32_t GetTransparentColor(int32_t layer) const;
    void SetTransparentColor(int32_t layer, uint32_t colour);
    void EnableTransparentColor(int32_t layer, uint32_t colour);
    void DisableTransparentColor(int32_t layer);
    int32_t IsTransparent(int32_t layer) const;
    int32_t NeedsBlending() const { return IsTransparent(0); }
    int32_t IsEnvMapped(int32_t layer) const;
    // Drawn later through the camera's depth buckets.
    int32_t IsDeferred() const { return NeedsBlending() && !(flags & kFlagPlanarMirror) ? 1 : 0; }
    void SetTextureMode(int32_t layer, int32_t mode);
    int32_t GetLayerCount() const { return m_layerCount; }

    LDataNode* AddPolygon(LPolygon* polygon);
    void RemovePolygon(LDataNode* node);
    void ReleaseAll();
    // Appearance changed: routines emptied, the polygons' pairs rewritten.
    void Refresh();
    // The polygons' texture pairs into their vertices (and their hooks).
    void RewritePairs();

    L3DWorld* GetWorld() const { return m_world; }
    void SetWorld(L3DWorld* world) { m_world = world; }

    LDrawRoutine draw;         // unclipped polygons
    LDrawRoutine clippedDraw;  // polygons that need clipping
    uint8_t transparency = 255;  // 255 = opaque
    uint32_t flags = kWireFrame;
    const void* shadingTable = kIdentityShadingTable;

private:
    void SetMode(uint32_t mode, int32_t on);
    void ColourFromTexture(const LTexture* texture);
    void UpdateLayerCount();
    void ComputeMirrorAxes(bool on);
    void TakeReference(LTexture* texture);
    void DropReference(LTexture* texture);

    char m_name[256] = {};
    LTexture* m_textures[2] = {nullptr, nullptr};
    uint8_t m_layerCount = 1;
    uint32_t m_colour = 0;
    uint8_t m_paletteIndex = 0;
    int32_t m_red = 0, m_green = 0, m_blue = 0;
    int32_t m_reflectionType = -1;
    L3DWorld* m_world;
    int32_t m_mirror = 0;
};

class LBaseMaterial : public LDataLink {
public:
    enum : int32_t { kAbsent = 16 };
    enum : uint32_t { kSaveCopiesFiles = 0x200 };

    explicit LBaseMaterial(L3DWorld* world = nullptr) : m_world(world) {}
    ~LBaseMaterial();

    int32_t AddMaterial(LMaterial* material);
    LMaterial* CreateMaterial(const char* name, LTexture* texture, uint32_t colour, uint32_t flags,
                              LCLBKObject* callback);
    int32_t DeleteMaterial(LMaterial* material);
    int32_t DeleteMaterialAt(int32_t position);
    void MakeUniqueName(char* out, const char* name, int32_t size);
    LMaterial* FindByName(const char* name) const;
    LMaterial* FindNextByName(const LMaterial* material, const char* name) const;
    int32_t IndexOf(const LMaterial* material) const { return LDataLink::IndexOf(material); }
    int32_t TextureChanged(LTexture* texture);
    void Refresh();
    void WriteMaterialChunk(LChunkStream& out, uint32_t saveFlags);

    int32_t GetMaterialCount() const { return m_count; }
    void SetWorld(L3DWorld* world) { m_world = world; }

private:
    bool IsDefault(const LMaterial* material) const;
    void WriteLayer(LChunkStream& out, const LMaterial& material, int32_t layer, uint32_t saveFlags);

    int32_t m_count = 0;
    L3DWorld* m_world;
};
