#include "engine3d/lights.h"

#include "engine3d/base_cluster.h"
#include "engine3d/camera.h"
#include "engine3d/chunk_stream.h"
#include "engine3d/element_walks.h"
#include "engine3d/marker_material.h"
#include "engine3d/material.h"
#include "engine3d/name_text.h"
#include "engine3d/point.h"
#include "engine3d/polygon.h"
#include "engine3d/world.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

namespace {

constexpr int32_t kKeepValue = -99999;

int32_t ClampByte(int32_t v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }
int32_t ClampNight(int32_t v) { return v < 0 ? 0 : (v > 100 ? 100 : v); }
uint8_t RoundByte(float v) { return uint8_t(ClampByte(int32_t(std::lround(v)))); }

// The world extent of an object's box (its position without a box).
void ObjectExtent(L3DObject* object, float* low, float* high) {
    object->ComputeTransform();
    L3DObject* box = object->GetBox();
    LBasePoint* corners = box ? box->GetPoints() : nullptr;
    if (!corners || corners->GetCount() < 8) {
        for (int a = 0; a < 3; ++a) low[a] = high[a] = object->GetPosition()[a];
        return;
    }
    float p[3], q[3];
    object->ToWorld(corners->GetPoint(3)->local, p);
    object->ToWorld(corners->GetPoint(5)->local, q);
    for (int a = 0; a < 3; ++a) {
        low[a] = std::fmin(p[a], q[a]);
        high[a] = std::fmax(p[a], q[a]);
    }
}

bool BoxesMeet(const float* lowA, const float* highA, const float* lowB, const float* highB) {
    for (int a = 0; a < 3; ++a)
        if (!(lowA[a] <= highB[a] && lowB[a] <= highA[a])) return false;
    return true;
}

// The objects whose boxes meet [low, high], at most `capacity`: the octree's
// nodes first, then the world's top-level objects.
int32_t CollectLitObjects(L3DWorld* world, const float* low, const float* high, L3DObject** out, int32_t capacity) {
    LBase3DCluster& cluster = world->GetBaseCluster();
    int32_t n = cluster.CollectOctreeNodes(out, capacity, low, high);
    for (LDataNode* node = cluster.GetObjectList().GetHead(); node && n < capacity; node = node->next) {
        auto* object = static_cast<L3DObject*>(node->value);
        float a[3], b[3];
        ObjectExtent(object, a, b);
        if (BoxesMeet(a, b, low, high)) out[n++] = object;
    }
    return n;
}

template <typename F>
void ForEachVertex(L3DObject* object, F f) {
    LBasePoint* points = object->GetPoints();
    if (!points) return;
    for (int32_t i = 0; i < points->GetCount(); ++i) f(points->GetPoint(i));
}

// Lambert shading: each polygon's one colour is the mean of its vertices'.
void LightPolygons(L3DObject* object) {
    if (!object->IsLambert()) return;
    LDataLink* polygons = object->GetPolygonList();
    for (LDataNode* n = polygons ? polygons->GetHead() : nullptr; n; n = n->next) {
        auto* polygon = static_cast<LPolygon*>(n->value);
        if (polygon->count == 0) continue;
        for (int c = 0; c < 4; ++c) {
            int32_t sum = 0;
            for (int i = 0; i < polygon->count; ++i) sum += polygon->points[i]->colour[c];
            polygon->litColour[c] = uint8_t(sum / polygon->count);
        }
    }
}

}  // namespace

void PackVertexColour(L3DPoint* vertex) {
    if (!vertex->device) return;
    const uint8_t* c = vertex->colour;
    vertex->device->diffuse = uint32_t(c[3]) << 24 | uint32_t(c[0]) << 16 | uint32_t(c[1]) << 8 | c[2];
}

// ---- L3DLight -------------------------------------------------------------------

L3DLight::L3DLight(L3DWorld* world, int32_t kind, const L3DLocation* location, int32_t radius, int32_t intensity,
                   LColourRecord* record, LCLBKObject* callback)
    : L3DObject("Light", world, callback), m_record(record) {
    SetKind(kKindLight);
    InitFlags();
    m_intensity = uint8_t(ClampByte(intensity));
    m_radius = radius;
    if (location) {
        for (int i = 0; i < 3; ++i) m_position[i] = location->GetPosition()[i], m_angles[i] = location->GetAngles()[i];
    }
    ComputeSinCos();
    BuildMatrix(0);
    BuildMarker();
    if (kind == kFixed) objectFlags &= ~uint32_t(kFlagMovable);  // fixed from now on
    m_constructed = true;
    SetFlag(kFlagPositionChanged | kFlagAnglesChanged, 1);
    ComputeTransform();
    ComputeRangeBox();
    Relight();
}

L3DLight::~L3DLight() { Unlight(); }

LBaseLight* L3DLight::List() const {
    L3DWorld* world = GetWorld();
    return world ? &world->GetLightList() : nullptr;
}

void L3DLight::ComputeRangeBox() {
    const float r = float(m_radius);
    for (int a = 0; a < 3; ++a) {
        m_rangeCentre[a] = m_position[a];
        m_rangeMin[a] = m_position[a] - r;
        m_rangeMax[a] = m_position[a] + r;
    }
}

void L3DLight::MarkLit() {
    for (int32_t i = 0; i < m_litCount; ++i) {
        if (IsMovable())
            m_lit[i]->SetFlagBit1();
        else
            m_lit[i]->SetFlagBit2();
    }
}

void L3DLight::Relight() {
    Unlight();
    L3DWorld* world = GetWorld();
    if (!world || !m_constructed) return;
    ++world->GetLightList().counts.relights;
    m_litCount = uint8_t(CollectLitObjects(world, m_rangeMin, m_rangeMax, m_lit, kMaxLit));
    LBase3DCluster& cluster = world->GetBaseCluster();
    const bool movable = IsMovable() != 0;
    if (m_litCount == 0) {
        if (movable)
            cluster.AddLightB(this);
        else
            cluster.AddLightA(this);
        m_inCluster = true;
        return;
    }
    for (int32_t i = 0; i < m_litCount; ++i) {
        if (movable)
            m_lit[i]->AddLightB(this);
        else
            m_lit[i]->AddLightA(this);
    }
    MarkLit();
}

void L3DLight::Unlight() {
    L3DWorld* world = GetWorld();
    if (m_inCluster && world) {
        world->GetBaseCluster().RemoveLightA(this);
        world->GetBaseCluster().RemoveLightB(this);
    }
    m_inCluster = false;
    for (int32_t i = 0; i < m_litCount; ++i) {
        m_lit[i]->RemoveLightA(this);
        m_lit[i]->RemoveLightB(this);
    }
    MarkLit();
    m_litCount = 0;
}

void L3DLight::ForgetObject(const L3DObject* object) {
    int32_t k = 0;
    for (int32_t i = 0; i < m_litCount; ++i)
        if (m_lit[i] != object) m_lit[k++] = m_lit[i];
    m_litCount = uint8_t(k);
}

void L3DLight::SetParameters(int32_t radius, int32_t intensity, int32_t visible) {
    int level = 0;
    if (intensity != kKeepValue) {
        m_intensity = uint8_t(ClampByte(intensity));
        level = 1;
    }
    if (IsMovable() && radius != kKeepValue) {
        m_radius = radius;
        BuildMarker();
        level = 2;
    }
    if (visible)
        Show();
    else
        Hide(0);
    if (level == 2) {
        ComputeRangeBox();
        Relight();
    } else if (level == 1) {
        MarkLit();
    }
}

void L3DLight::SetColor(uint32_t colour) {
    if (colour == uint32_t(kKeepValue) || (m_record && m_record->colour == (colour & 0xFFFFFFu))) return;
    LBaseLight* list = List();
    LColourRecord* record = list ? list->AcquireColour(colour & 0xFFFFFFu) : nullptr;
    if (!record) return;
    if (m_record) --m_record->users;  // the old record stays listed
    m_record = record;
    if (L3DWorld* world = GetWorld()) world->RefreshCameras();
    MarkLit();
}

void L3DLight::Apply(const L3DPoint* vertex, uint8_t* colour) const {
    if ((objectFlags & kFlagHidden) || m_radius <= 0 || !m_record) return;
    const float* p = vertex->world;
    for (int a = 0; a < 3; ++a)
        if (!(m_rangeMin[a] <= p[a] && p[a] <= m_rangeMax[a])) return;
    const float dx = p[0] - m_rangeCentre[0], dy = p[1] - m_rangeCentre[1], dz = p[2] - m_rangeCentre[2];
    const float d = std::sqrt(dx * dx + dy * dy + dz * dz);
    const float radius = float(m_radius);
    if (d > radius) return;
    const float f = (1.0f - d / radius) * float(m_intensity) * 0.00390625f;
    const int32_t light[3] = {m_record->red, m_record->green, m_record->blue};
    for (int c = 0; c < 3; ++c) colour[c] = RoundByte(float(light[c]) * f + float(colour[c]) * (1.0f - f));
    const long brightness = std::lround(float(colour[3]) + f * 256.0f);
    colour[3] = uint8_t(brightness >= 256 ? 255 : brightness);
}

void L3DLight::BuildMarker() {
    L3DWorld* world = GetWorld();
    L3DObject* box = GetBox();
    if (!world || !box) return;
    box->DeleteBase(kAllFrames, 1);
    box->AddBase();
    const float radius = float(m_radius);
    float s = radius * 0.05f;
    if (!(s >= 10.0f)) s = 10.0f;
    const float h = s * 0.5f;
    const float points[8][3] = {{-s, 0, 0}, {s, 0, 0},  {0, 0, s},          {0, 0, -radius},
                                {0, s, 0},  {0, -s, 0}, {-h, 0, h - radius}, {h, 0, h - radius}};
    static const int kTriangles[5][3] = {{2, 4, 3}, {2, 5, 3}, {0, 5, 1}, {3, 7, 6}, {0, 4, 1}};
    LBasePoint* list = box->GetPoints();
    if (!list) return;
    L3DPoint* vertex[8];
    list->DisableSharing();
    for (int i = 0; i < 8; ++i) vertex[i] = list->AddPoint(points[i][0], points[i][1], points[i][2], 0, 0);
    list->EnableSharing();
    LMaterial* material = MarkerMaterial(world, kMarkerMaterial, 0x00FF00);
    for (const auto& t : kTriangles) {
        LPolygon* polygon = world->CreatePolygon(box, 2, nullptr);
        if (!polygon) continue;
        for (int v : t) polygon->AddPoint(vertex[v]);
        box->AddPolygon(polygon, 1);
        polygon->SetMaterial(material);
    }
    // Every marker point gets its world position once.
    LDefaultCameraView view;
    UpdateTransform(&view);
    UpdateFrame(&view);
    PrepareDraw(&view);
}

void L3DLight::ShowBox(int32_t on, int32_t /*recursive*/) {
    if (on) {
        LBaseLight* list = List();
        if (list && list->GetShowFlag() != 1) return;
    }
    L3DObject::ShowBox(on, 0);
}

void L3DLight::Show() {
    L3DObject::Show();
    Relight();
}

void L3DLight::Hide(int32_t /*recursive*/) {
    L3DObject::Hide(0);
    Unlight();
}

L3DObject* L3DLight::Duplicate(const L3DLocation* location) {
    LBaseLight* list = List();
    if (!list) return nullptr;
    return list->AddLight(kMovable, location ? location : this, m_radius, m_intensity, GetColor(), nullptr);
}

void L3DLight::PositionChanged(int on) {
    L3DObject::PositionChanged(on);
    if (on) Moved();
}

void L3DLight::AnglesChanged(int on) {
    L3DObject::AnglesChanged(on);
    if (on) Moved();
}

int L3DLight::Moved() {
    // Clearing the change bits after drawing is not a move; nor is the
    // constructor's own placing.
    if (!IsVisible() || !m_constructed) return 0;
    ComputeTransform();
    ComputeRangeBox();
    Relight();
    L3DWorld* world = GetWorld();
    if (world && world->GetCurrentCamera()) UpdateFrame(world->GetCurrentCamera());
    return 0;
}

void L3DLight::SaveObject(LChunkStream& out, uint32_t /*saveFlags*/) {
    if (!IsSavable()) return;
    out.WriteU16(uint32_t(m_radius));
    out.WriteU16(m_intensity);
    out.WriteF32(m_position[0]);
    out.WriteF32(m_position[1]);
    out.WriteF32(m_position[2]);
    out.WriteU32(GetColor());
    char name[256];
    GetName(name, sizeof name);
    out.WriteString(name);
    SaveLocation(out);
}

// ---- LBaseLight -------------------------------------------------------------------

LBaseLight::~LBaseLight() {
    DeleteLightAt(kDeleteAll);
    while (LDataNode* node = m_records.GetHead()) {
        void* record = node->value;
        m_records.RemoveNode(node, 1);
        FreeAndNull(&record);
    }
}

LColourRecord* LBaseLight::FindColour(uint32_t colour) const {
    for (LDataNode* n = m_records.GetHead(); n; n = n->next)
        if (static_cast<LColourRecord*>(n->value)->colour == colour) return static_cast<LColourRecord*>(n->value);
    return nullptr;
}

LColourRecord* LBaseLight::AcquireColour(uint32_t colour) {
    colour &= 0xFFFFFFu;
    LColourRecord* record = FindColour(colour);
    if (!record) {
        if (!AllocRetry(sizeof(LColourRecord), &record)) return nullptr;
        *record = {colour, int32_t(colour & 0xFF), int32_t(colour >> 8 & 0xFF), int32_t(colour >> 16 & 0xFF), this, 0};
        if (!m_records.InsertAfter(record, nullptr)) {
            FreeAndNull(&record);
            return nullptr;
        }
    }
    ++record->users;
    return record;
}

L3DLight* LBaseLight::AddLight(int32_t kind, const L3DLocation* location, int32_t radius, int32_t intensity,
                               uint32_t colour, LCLBKObject* callback) {
    LColourRecord* record = AcquireColour(colour);
    if (!record) return nullptr;
    auto* light = new L3DLight(m_world, kind, location, radius, intensity, record, callback);
    if (!light) {
        --record->users;
        return nullptr;
    }
    if (light->IsVisible() && m_show == 0) light->Hide(0);
    (light->IsMovable() ? m_movable : m_fixed).InsertAfter(light, nullptr);
    m_all.InsertAfter(light, nullptr);
    return light;
}

int32_t LBaseLight::RemoveLightNode(LDataNode* node) {
    if (!node || !node->value) return kAbsent;
    auto* light = static_cast<L3DLight*>(node->value);
    for (LDataLink* kindList : {&m_fixed, &m_movable})
        if (LDataNode* own = kindList->FindNode(light)) {
            if (own->referenceCount >= 2) {
                kindList->RemoveNode(own, 0);  // still shared: one reference less
                return 0;
            }
            kindList->RemoveNode(own, 1);
        }
    m_all.RemoveNode(node, 1);
    if (LColourRecord* record = light->GetColourRecord()) --record->users;
    delete light;
    return 0;
}

int32_t LBaseLight::DeleteLightAt(int32_t index) {
    if (index == kDeleteAll) {
        while (LDataNode* n = m_movable.GetHead()) m_movable.RemoveNode(n, 1);
        while (LDataNode* n = m_fixed.GetHead()) m_fixed.RemoveNode(n, 1);
        while (LDataNode* n = m_all.GetHead()) {
            auto* light = static_cast<L3DLight*>(n->value);
            m_all.RemoveNode(n, 1);
            if (LColourRecord* record = light->GetColourRecord()) --record->users;
            delete light;
        }
        return 0;
    }
    LDataNode* node = index >= 0 ? m_all.GetNodeAt(index) : nullptr;
    return node ? RemoveLightNode(node) : kAbsent;
}

int32_t LBaseLight::DeleteLight(L3DLight* light) {
    LDataNode* node = light ? m_all.FindNode(light) : nullptr;
    return node ? RemoveLightNode(node) : kAbsent;
}

L3DLight* LBaseLight::FindByName(const char* name) const {
    return m_all.GetHead() ? FindFromByName(static_cast<L3DLight*>(m_all.GetHead()->value), name) : nullptr;
}

L3DLight* LBaseLight::FindFromByName(L3DLight* light, const char* name) const {
    return FindNamedFrom<L3DLight>(m_all, light, name);
}

L3DLight* LBaseLight::GetAt(int32_t index) { return static_cast<L3DLight*>(m_all.GetValueAt(index)); }

void LBaseLight::TransformMovable(L3DCamera* camera) {
    if (!(camera->GetFlags() & L3DLocation::kFlagAnglesChanged)) return;
    for (LDataNode* n = m_movable.GetHead(); n; n = n->next) static_cast<L3DLight*>(n->value)->UpdateTransform(camera);
}

void LBaseLight::HitTestLights(L3DCamera* camera, const float* point, const float* radius, L3DObject** out) {
    for (LDataLink* list : {&m_movable, &m_fixed})
        for (LDataNode* n = list->GetHead(); n; n = n->next)
            static_cast<L3DLight*>(n->value)->Pick(camera, point, radius, out);
}

void LBaseLight::RelightAll() {
    for (LDataNode* n = m_movable.GetHead(); n; n = n->next) static_cast<L3DLight*>(n->value)->Relight();
    for (LDataNode* n = m_fixed.GetHead(); n; n = n->next) static_cast<L3DLight*>(n->value)->Moved();
}

void LBaseLight::ForgetObject(const L3DObject* object) {
    for (LDataNode* n = m_all.GetHead(); n; n = n->next) static_cast<L3DLight*>(n->value)->ForgetObject(object);
}

int32_t LBaseLight::WriteLightChunk(LChunkStream& out, uint32_t saveFlags) {
    const auto savable = [](LDataLink& list) {
        uint32_t count = 0;
        for (LDataNode* n = list.GetHead(); n; n = n->next) count += static_cast<L3DLight*>(n->value)->IsSavable() ? 1 : 0;
        return count;
    };
    const int32_t start = out.BeginChunk(ChunkTag("BLIG"));
    out.WriteU16(savable(m_movable));
    out.WriteU16(savable(m_fixed));
    for (LDataLink* list : {&m_movable, &m_fixed})
        for (LDataNode* n = list->GetHead(); n; n = n->next)
            static_cast<L3DLight*>(n->value)->SaveObject(out, saveFlags);
    return out.EndChunk(start);
}

// ---- L3DLightAmbiant -----------------------------------------------------------------

L3DLightAmbiant::L3DLightAmbiant(L3DWorld* world, const float* direction, int32_t intensity, int32_t night,
                                 uint32_t colour, LCLBKObject* callback)
    : LManageCLBKObject(callback), m_world(world) {
    if (world) SetDiffuseVector(direction);
    m_intensity = ClampByte(intensity);
    m_storedNight = 100 - ClampNight(night);
    m_rgb[0] = uint8_t(colour), m_rgb[1] = uint8_t(colour >> 8), m_rgb[2] = uint8_t(colour >> 16);
}

LBaseLight* L3DLightAmbiant::Lights() const { return m_world ? &m_world->GetLightList() : nullptr; }

void L3DLightAmbiant::RequestRelight() {
    if (m_world) m_world->RequestRelight();
}

void L3DLightAmbiant::SetParameters(const float* direction, int32_t intensity, int32_t night) {
    if (direction) SetDiffuseVector(direction);
    SetIntensity(intensity);
    SetNightValue(night);
}

void L3DLightAmbiant::SetIntensity(int32_t intensity) {
    m_intensity = ClampByte(intensity);
    RequestRelight();
}

void L3DLightAmbiant::SetNightValue(int32_t night) {
    m_storedNight = 100 - ClampNight(night);
    RequestRelight();
}

void L3DLightAmbiant::SetColor(uint32_t colour) {
    m_rgb[0] = uint8_t(colour), m_rgb[1] = uint8_t(colour >> 8), m_rgb[2] = uint8_t(colour >> 16);
    RequestRelight();
}

void L3DLightAmbiant::SetDiffuseVector(const float* direction) {
    if (!direction) return;
    std::memcpy(m_raw, direction, sizeof m_raw);
    float length = std::sqrt(m_raw[0] * m_raw[0] + m_raw[1] * m_raw[1] + m_raw[2] * m_raw[2]);
    if (length == 0.0f) length = 0.0001f;
    for (int a = 0; a < 3; ++a) m_unit[a] = m_raw[a] / length;
    RequestRelight();
}

void L3DLightAmbiant::GetDiffuseVector(float* out) const {
    if (out) std::memcpy(out, m_raw, sizeof m_raw);
}

bool L3DLightAmbiant::BaseColour(L3DPoint* vertex, const float* t) const {
    const float* n = vertex->normal;
    const float* w = vertex->world;
    if (std::isnan(w[0]) || std::isnan(w[1]) || std::isnan(w[2])) return false;
    const float nx = t[0] * n[0] + t[1] * n[1] + t[2] * n[2];
    const float ny = t[4] * n[0] + t[5] * n[1] + t[6] * n[2];
    const float nz = t[8] * n[0] + t[9] * n[1] + t[10] * n[2];
    const float s = (nx * m_unit[0] + ny * m_unit[1] + nz * m_unit[2]) * 127.0f + float(m_intensity) + 128.0f;
    if (std::isnan(s)) return false;
    const int32_t shade = ClampByte(int32_t(std::lround(std::fmax(-1.0f, std::fmin(s, 256.0f)))));
    const int32_t i = int32_t(std::lround(float(m_storedNight) * 0.01f * float(shade)));
    const auto* table = static_cast<const uint8_t*>(vertex->shadingTable);
    const int32_t brightness = table ? table[ClampByte(i)] : ClampByte(i);
    uint8_t* base = vertex->baseColour;
    for (int c = 0; c < 3; ++c) base[c] = uint8_t(int32_t(m_rgb[c]) * brightness / 255);
    base[3] = uint8_t(brightness);
    return true;
}

void L3DLightAmbiant::LightVertices(L3DObject* object, L3DLight* const* lights, int32_t count) {
    if (!object) return;
    if (LBaseLight* list = Lights()) ++list->counts.basePasses;
    const float* t = object->GetTransform().m;
    ForEachVertex(object, [&](L3DPoint* v) {
        if (!BaseColour(v, t)) return;
        for (int32_t k = 0; k < count; ++k) lights[k]->ApplyFixed(v);
    });
}

void L3DLightAmbiant::ApplyMovableLights(L3DObject* object, L3DLight* const* lights, int32_t count, int32_t restart) {
    if (!object || (!restart && count == 0)) return;
    if (LBaseLight* list = Lights()) ++list->counts.movablePasses;
    ForEachVertex(object, [&](L3DPoint* v) {
        if (restart) std::memcpy(v->colour, v->baseColour, sizeof v->colour);
        for (int32_t k = 0; k < count; ++k) lights[k]->ApplyMovable(v);
        PackVertexColour(v);
    });
    LightPolygons(object);
}

void L3DLightAmbiant::LightObject(L3DObject* object) {
    LBaseLight* list = Lights();
    if (!object || !list) return;
    ++list->counts.objectPasses;
    const float* t = object->GetTransform().m;
    ForEachVertex(object, [&](L3DPoint* v) {
        if (!BaseColour(v, t)) return;
        for (LDataNode* n = list->GetFixedLights().GetHead(); n; n = n->next) static_cast<L3DLight*>(n->value)->ApplyFixed(v);
        std::memcpy(v->colour, v->baseColour, sizeof v->colour);
        for (LDataNode* n = list->GetMovableLights().GetHead(); n; n = n->next)
            static_cast<L3DLight*>(n->value)->ApplyMovable(v);
        PackVertexColour(v);
    });
    LightPolygons(object);
}

void L3DLightAmbiant::Save(LChunkStream& out) {
    const int32_t start = out.BeginChunk(ChunkTag("AMLI"));
    out.WriteU16(uint32_t(GetNightValue()));
    out.WriteU16(uint32_t(m_intensity));
    out.WriteF32(m_raw[0]);
    out.WriteF32(m_raw[1]);
    out.WriteF32(m_raw[2]);
    out.WriteU32(GetColor());
    out.EndChunk(start);
}
