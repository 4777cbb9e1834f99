#pragma once
// Per-vertex lighting. Each world has one ambient light (L3DLightAmbiant:
// direction, intensity, night darkening, colour) and a list of point lights
// (L3DLight, kind 68: position, integer radius, intensity byte, a colour
// record shared by every light of that colour). A point light blends the
// colour of the vertices inside its radius toward its own with a linear
// fall-off.
//
// Lighting runs when something changes, never as a frame routine of its
// own: a light relights (finds at most 16 objects whose boxes meet its range
// box and marks them) when it is shown, moved or resized, and a marked
// object redoes its vertex colours when it is next drawn in view. Two
// stages: the base colour (ambient light and fixed lights) and the final
// colour (base colour plus the movable lights); a movable light's move only
// redoes the second stage.
//
// Fixed lights (kind 4) never move after creation; movable lights (kind 2)
// relight on every move. A light with a radius of 0 or less lights nothing.
//
// Per vertex (N the normal turned by the object's transform, D the ambient
// unit direction, all results rounded to nearest):
//   s = clamp(N.D * 127 + intensity + 128, 0, 255)
//   i = round(stored night * 0.01 * s)        (stored night = 100 - night)
//   brightness = the shading table's entry i (the identity table, or none:
//                brightness i)
//   base rgb = ambient rgb * brightness / 255 (integer division)
//   each fixed light, then final = base, each movable light:
//     f = (1 - d / radius) * intensity / 256 for d <= radius inside the box
//     rgb = round(light rgb * f + rgb * (1 - f)); brightness += f * 256 (cap 255)
//   packed render colour = brightness << 24 | r << 16 | g << 8 | b
// A vertex whose normal or position is not a number keeps its colours.
// Lambert-shaded objects also give each polygon the mean of its vertices'
// final colours as its lit colour.
//
// Saved forms: chunk "BLIG": u16 savable movable lights, u16 savable fixed
// lights, then per light (movable first): u16 radius, u16 intensity, f32 x,
// y, z, u32 colour 0x00BBGGRR, the name (u16 length and bytes) and the
// location chunk. Chunk "AMLI": u16 night, u16 intensity, f32 raw direction
// x, y, z, u32 colour.
#include "engine3d/data_link.h"
#include "engine3d/manage_clbk.h"
#include "engine3d/object.h"
#include "engine3d/retry_new.h"

#include <cstdint>

class L3DWorld;
class L3DCamera;
class LBaseLight;
class LChunkStream;

// One colour shared by the lights that use it; `users` counts them.
struct LColourRecord {
    uint32_t colour;
    int32_t red, green, blue;
    LBaseLight* owner;
    int32_t users;
};

class L3DLight : public L3DObject, public LRetryNew {
public:
    enum : uint32_t { kKindLight = 68 };
    enum : int32_t { kMovable = 2, kFixed = 4, kMaxLit = 16 };
    static constexpr char kMarkerMaterial[] = "$Ruk3D Mat$ Light Material";

    L3DLight(L3DWorld* world, int32_t kind, const L3DLocation* location, int32_t radius, int32_t intensity,
             LColourRecord* record, LCLBKObject* callback);
    ~L3DLight() override;

    // -99999 keeps the radius or intensity; a fixed light keeps its radius.
    void SetParameters(int32_t radius, int32_t intensity, int32_t visible);
    int32_t GetIntensity() const { return m_intensity; }
    int32_t GetRadius() const { return m_radius; }
    uint32_t GetColor() const { return m_record ? m_record->colour : 0; }
    LColourRecord* GetColourRecord() const { return m_record; }
    // Moves the light to the record of that colour (-99999: unchanged).
    void SetColor(uint32_t colour);

    void ComputeRangeBox();
    void Relight();
    void Unlight();
    void BuildMarker();
    const float* GetRangeMin() const { return m_rangeMin; }
    const float* GetRangeMax() const { return m_rangeMax; }
    int32_t GetLitCount() const { return m_litCount; }
    L3DObject* GetLit(int32_t i) const { return i >= 0 && i < m_litCount ? m_lit[i] : nullptr; }
    // An object going away leaves the lit list.
    void ForgetObject(const L3DObject* object);

    // The contribution to one vertex: the base colour (fixed) or the final
    // colour (movable).
    void ApplyFixed(L3DPoint* vertex) const { Apply(vertex, vertex->baseColour); }
    void ApplyMovable(L3DPoint* vertex) const { Apply(vertex, vertex->colour); }

    // Object overrides.
    void ShowBox(int32_t on, int32_t recursive) override;
    void Show() override;
    void Hide(int32_t recursive) override;
    L3DObject* Duplicate(const L3DLocation* location) override;
    void SaveObject(LChunkStream& out, uint32_t saveFlags) override;
    void PositionChanged(int on) override;
    void AnglesChanged(int on) override;
    int IsActive() override { return IsMovable(); }
    int Moved() override;

private:
    void Apply(const L3DPoint* vertex, uint8_t* colour) const;
    void MarkLit();
    LBaseLight* List() const;

    float m_rangeMin[3] = {0, 0, 0};
    float m_rangeMax[3] = {0, 0, 0};
    float m_rangeCentre[3] = {0, 0, 0};
    L3DObject* m_lit[kMaxLit] = {};
    uint8_t m_litCount = 0;
    uint8_t m_intensity = 0;
    int32_t m_radius = 0;
    LColourRecord* m_record = nullptr;
    bool m_inCluster = false;  // recorded by the base cluster (lit nothing)
    bool m_constructed = false;
};

// What the lighting did, for the tests and the relight timing.
struct LLightingCounts {
    int32_t relights = 0;       // L3DLight::Relight
    int32_t basePasses = 0;     // LightVertices
    int32_t movablePasses = 0;  // ApplyMovableLights
    int32_t objectPasses = 0;   // LightObject
};

class LBaseLight {
public:
    enum : int32_t { kAbsent = 10, kDeleteAll = -2 };

    LBaseLight() = default;
    LBaseLight(const LBaseLight&) = delete;
    LBaseLight& operator=(const LBaseLight&) = delete;
    virtual ~LBaseLight();

    void SetWorld(L3DWorld* world) { m_world = world; }
    L3DWorld* GetWorld() const { return m_world; }
    // Kind 2 movable, 4 fixed; null when the light cannot be allocated.
    L3DLight* AddLight(int32_t kind, const L3DLocation* location, int32_t radius, int32_t intensity, uint32_t colour,
                       LCLBKObject* callback);
    // 0, or 10 without a light there; -2 removes every light.
    int32_t DeleteLightAt(int32_t index);
    int32_t RemoveLightNode(LDataNode* node);
    int32_t DeleteLight(L3DLight* light);
    L3DLight* FindByName(const char* name) const;
    // From `light` itself onward; null when it is not listed or none matches.
    L3DLight* FindFromByName(L3DLight* light, const char* name) const;
    L3DLight* GetAt(int32_t index);
    int32_t GetCount() const { return m_all.GetCount(); }
    LDataLink& GetLights() { return m_all; }
    LDataLink& GetFixedLights() { return m_fixed; }
    LDataLink& GetMovableLights() { return m_movable; }
    int32_t GetShowFlag() const { return m_show; }
    void SetShowFlag(int32_t on) { m_show = on; }

    // The record of a colour, found or made; its user count rises. Null
    // when memory fails.
    LColourRecord* AcquireColour(uint32_t colour);
    LColourRecord* FindColour(uint32_t colour) const;
    int32_t GetColourRecordCount() const { return m_records.GetCount(); }

    void TransformMovable(L3DCamera* camera);
    void HitTestLights(L3DCamera* camera, const float* point, const float* radius, L3DObject** out);
    void RelightAll();
    // Every light drops the object from its lit list.
    void ForgetObject(const L3DObject* object);
    int32_t WriteLightChunk(LChunkStream& out, uint32_t saveFlags);

    LLightingCounts counts;

private:
    L3DWorld* m_world = nullptr;
    LDataLink m_all;
    LDataLink m_fixed;
    LDataLink m_movable;
    LDataLink m_records;
    int32_t m_show = 1;
};

class L3DLightAmbiant : public LManageCLBKObject {
public:
    L3DLightAmbiant(L3DWorld* world, const float* direction, int32_t intensity, int32_t night, uint32_t colour,
                    LCLBKObject* callback);
    ~L3DLightAmbiant() override = default;

    void SetParameters(const float* direction, int32_t intensity, int32_t night);
    void SetIntensity(int32_t intensity);
    int32_t GetIntensity() const { return m_intensity; }
    void SetDiffuseVector(const float* direction);
    void GetDiffuseVector(float* out) const;
    const float* GetUnitDirection() const { return m_unit; }
    uint32_t GetColor() const { return uint32_t(m_rgb[0]) | uint32_t(m_rgb[1]) << 8 | uint32_t(m_rgb[2]) << 16; }
    void SetColor(uint32_t colour);
    int32_t GetNightValue() const { return 100 - m_storedNight; }
    int32_t GetStoredNight() const { return m_storedNight; }
    void SetNightValue(int32_t night);

    // The base colours from the ambient light and the given (fixed) lights.
    void LightVertices(L3DObject* object, L3DLight* const* lights, int32_t count);
    // Both stages with every light of the world.
    void LightObject(L3DObject* object);
    // The final colours: from the base colour again when `restart` is set,
    // then the given (movable) lights.
    void ApplyMovableLights(L3DObject* object, L3DLight* const* lights, int32_t count, int32_t restart);

    virtual void Save(LChunkStream& out);

private:
    void RequestRelight();
    // The base colour of one vertex; false (colours kept) for a vertex whose
    // normal is not a number.
    bool BaseColour(L3DPoint* vertex, const float* transform) const;
    LBaseLight* Lights() const;

    float m_raw[3] = {0, 0, 0};
    float m_unit[3] = {0, 0, 0};
    int32_t m_storedNight = 100;
    int32_t m_intensity = 0;
    uint8_t m_rgb[3] = {255, 255, 255};
    L3DWorld* m_world;
};

// The final colour bytes into the vertex's packed render colour.
void PackVertexColour(L3DPoint* vertex);
