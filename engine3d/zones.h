#pragma once
// Zones: invisible axis-aligned boxes (L3DZone, kind 8196, "3DZone") that
// scripts ask whether a point lies inside. The geometry lives only in the
// zone's box object: eight corners (+-hx, +-hy, +-hz with h = length >> 1)
// and twelve triangles in "$Ruk3D Mat$ Zone Material", shown as a marker
// only while the world's zone list has its show flag set. Show and Hide
// only show or hide that marker.
//
// IsIn: inside when lo - 0.01 <= p <= hi + 0.01 on every axis, lo and hi
// from the box's corners 3 and 5 as last transformed.
//
// Saved form: chunk "BZON": u16 savable zones, then per zone u16 lengths x,
// y, z, the name (u16 length and bytes) and the location chunk.
#include "engine3d/data_link.h"
#include "engine3d/object.h"
#include "engine3d/retry_new.h"

#include <cstdint>

class L3DCamera;
class LChunkStream;

class L3DZone : public L3DObject, public LRetryNew {
public:
    enum : uint32_t { kKindZone = 8196 };
    static constexpr char kMarkerMaterial[] = "$Ruk3D Mat$ Zone Material";

    L3DZone(L3DWorld* world, const L3DLocation* location, int32_t lengthX, int32_t lengthY, int32_t lengthZ,
            int32_t visible, LCLBKObject* callback);

    // A length of -99999 keeps the current one; the same three lengths
    // without a location rebuild and refresh nothing.
    void BuildBox(const L3DLocation* location, int32_t lengthX, int32_t lengthY, int32_t lengthZ, int32_t visible);
    int32_t IsIn(const L3DLocation* location);
    virtual void SetMarkerVisible(int32_t on);
    uint32_t GetLengthX() const { return m_length[0]; }
    uint32_t GetLengthY() const { return m_length[1]; }
    uint32_t GetLengthZ() const { return m_length[2]; }

    void Show() override { SetMarkerVisible(1); }
    void Hide(int32_t /*recursive*/) override { SetMarkerVisible(0); }

private:
    uint32_t m_length[3] = {0, 0, 0};
};

class LBase3DZone {
public:
    enum : int32_t { kAbsent = 8 };

    LBase3DZone() = default;
    LBase3DZone(const LBase3DZone&) = delete;
    LBase3DZone& operator=(const LBase3DZone&) = delete;
    virtual ~LBase3DZone() { DeleteZoneAt(-1); }

    void SetWorld(L3DWorld* world) { m_world = world; }
    L3DWorld* GetWorld() const { return m_world; }
    // 8 for a null zone, else 0 (the list owns it from then on).
    int32_t AddZone(L3DZone* zone);
    // Null when the zone cannot be allocated.
    L3DZone* CreateZone(const L3DLocation* location, int32_t lengthX, int32_t lengthY, int32_t lengthZ, int32_t visible,
                        LCLBKObject* callback);
    // One reference less; the zone goes with its node. -1 deletes all.
    int32_t DeleteZoneAt(int32_t index);
    int32_t DeleteZone(L3DZone* zone);
    L3DZone* FindByName(const char* name) const;
    L3DZone* FindNextByName(L3DZone* zone, const char* name) const;
    L3DZone* GetAt(int32_t index) { return static_cast<L3DZone*>(m_zones.GetValueAt(index)); }
    int32_t GetCount() const { return m_zones.GetCount(); }
    LDataLink& GetZones() { return m_zones; }
    void PrepareZones(L3DCamera* camera);
    void HitTestZones(L3DCamera* camera, const float* point, const float* radius, L3DObject** out);
    int32_t Save(LChunkStream& out);
    int32_t GetShowFlag() const { return m_show; }
    void SetShowFlag(int32_t on) { m_show = on; }

private:
    LDataLink m_zones;
    L3DWorld* m_world = nullptr;
    int32_t m_show = 1;
};
