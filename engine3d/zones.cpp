#include "engine3d/zones.h"

#include "engine3d/chunk_stream.h"
#include "engine3d/element_walks.h"
#include "engine3d/marker_material.h"
#include "engine3d/name_text.h"
#include "engine3d/point.h"
#include "engine3d/polygon.h"
#include "engine3d/world.h"

#include <cmath>

namespace {
constexpr int32_t kKeepLength = -99999;
}

L3DZone::L3DZone(L3DWorld* world, const L3DLocation* location, int32_t lengthX, int32_t lengthY, int32_t lengthZ,
                 int32_t visible, LCLBKObject* callback)
    : L3DObject("3DZone", world, callback) {
    SetKind(kKindZone);
    InitFlags();
    BuildBox(location, lengthX, lengthY, lengthZ, visible);
}

void L3DZone::BuildBox(const L3DLocation* location, int32_t lengthX, int32_t lengthY, int32_t lengthZ,
                       int32_t visible) {
    L3DWorld* world = GetWorld();
    if (location) {
        const float* p = location->GetPosition();
        SetPositionAndAngles(0, 0, 0, p[0], p[1], p[2]);
    }
    const int32_t given[3] = {lengthX, lengthY, lengthZ};
    uint32_t wanted[3];
    for (int a = 0; a < 3; ++a) wanted[a] = given[a] == kKeepLength ? m_length[a] : uint32_t(given[a]);
    const bool changed = wanted[0] != m_length[0] || wanted[1] != m_length[1] || wanted[2] != m_length[2];
    L3DObject* box = GetBox();
    if (changed && box && world) {
        for (int a = 0; a < 3; ++a) m_length[a] = wanted[a];
        const float hx = float(m_length[0] >> 1), hy = float(m_length[1] >> 1), hz = float(m_length[2] >> 1);
        box->DeleteBase(kAllFrames, 1);
        box->AddBase();
        LBasePoint* points = box->GetPoints();
        const float corners[8][3] = {{-hx, hy, -hz}, {hx, hy, -hz}, {hx, -hy, -hz}, {-hx, -hy, -hz},
                                     {-hx, hy, hz},  {hx, hy, hz},  {hx, -hy, hz},  {-hx, -hy, hz}};
        static const int kTriangles[12][3] = {{0, 3, 2}, {0, 2, 1}, {1, 2, 6}, {1, 6, 5}, {4, 5, 6}, {4, 6, 7},
                                              {0, 4, 7}, {0, 7, 3}, {7, 6, 2}, {7, 2, 3}, {0, 1, 5}, {0, 5, 4}};
        L3DPoint* vertex[8] = {};
        if (points) {
            points->DisableSharing();
            for (int i = 0; i < 8; ++i) vertex[i] = points->AddPoint(corners[i][0], corners[i][1], corners[i][2], 0, 0);
            points->EnableSharing();
            for (const auto& t : kTriangles) {
                LPolygon* polygon = world->CreatePolygon(box, 2, nullptr);
                if (!polygon) continue;
                for (int v : t) polygon->AddPoint(vertex[v]);
                box->AddPolygon(polygon, 1);
            }
        }
        if (visible)
            Show();
        else
            Hide(0);
        LMaterial* material = MarkerMaterial(world, kMarkerMaterial, 0xFFFF00);
        if (LDataLink* polygons = box->GetPolygonList())
            for (LDataNode* n = polygons->GetHead(); n; n = n->next) static_cast<LPolygon*>(n->value)->SetMaterial(material);
        world->RefreshCameras();
    }
    if ((location || changed) && world) world->RefreshCameras();
}

int32_t L3DZone::IsIn(const L3DLocation* location) {
    if (!location) return 0;
    L3DObject* box = GetBox();
    LBasePoint* corners = box ? box->GetPoints() : nullptr;
    if (!corners || corners->GetCount() < 8) return 0;
    // The corners placed with the zone as it stands now (a rotated zone is
    // tested against the box its two corners span).
    const float* p = location->GetPosition();
    ComputeTransform();
    float a[3], b[3];
    ToWorld(corners->GetPoint(3)->local, a);
    ToWorld(corners->GetPoint(5)->local, b);
    for (int i = 0; i < 3; ++i) {
        const float lo = std::fmin(a[i], b[i]), hi = std::fmax(a[i], b[i]);
        if (!(lo - 0.01f <= p[i] && p[i] <= hi + 0.01f)) return 0;
    }
    return 1;
}

void L3DZone::SetMarkerVisible(int32_t on) {
    L3DWorld* world = GetWorld();
    if (!world) return;
    if (on && world->GetZoneList().GetShowFlag())
        ShowBox(1, 0);
    else
        ShowBox(0, 0);
}

// ---- the list -------------------------------------------------------------------

int32_t LBase3DZone::AddZone(L3DZone* zone) {
    if (!zone) return kAbsent;
    if (zone->IsVisible() && m_show == 0) zone->Hide(0);
    m_zones.InsertAfter(zone, nullptr);
    return 0;
}

L3DZone* LBase3DZone::CreateZone(const L3DLocation* location, int32_t lengthX, int32_t lengthY, int32_t lengthZ,
                                 int32_t visible, LCLBKObject* callback) {
    auto* zone = new L3DZone(m_world, location, lengthX, lengthY, lengthZ, visible, callback);
    if (!zone) return nullptr;
    if (zone->IsVisible() && m_show == 0) zone->Hide(0);
    if (!m_zones.InsertAfter(zone, nullptr)) {
        delete zone;
        return nullptr;
    }
    return zone;
}

int32_t LBase3DZone::DeleteZoneAt(int32_t index) {
    if (index == -1) {
        while (LDataNode* node = m_zones.GetHead()) {
            auto* zone = static_cast<L3DZone*>(node->value);
            m_zones.RemoveNode(node, 1);
            delete zone;
        }
        return 0;
    }
    LDataNode* node = index >= 0 ? m_zones.GetNodeAt(index) : nullptr;
    if (!node) return kAbsent;
    auto* zone = static_cast<L3DZone*>(node->value);
    if (m_zones.RemoveNode(node, 0)) delete zone;
    return 0;
}

int32_t LBase3DZone::DeleteZone(L3DZone* zone) {
    const int32_t index = zone ? m_zones.IndexOf(zone) : -1;
    return index < 0 ? kAbsent : DeleteZoneAt(index);
}

L3DZone* LBase3DZone::FindByName(const char* name) const {
    return m_zones.GetHead() ? FindNextByName(static_cast<L3DZone*>(m_zones.GetHead()->value), name) : nullptr;
}

L3DZone* LBase3DZone::FindNextByName(L3DZone* zone, const char* name) const {
    return FindNamedFrom<L3DZone>(m_zones, zone, name);
}

void LBase3DZone::PrepareZones(L3DCamera* camera) { DrawTopLevelElements<L3DZone>(m_zones, camera); }

void LBase3DZone::HitTestZones(L3DCamera* camera, const float* point, const float* radius, L3DObject** out) {
    PickEachElement<L3DZone>(m_zones, camera, point, radius, out);
}

int32_t LBase3DZone::Save(LChunkStream& out) {
    uint32_t count = 0;
    for (LDataNode* n = m_zones.GetHead(); n; n = n->next) count += static_cast<L3DZone*>(n->value)->IsSavable() ? 1 : 0;
    const int32_t start = out.BeginChunk(ChunkTag("BZON"));
    out.WriteU16(count);
    char name[256];
    for (LDataNode* n = m_zones.GetHead(); n; n = n->next) {
        auto* zone = static_cast<L3DZone*>(n->value);
        if (!zone->IsSavable()) continue;
        out.WriteU16(zone->GetLengthX());
        out.WriteU16(zone->GetLengthY());
        out.WriteU16(zone->GetLengthZ());
        zone->GetName(name, sizeof name);
        out.WriteString(name);
        zone->SaveLocation(out);
    }
    return out.EndChunk(start);
}
