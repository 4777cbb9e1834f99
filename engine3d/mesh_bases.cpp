#include "engine3d/mesh_bases.h"

#include "engine3d/chunk_stream.h"
#include "engine3d/material_cache.h"
#include "engine3d/point.h"
#include "engine3d/polygon.h"
#include "engine3d/world.h"
#include "runtime/base/sys_utils.h"

#include <cstring>
#include <vector>

namespace {

const char kMainTrack[] = "Main";

bool HasName(const char* name) { return name && name[0]; }

LTrackRecord* TrackOf(const LDataNode* node) { return static_cast<LTrackRecord*>(node->value); }

// Track names compare over the stored 15 characters.
bool SameName(const LTrackRecord* track, const char* name) {
    return std::strncmp(track->name, name, LTrackRecord::kNameSize - 1) == 0;
}

}  // namespace

LAnimationMesh::LAnimationMesh() {}

LAnimationMesh::~LAnimationMesh() {
    for (LDataNode* n = m_tracks.GetHead(); n; n = n->next) delete TrackOf(n);
}

int32_t LAnimationMesh::GetTrackCount() const { return m_tracks.GetCount(); }

void LAnimationMesh::FillTrack(LTrackRecord* track, const char* name, const LTrackRecord& values) {
    // The name may be the record's own: take it before the values land.
    char kept[LTrackRecord::kNameSize];
    std::strncpy(kept, name, LTrackRecord::kNameSize - 1);
    kept[LTrackRecord::kNameSize - 1] = '\0';
    *track = values;
    std::memcpy(track->name, kept, sizeof kept);
    if (track->start < track->first) track->start = track->first;
    if (track->start > track->last) track->start = track->last;
}

LTrackRecord* LAnimationMesh::FindTrack(const char* name) const {
    if (!HasName(name)) return nullptr;
    for (LDataNode* n = m_tracks.GetHead(); n; n = n->next)
        if (SameName(TrackOf(n), name)) return TrackOf(n);
    return nullptr;
}

int32_t LAnimationMesh::AddTrack(const char* name, const LTrackRecord& values) {
    if (!HasName(name) || FindTrack(name)) return 0;
    auto* track = new LTrackRecord();
    FillTrack(track, name, values);
    if (!m_tracks.InsertAfter(track, nullptr)) {
        delete track;
        return 0;
    }
    return 1;
}

int32_t LAnimationMesh::UpdateTrack(const char* name, const LTrackRecord& values) {
    LTrackRecord* track = FindTrack(name);
    if (!track) return 0;
    FillTrack(track, track->name, values);
    return 1;
}

int32_t LAnimationMesh::DefineTrack(const char* name, const LTrackRecord& values) {
    if (!HasName(name)) return 0;
    return FindTrack(name) ? UpdateTrack(name, values) : AddTrack(name, values);
}

int32_t LAnimationMesh::SelectTrack(const char* name) {
    LTrackRecord* track = FindTrack(name);
    if (!track) return 0;
    m_currentTrack = track;
    return 1;
}

int32_t LAnimationMesh::StepAnimation(bool forward) {
    LDataNode* node = m_tracks.FindNode(m_currentTrack);
    if (!m_currentTrack || !node) return 0;
    LDataNode* to = forward ? (node->next ? node->next : m_tracks.GetHead())
                            : (node->previous ? node->previous : m_tracks.GetTail());
    m_currentTrack = TrackOf(to);
    m_currentFrame = m_currentTrack->first;
    return 1;
}

int32_t LAnimationMesh::PrevAnimation() { return StepAnimation(false); }
int32_t LAnimationMesh::NextAnimation() { return StepAnimation(true); }

int32_t LAnimationMesh::DeleteTrack(const char* name) {
    LTrackRecord* track = FindTrack(name);
    if (!track) return 0;
    m_tracks.RemoveNode(m_tracks.FindNode(track), 1);
    delete track;
    if (m_currentTrack == track) m_currentTrack = FindTrack(kMainTrack);
    return 1;
}

void LAnimationMesh::SetFrame(int32_t frame) {
    const LTrackRecord* t = m_currentTrack;
    if (!t) return;
    const bool wrap = (m_mode & kWrapFrames) != 0;
    if (frame < t->first)
        frame = wrap ? t->last : t->first;
    else if (frame > t->last)
        frame = wrap ? t->first : t->last;
    m_currentFrame = frame;
}

void LAnimationMesh::NextFrame() { LAnimationMesh::SetFrame(m_currentFrame + 1); }
void LAnimationMesh::PrevFrame() { LAnimationMesh::SetFrame(m_currentFrame - 1); }

int32_t LAnimationMesh::IsSingleStep(const LTrackRecord* track) const {
    return track && track->last == track->first + 1 ? 1 : 0;
}

LMultiBasePoly::LMultiBasePoly(LPolygonOwner* owner) { SetOwner(owner); }

void LMultiBasePoly::SetOwner(LPolygonOwner* owner) {
    m_owner = owner;
    m_world = owner ? owner->GetWorld() : nullptr;
}

LMultiBasePoly::~LMultiBasePoly() {
    m_owner = nullptr;  // a derived owner is already gone here
    DeleteBase(kAllFrames, 1);
}

L3DLocation* LMultiBasePoly::RootLocation() { return m_owner; }

void LMultiBasePoly::SyncOwnerPoints() {
    if (m_owner) m_owner->points = GetPoints();
}

void LMultiBasePoly::SetFrame(int32_t frame) {
    LAnimationMesh::SetFrame(frame);
    SyncOwnerPoints();
    if (L3DLocation* root = RootLocation()) root->AnglesChanged(1);
}

void LMultiBasePoly::NextFrame() { SetFrame(m_currentFrame + 1); }
void LMultiBasePoly::PrevFrame() { SetFrame(m_currentFrame - 1); }

int32_t LMultiBasePoly::IsSingleStep(const LTrackRecord* track) const {
    if (!LAnimationMesh::IsSingleStep(track) || track->first < 0 || track->last >= m_frameCount) return 0;
    return m_points[track->first]->GetCount() == m_points[track->last]->GetCount() ? 1 : 0;
}

int32_t LMultiBasePoly::AddBase() {
    const int32_t n = m_frameCount;
    if (!ReallocRetry(sizeof(LDataLink*) * (n + 1), &m_polygons) ||
        !ReallocRetry(sizeof(LBasePoint*) * (n + 1), &m_points) ||
        !ReallocRetry(sizeof(LMaterialCacheList*) * (n + 1), &m_caches))
        return -1;
    m_polygons[n] = new LDataLink();
    m_points[n] = new LBasePoint(m_world);
    m_caches[n] = new LMaterialCacheList();
    m_frameCount = n + 1;
    if (LTrackRecord* main = FindTrack(kMainTrack)) {
        main->last = n;
    } else {
        LTrackRecord values = {};
        values.last = n;
        AddTrack(kMainTrack, values);
    }
    if (!m_currentTrack) m_currentTrack = FindTrack(kMainTrack);
    if (m_currentFrame < 0) m_currentFrame = 0;
    SyncOwnerPoints();
    return n;
}

void LMultiBasePoly::DeletePolygon(LPolygon* polygon) {
    if (L3DWorld* world = m_world)
        world->DeletePolygon(polygon);
    else
        delete polygon;
}

void LMultiBasePoly::DestroyFrame(int32_t index, int32_t destroy) {
    delete m_caches[index];  // caches before the polygons they list
    LDataLink* list = m_polygons[index];
    if (destroy)
        for (LDataNode* n = list->GetHead(); n; n = n->next) DeletePolygon(static_cast<LPolygon*>(n->value));
    delete list;
    if (!destroy) m_points[index]->SetFlags(m_points[index]->GetFlags() & ~uint32_t(LBasePoint::kDestroyUnused));
    delete m_points[index];
}

void LMultiBasePoly::DeleteBase(int32_t index, int32_t destroy) {
    if (index == kAllFrames) {
        while (m_frameCount > 0) DeleteBase(m_frameCount - 1, destroy);
        return;
    }
    if (index < 0 || index >= m_frameCount) return;
    DestroyFrame(index, destroy);
    for (int32_t i = index; i + 1 < m_frameCount; ++i) {
        m_polygons[i] = m_polygons[i + 1];
        m_points[i] = m_points[i + 1];
        m_caches[i] = m_caches[i + 1];
    }
    if (--m_frameCount == 0) {
        FreeAndNull(&m_polygons);
        FreeAndNull(&m_points);
        FreeAndNull(&m_caches);
        m_currentFrame = -1;
        m_emptied = 1;
    } else if (m_currentFrame >= m_frameCount) {
        m_currentFrame = m_frameCount - 1;
    }
    SyncOwnerPoints();
}

LDataLink* LMultiBasePoly::GetPolygonListAt(int32_t index) const {
    return index >= 0 && index < m_frameCount ? m_polygons[index] : nullptr;
}

LPolygon* LMultiBasePoly::GetPolygon(int32_t id) const {
    LDataLink* list = GetPolygonList();
    return list ? static_cast<LPolygon*>(list->GetValueAt(id)) : nullptr;
}

void LMultiBasePoly::ClearFrame(LDataLink* list, int32_t n) {
    if (!list || n < 0 || n >= m_frameCount || m_polygons[n] != list) return;
    while (LDataNode* node = list->GetHead()) {
        static_cast<LPolygon*>(node->value)->useCount = 0;
        list->RemoveNode(node, 1);
    }
    // Every cache goes, also one still listing a polygon under the material
    // it had when it was cached.
    m_caches[n]->DeleteAt(-1);
    m_currentFrame = n;
    SyncOwnerPoints();
}

LMaterialCacheList* LMultiBasePoly::GetCacheListAt(int32_t index) const {
    return index >= 0 && index < m_frameCount ? m_caches[index] : nullptr;
}

LDataLink* LMultiBasePoly::GetPolygonList() const { return GetPolygonListAt(m_currentFrame); }

LBasePoint* LMultiBasePoly::GetPoints() const {
    return m_currentFrame >= 0 && m_currentFrame < m_frameCount ? m_points[m_currentFrame] : nullptr;
}

LMaterialCacheList* LMultiBasePoly::GetCacheList() const {
    return m_currentFrame >= 0 && m_currentFrame < m_frameCount ? m_caches[m_currentFrame] : nullptr;
}

int32_t LMultiBasePoly::IndexOfPolygon(const LPolygon* polygon) const {
    const LDataLink* list = GetPolygonList();
    return list ? list->IndexOf(polygon) : -1;
}

int32_t LMultiBasePoly::CountPolygonsInFrame() const {
    const LDataLink* list = GetPolygonList();
    return list ? list->GetCount() : -1;
}

int32_t LMultiBasePoly::AddPolygonToList(LDataLink* list, LPolygon* polygon) {
    if (!GetPolygonList() || !list || !polygon) return kNoFrame;
    LDataNode* node = list->FindNode(polygon);
    if (!node) {
        node = list->InsertAfter(polygon, nullptr);
        if (!node) return kNoFrame;
        if (list == GetPolygonList() && polygon->material) GetCacheList()->AddPolygon(polygon->material, polygon);
    }
    ++node->referenceCount;
    ++polygon->useCount;
    return 0;
}

int32_t LMultiBasePoly::AppendNewPolygon(LPolygon* polygon) {
    LDataLink* list = GetPolygonList();
    if (!list || !polygon) return kNoFrame;
    LDataNode* node = list->InsertAfter(polygon, nullptr);
    if (!node) return kNoFrame;
    if (polygon->material) GetCacheList()->AddPolygon(polygon->material, polygon);
    ++node->referenceCount;
    ++polygon->useCount;
    return 0;
}

int32_t LMultiBasePoly::AddPolygonToFrame(LPolygon* polygon) {
    LDataLink* list = GetPolygonList();
    return list ? AddPolygonToList(list, polygon) : 0;
}

int32_t LMultiBasePoly::RemovePolygon(LPolygon* polygon, int32_t destroy) {
    LDataLink* list = GetPolygonList();
    LDataNode* node = list ? list->FindNode(polygon) : nullptr;
    if (!node) return 0;
    if (polygon->useCount > 0) --polygon->useCount;
    if (list->RemoveNode(node, 0) == 1) {
        GetCacheList()->RemovePolygon(polygon->material, polygon);
        if (destroy) DeletePolygon(polygon);
    }
    return 1;
}

void LMultiBasePoly::CopyBases(const LMultiBasePoly& source) {
    if (&source == this) return;  // a copy of itself would grow while it is read
    if (source.m_frameCount == 0) {
        AddBase();
        m_emptied = 1;
        return;
    }
    L3DWorld* world = m_world;
    for (int32_t f = 0; f < source.m_frameCount; ++f) {
        const int32_t saved = m_currentFrame;
        const int32_t index = AddBase();
        if (index < 0) return;
        delete m_points[index];
        m_points[index] = new LBasePoint(*source.m_points[f], world);
        m_currentFrame = index;  // AddPolygonToFrame works on the current frame
        for (LDataNode* n = source.m_polygons[f]->GetHead(); n; n = n->next) {
            const auto* from = static_cast<const LPolygon*>(n->value);
            LPolygon* copy = world ? world->CreatePolygon(m_owner, 2, from->callback) : nullptr;
            if (!copy) continue;
            copy->SetMaxPoints(from->GetMaxPoints());
            for (int i = 0; i < from->count; ++i) {
                L3DPoint* p = m_points[index]->GetPoint(source.m_points[f]->IndexOf(from->points[i]));
                if (p) copy->points[copy->count++] = p;  // the copied list already counts its uses
            }
            std::memcpy(copy->uv, from->uv, sizeof copy->uv);
            copy->material = from->material;
            copy->ComputePlanes(0);
            AddPolygonToFrame(copy);
        }
        m_currentFrame = saved < 0 ? index : saved;
    }
}

void LMultiBasePoly::MergeDuplicatePolygons() {
    for (int32_t f = 0; f < m_frameCount; ++f) {
        LDataLink* list = m_polygons[f];
        if (list->GetCount() < 2) continue;
        for (LDataNode* n = list->GetHead(); n; n = n->next) {
            const LMaterial* material = static_cast<LPolygon*>(n->value)->material;
            // Gather the later polygons of this material right after n.
            LDataNode* tail = n;
            for (LDataNode* m = n->next; m;) {
                LDataNode* next = m->next;
                if (static_cast<LPolygon*>(m->value)->material == material) {
                    if (m != tail->next) list->MoveBefore(m, tail->next);
                    tail = m;
                }
                m = next;
            }
            n = tail;
        }
        list->RebuildIndex();
    }
}

void LMultiBasePoly::SaveBases(LChunkStream& out) {
    out.WriteU16(uint32_t(m_frameCount));
    for (int32_t f = 0; f < m_frameCount; ++f) {
        // Polygons write their vertex indices in the owner's array.
        if (m_owner) m_owner->points = m_points[f];
        m_points[f]->Save(out);
        out.WriteU16(uint32_t(m_polygons[f]->GetCount()));
        for (LDataNode* n = m_polygons[f]->GetHead(); n; n = n->next) static_cast<LPolygon*>(n->value)->Save(out);
    }
    SyncOwnerPoints();
    const int32_t start = out.BeginChunk(ChunkTag("OANM"));
    const LTrackRecord* main = FindTrack(kMainTrack);
    out.WriteU16(main ? uint32_t(main->first) : 0u);
    out.WriteU16(main ? uint32_t(main->last) : 30u);
    out.WriteU16(uint32_t(m_currentFrame));
    out.WriteU16(uint32_t(m_tracks.GetCount()));
    for (LDataNode* n = m_tracks.GetHead(); n; n = n->next) {
        const LTrackRecord* t = TrackOf(n);
        const uint16_t values[6] = {uint16_t(t->first),   uint16_t(t->last),    uint16_t(t->start),
                                    uint16_t(t->pass[0]), uint16_t(t->pass[1]), uint16_t(t->pass[2])};
        if (COutStream* stream = out.GetStream()) WriteNamedRecord(*stream, t->name, t->mode, values);
    }
    out.WriteU32(uint32_t(m_mode));
    out.EndChunk(start);
}
