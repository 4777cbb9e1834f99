#include "engine3d/octree.h"

#include "engine3d/camera_view.h"
#include "engine3d/chunk_stream.h"
#include "engine3d/material.h"
#include "engine3d/material_cache.h"
#include "engine3d/point.h"
#include "engine3d/pointer_index.h"
#include "engine3d/polygon.h"
#include "engine3d/vec3.h"
#include "engine3d/world.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unordered_set>
#include <vector>

namespace {

float PlaneDistance(const float* plane, const float* p) {
    return plane[0] * p[0] + plane[1] * p[1] + plane[2] * p[2] - plane[3];
}

bool Finite(const float* p) { return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]); }

bool AllFinite(const LPolygon* polygon) {
    for (int i = 0; i < polygon->count; ++i)
        if (!Finite(polygon->points[i]->local)) return false;
    return true;
}

// Destroys every material cache of the object's current frame at once (one
// by one, each removal would search the cache's remaining triangles).
void DropCaches(L3DObject* object) {
    LMaterialCacheList* caches = object->GetCacheList();
    if (!caches) return;
    for (LDataNode* n = caches->GetHead(); n; n = n->next)
        for (LDataNode* t = static_cast<LCacheMaterial*>(n->value)->GetHead(); t; t = t->next)
            static_cast<LPolygon*>(t->value)->inCache = 0;
    caches->DeleteAt(-1);
}

std::vector<LPolygon*> PolygonsOf(L3DObject* object) {
    std::vector<LPolygon*> out;
    if (LDataLink* list = object->GetPolygonList()) {
        out.reserve(size_t(list->GetCount()));
        for (LDataNode* n = list->GetHead(); n; n = n->next) out.push_back(static_cast<LPolygon*>(n->value));
    }
    return out;
}

// Clip planes in the order of the clipping, with their OutCode bits.
struct ClipStep {
    uint32_t bit;
    int32_t plane;
};
const ClipStep kClipOrder[6] = {{L3DOctreeNode::kOutZHigh, L3DOctreeNode::kZHigh},
                                {L3DOctreeNode::kOutZLow, L3DOctreeNode::kZLow},
                                {L3DOctreeNode::kOutXLow, L3DOctreeNode::kXLow},
                                {L3DOctreeNode::kOutXHigh, L3DOctreeNode::kXHigh},
                                {L3DOctreeNode::kOutYLow, L3DOctreeNode::kYLow},
                                {L3DOctreeNode::kOutYHigh, L3DOctreeNode::kYHigh}};
// The order of the point and sphere tests.
const int32_t kTestOrder[6] = {L3DOctreeNode::kZHigh, L3DOctreeNode::kZLow, L3DOctreeNode::kXHigh,
                               L3DOctreeNode::kXLow,  L3DOctreeNode::kYHigh, L3DOctreeNode::kYLow};

// The temporary vertices of one clipping, released through the world.
class TemporaryVertices {
public:
    explicit TemporaryVertices(L3DWorld* world) : m_world(world) {}
    TemporaryVertices(const TemporaryVertices&) = delete;
    TemporaryVertices& operator=(const TemporaryVertices&) = delete;
    ~TemporaryVertices() { Release(); }
    L3DPoint* Between(const L3DPoint* a, const L3DPoint* b, float t) {
        float p[3], n[3];
        Vec3Lerp(a->local, b->local, t, p);
        Vec3Lerp(a->normal, b->normal, t, n);
        L3DPoint* v = m_world->CreatePoint(p[0], p[1], p[2], a->u + (b->u - a->u) * t, a->v + (b->v - a->v) * t);
        if (!v) return nullptr;
        Vec3Copy(n, v->normal);
        Vec3Set(L3DOctreeNode::kTemporaryMark, L3DOctreeNode::kTemporaryMark, L3DOctreeNode::kTemporaryMark, v->world);
        m_made.push_back(v);
        return v;
    }
    void Release() {
        for (L3DPoint* v : m_made) m_world->DeletePoint(v);
        m_made.clear();
    }

private:
    L3DWorld* m_world;
    std::vector<L3DPoint*> m_made;
};

// Takes the vertices handed to children out of a splitting node's list
// (they are the children's now). The others stay with their use counts;
// when no polygon is left they are destroyed and the list is emptied.
void ReleaseHanded(LBasePoint* points, const LPointerIndex& handed, bool nothingLeft) {
    const uint32_t flags = points->GetFlags();
    L3DWorld* world = points->GetWorld();
    std::vector<std::pair<L3DPoint*, int32_t>> kept;
    for (int32_t i = 0; i < points->GetCount(); ++i) {
        L3DPoint* p = points->GetPoint(i);
        const int32_t code = handed.Find(p);
        if (code >= 0 && (code & L3DOctreeNode::kHandedChild) < 8) continue;
        if (!nothingLeft)
            kept.emplace_back(p, points->GetUseCount(i));
        else if (flags & LBasePoint::kDestroyUnused) {
            if (world)
                world->DeletePoint(p);
            else
                delete p;
        }
    }
    points->SetFlags(flags & ~uint32_t(LBasePoint::kDestroyUnused));
    points->Clear();  // forgets every entry, destroys none
    points->DisableSharing();
    for (const auto& entry : kept) points->SetUseCount(points->AddExistingPoint(entry.first), entry.second);
    points->SetFlags(flags);
}

// The camera's box test over the eight corners of [low, high] in camera
// space: outside when every corner is outside one plane, inside when none
// is outside any. The corners come from the node's own bounds (where its
// box object's corners lie): the pass over a large tree then reads no
// vertex objects, whose loads from all over the heap were most of its time.
int32_t CameraBoxTest(const LCameraView& camera, const float* low, const float* high) {
    uint32_t any = 0, all = ~0u;
    for (int32_t i = 0; i < 8; ++i) {
        float corner[3], c[3];
        L3DObject::BoxCorner(i, low, high, corner);
        camera.ToCamera(corner, c);
        const uint32_t code = camera.PointOutcode(c);
        any |= code;
        all &= code;
    }
    if (all) return L3DOctreeNode::kOutside;
    return any ? L3DOctreeNode::kCrossing : L3DOctreeNode::kInside;
}

}  // namespace

L3DOctreeNode::L3DOctreeNode(const float* low, const float* high, L3DWorld* world, L3DOctreeNode* parent)
    : L3DObject("Octree", world, nullptr) {
    SetKind(kKindOctree);
    for (int a = 0; a < 3; ++a) {
        m_min[a] = low[a];
        m_max[a] = high[a];
    }
    m_depth = parent ? parent->m_depth + 1 : 0;
    PlaceBox();
    ComputeBounds();
    ComputePlanes();
    if (LMaterialCacheList* caches = GetCacheList()) caches->SetClip();
}

L3DOctreeNode::~L3DOctreeNode() {
    if (!GetParent()) ReleaseMaterialLinks();
}

void L3DOctreeNode::ReleaseMaterialLinks() {
    // Each polygon's destructor would take it out of its material's list by
    // itself, every removal walking the list from its head: the whole tree's
    // polygons leave in one walk per material instead.
    std::unordered_set<const void*> mine;
    std::unordered_set<LMaterial*> materials;
    std::vector<L3DOctreeNode*> pending{this};
    while (!pending.empty()) {
        L3DOctreeNode* node = pending.back();
        pending.pop_back();
        for (LPolygon* polygon : PolygonsOf(node)) {
            if (!polygon->material || !polygon->materialNode) continue;
            mine.insert(polygon);
            materials.insert(polygon->material);
            polygon->materialNode = nullptr;
        }
        for (int32_t i = 0; i < 8; ++i)
            if (L3DOctreeNode* child = node->GetChild(i)) pending.push_back(child);
    }
    const auto isMine = [](const void* value, const void* set) {
        return static_cast<const std::unordered_set<const void*>*>(set)->count(value) > 0;
    };
    for (LMaterial* material : materials) material->RemoveWhere(isMine, &mine);
}

void L3DOctreeNode::PlaceBox() {
    L3DObject* box = GetBox();
    LBasePoint* corners = box ? box->GetPoints() : nullptr;
    if (!corners) return;
    for (int32_t i = 0; i < 8 && i < corners->GetCount(); ++i) {
        L3DPoint* c = corners->GetPoint(i);
        BoxCorner(i, m_min, m_max, c->local);
        Vec3Copy(c->local, c->world);  // the node stays at the origin
    }
    if (LDataLink* faces = box->GetPolygonList())
        for (LDataNode* n = faces->GetHead(); n; n = n->next) static_cast<LPolygon*>(n->value)->ComputePlanes(0);
}

void L3DOctreeNode::RefreshBox(int32_t /*refresh*/) { PlaceBox(); }

void L3DOctreeNode::ComputeBounds() {
    float diagonal[3];
    for (int a = 0; a < 3; ++a) {
        m_centre[a] = m_min[a] + (m_max[a] - m_min[a]) * 0.5f;
        if (!std::isfinite(m_centre[a])) m_centre[a] = m_min[a] * 0.5f + m_max[a] * 0.5f;  // no overflow
        diagonal[a] = m_min[a] - m_max[a];
    }
    m_radius = 0.5f * std::sqrt(Vec3Dot(diagonal, diagonal));
}

void L3DOctreeNode::ComputePlanes() {
    // Each face's inward normal is a unit axis: the normal of its three
    // corners, and still a valid plane when the box is flat on an axis (the
    // corners' cross product would then be zero and hold every point).
    static const float kNormals[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, -1, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, -1}};
    const float* on[6] = {m_min, m_max, m_max, m_min, m_min, m_max};
    const int axis[6] = {0, 0, 1, 1, 2, 2};
    for (int32_t i = 0; i < 6; ++i) {
        Vec3Copy(kNormals[i], m_planes[i]);
        m_planes[i][3] = kNormals[i][axis[i]] * on[i][axis[i]];
    }
}

int32_t L3DOctreeNode::ContainsPoint(const float* point) const {
    for (int32_t plane : kTestOrder)
        if (!(PlaneDistance(m_planes[plane], point) >= 0.0f)) return 0;  // NaN lies nowhere
    return 1;
}

int32_t L3DOctreeNode::ClassifySphere(const float* centre, float radius) const {
    int32_t result = kInside;
    for (int32_t plane : kTestOrder) {
        const float s = PlaneDistance(m_planes[plane], centre);
        if (std::isnan(s)) return kOutside;
        if (s <= 0.0f && -s >= radius) return kOutside;
        if (s <= 0.0f || s < radius) result = kCrossing;
    }
    return result;
}

int32_t L3DOctreeNode::TouchesPolygon(const LPolygon* polygon) const {
    if (polygon->count < 1) return 0;
    float centre[3] = {0, 0, 0};
    for (int i = 0; i < polygon->count; ++i) {
        if (ContainsPoint(polygon->points[i]->local)) return 1;
        Vec3Add(centre, polygon->points[i]->local, centre);
    }
    Vec3Scale(centre, 1.0f / float(polygon->count), centre);
    const int32_t answer = ClassifySphere(centre, float(polygon->radius));
    return answer == kInside || answer == kCrossing ? 1 : 0;
}

uint32_t L3DOctreeNode::OutCode(L3DPoint* const* vertices, int32_t count) const {
    uint32_t code = 0;
    for (int32_t i = 0; i < count; ++i) {
        const float* p = vertices[i]->local;
        if (PlaneDistance(m_planes[kZHigh], p) < 0.0f) code |= kOutZHigh;
        if (PlaneDistance(m_planes[kZLow], p) < 0.0f) code |= kOutZLow;
        if (PlaneDistance(m_planes[kXHigh], p) < 0.0f) code |= kOutXHigh;
        if (PlaneDistance(m_planes[kXLow], p) < 0.0f) code |= kOutXLow;
        if (PlaneDistance(m_planes[kYHigh], p) < 0.0f) code |= kOutYHigh;
        if (PlaneDistance(m_planes[kYLow], p) <= 0.0f) code |= kOutYLow;
    }
    return code;
}

L3DOctreeNode* L3DOctreeNode::GetChild(int32_t i) const {
    LDataLink* children = GetChildren();
    if (!children || i < 0) return nullptr;
    LDataNode* n = children->GetHead();
    for (; n && i > 0; --i) n = n->next;
    return n ? static_cast<L3DOctreeNode*>(n->value) : nullptr;
}

void L3DOctreeNode::Split() {
    ComputeBounds();
    char name[kMaxNameLength + 16];
    char parentName[kMaxNameLength + 1];
    GetName(parentName, sizeof parentName);
    for (int32_t i = 0; i < 8; ++i) {
        float low[3], high[3];
        const int bits[3] = {1, 4, 2};  // x, y, z
        for (int a = 0; a < 3; ++a) {
            const bool upper = (i & bits[a]) != 0;
            low[a] = upper ? m_centre[a] : m_min[a];
            high[a] = upper ? m_max[a] : m_centre[a];
        }
        auto* child = new L3DOctreeNode(low, high, GetWorld(), this);
        std::snprintf(name, sizeof name, " %s-%d", parentName, int(i));
        name[kMaxNameLength] = '\0';  // names hold at most 255 characters
        child->SetName(name);
        child->SetParent(this, 1);
    }
}

int32_t L3DOctreeNode::FirstChildHolding(const float* point, const float* split) const {
    // The children tile this box and meet at `split`; of the closed child
    // boxes holding the point, the first is on each axis the lower one
    // unless the point lies above the split. The same answer as testing
    // each child's planes in turn (with unit normals each plane test is an
    // exact comparison), without the up to 48 plane tests per vertex.
    static const int32_t kBits[3] = {1, 4, 2};  // x, y, z
    int32_t child = 0;
    for (int a = 0; a < 3; ++a) {
        const float c = point[a];
        if (!(c >= m_min[a] && c <= m_max[a])) return -1;  // NaN too
        if (c > split[a]) child |= kBits[a];
    }
    return child;
}

L3DPoint* L3DOctreeNode::CopyVertex(const L3DPoint* from, int32_t use) {
    LBasePoint* points = GetPoints();
    L3DPoint* copy = points->AddPoint(from->local[0], from->local[1], from->local[2], from->u, from->v, use);
    if (!copy) return nullptr;
    Vec3Copy(from->normal, copy->normal);
    Vec3Copy(from->local, copy->world);
    return copy;
}

void L3DOctreeNode::Take(LPolygon* polygon, bool refresh) {
    // AddPolygon with refresh for an object outside the world's list,
    // without its search for the polygon in the list (it is in none).
    if (polygon->count != 3 && polygon->count != 4) return;
    AppendNewPolygon(polygon);
    if (refresh) polygon->ComputePlanes(0);
}

void L3DOctreeNode::TakeOut(L3DObject* source, LPolygon* polygon) {
    // Out of the source's list and material caches; the polygon lives on.
    source->RemovePolygon(polygon, 0);
}

void L3DOctreeNode::AddMesh(L3DObject* source) {
    if (!source || !GetPoints()) return;
    auto* root = static_cast<L3DOctreeNode*>(GetRoot());
    if (source->GetKind() != kKindOctree && root->GetKind() == kKindOctree)
        root->m_piecesLeft += 2 * int64_t(source->GetNPolygons(0)) + 4096;
    const int64_t total = int64_t(GetNPolygons(0)) + (source == this ? 0 : source->GetNPolygons(0));
    if (source != this && (total < kMaxPolygons || m_depth >= kMaxDepth)) {
        AbsorbAll(source);
        return;
    }
    if (source == this && m_depth >= kMaxDepth) return;  // the deepest level keeps what it holds
    if (!GetChildren()) Split();
    L3DOctreeNode* children[8];
    for (int32_t i = 0; i < 8; ++i) children[i] = GetChild(i);

    DropCaches(source);  // every polygon that moves would leave them; Redistribute refills
    // Where each polygon goes: a child (0..7), clipped pieces (8) or
    // nowhere (-1). The children's vertex lists grow once for it all.
    const std::vector<LPolygon*> polygons = PolygonsOf(source);
    std::vector<int8_t> target(polygons.size(), -1);
    int64_t room[8] = {};
    for (L3DOctreeNode* child : children)
        if (!child) return;  // no children to be had: everything stays
    const float* split = children[0]->m_max;  // where the children meet
    for (size_t k = 0; k < polygons.size(); ++k) {
        LPolygon* p = polygons[k];
        if (p->count < 3 || !AllFinite(p)) continue;
        const int32_t first = FirstChildHolding(p->points[0]->local, split);
        if (first < 0) continue;
        int32_t same = first;
        for (int i = 1; i < p->count && same >= 0; ++i)
            if (FirstChildHolding(p->points[i]->local, split) != first) same = -1;
        target[k] = int8_t(same >= 0 ? same : 8);
        if (same >= 0)
            room[same] += p->count;
        else
            for (int64_t& r : room) r += kMaxClipVertices;
    }
    for (int32_t i = 0; i < 8; ++i)
        if (room[i] > 0) children[i]->GetPoints()->Reserve(int32_t(children[i]->GetPoints()->GetCount() + room[i]));

    // The polygons leave the source's list in its order, each from near its
    // head: with the list's index repair off, each removal is a few steps
    // (the index is rebuilt once, on next use).
    LDataLink* sourceList = source->GetPolygonList();
    const int32_t indexSwitch = sourceList ? sourceList->GetIndexSwitch() : 1;
    if (sourceList) sourceList->SetIndexSwitch(0);
    // A node splitting itself hands its vertices down instead of copying
    // them at every level; a vertex of a polygon that stays is kept here.
    LBasePoint* ownPoints = source == this ? GetPoints() : nullptr;
    std::unique_ptr<LPointerIndex> handed;
    if (ownPoints) {
        handed = std::make_unique<LPointerIndex>(size_t(ownPoints->GetCount()));
        for (size_t k = 0; k < polygons.size(); ++k)
            if (target[k] < 0)
                for (int i = 0; i < polygons[k]->count; ++i) handed->Set(polygons[k]->points[i], kHandedChild);
    }
    for (size_t k = 0; k < polygons.size(); ++k) {
        if (target[k] == 8)
            SplitPolygon(source, polygons[k]);
        else if (target[k] >= 0)
            MoveWhole(source, polygons[k], target[k], handed.get());
    }
    if (sourceList) sourceList->SetIndexSwitch(indexSwitch);
    // A mesh that gave up every polygon gives up its vertices too; so does
    // a node that split itself (Redistribute passes over a node without
    // polygons, which would keep every level's vertices until the end).
    if (ownPoints)
        ReleaseHanded(ownPoints, *handed, GetNPolygons(0) == 0);
    else if (source->GetNPolygons(0) == 0)
        if (LBasePoint* points = source->GetPoints()) points->Clear();
    // A child re-splits only when some polygon came to it whole: one filled
    // with pieces of polygons that span it would get them back as pieces
    // at every level.
    int32_t whole[8] = {};
    for (int8_t t : target)
        if (t >= 0 && t < 8) ++whole[t];
    for (int32_t i = 0; i < 8; ++i)
        if (children[i]->GetNPolygons(0) > kMaxPolygons && whole[i] > 0 && root->m_piecesLeft > 0)
            children[i]->AddMesh(children[i]);
}

void L3DOctreeNode::AbsorbAll(L3DObject* source) {
    LBasePoint* from = source->GetPoints();
    LBasePoint* to = GetPoints();
    if (!from) return;
    DropCaches(source);
    const int32_t base = to->GetCount();
    to->Reserve(base + from->GetCount());
    const int32_t sharing = to->IsSharing();
    to->DisableSharing();
    LPointerIndex copies(size_t(from->GetCount()));  // source vertex -> its copy's place in this list
    for (int32_t i = 0; i < from->GetCount(); ++i) {
        const L3DPoint* p = from->GetPoint(i);
        if (L3DPoint* copy = CopyVertex(p, from->GetUseCount(i))) {
            copy->useByte = p->useByte;
            copies.Set(p, to->GetCount() - 1);
        }
    }
    if (sharing) to->EnableSharing();
    for (LPolygon* p : PolygonsOf(source)) {
        TakeOut(source, p);
        p->owner = this;
        for (int i = 0; i < p->count; ++i) {
            const int32_t found = copies.Find(p->points[i]);
            if (found >= 0) p->points[i] = to->GetPoint(found);
        }
        Take(p, true);
    }
    from->Clear();
}

void L3DOctreeNode::MoveWhole(L3DObject* source, LPolygon* polygon, int32_t childIndex, LPointerIndex* handed) {
    L3DOctreeNode* child = GetChild(childIndex);
    LBasePoint* to = child->GetPoints();
    const int32_t sharing = to->IsSharing();
    to->DisableSharing();
    // Copies first, the one step that can fail: every vertex of a polygon
    // from a mesh; from a node splitting itself, only a vertex that another
    // child or a polygon staying behind holds (the rest are handed over).
    L3DPoint* next[4] = {};
    for (int i = 0; i < polygon->count; ++i) {
        const int32_t code = handed ? handed->Find(polygon->points[i]) : -1;
        if (handed && (code < 0 || (code & kHandedChild) == childIndex)) continue;
        next[i] = child->CopyVertex(polygon->points[i], 1);
        if (!next[i]) {
            if (sharing) to->EnableSharing();
            return;  // no vertex to be had: the polygon stays where it was
        }
        next[i]->useByte = 1;
    }
    for (int i = 0; i < polygon->count; ++i) {
        if (next[i]) continue;
        L3DPoint* v = polygon->points[i];
        const int32_t code = handed->Find(v);
        if (code >= 0) {  // handed to this child by an earlier polygon: shared
            const int32_t at = code / kHandedSlots;
            to->SetUseCount(at, to->GetUseCount(at) + 1);
            ++v->useByte;
        } else {
            const int32_t at = to->AddExistingPoint(v);  // sharing off: appended with one use
            v->useByte = 1;
            handed->Set(v, at * kHandedSlots + childIndex);
        }
        next[i] = v;
    }
    if (sharing) to->EnableSharing();
    TakeOut(source, polygon);
    for (int i = 0; i < polygon->count; ++i) polygon->points[i] = next[i];
    polygon->owner = child;
    // A polygon passed on by a node that splits itself keeps its corners'
    // positions, so the planes it got on entering the tree still hold.
    child->Take(polygon, source->GetKind() != kKindOctree);
}

void L3DOctreeNode::SplitPolygon(L3DObject* source, LPolygon* polygon) {
    L3DWorld* world = GetWorld();
    L3DOctreeNode* children[8];
    bool touches[8];
    for (int32_t i = 0; i < 8; ++i) {
        children[i] = GetChild(i);
        touches[i] = children[i] && children[i]->TouchesPolygon(polygon);
    }
    // The polygon leaves its source and becomes the first piece made (its
    // material's list keeps it where it is); its own vertices are read
    // from this copy.
    TakeOut(source, polygon);
    L3DPoint* original[4];
    const int32_t corners = polygon->count;
    for (int32_t i = 0; i < corners; ++i) original[i] = polygon->points[i];
    LPolygon* reuse = polygon;
    int64_t pieces = 0;
    for (int32_t childIndex = 0; childIndex < 8; ++childIndex) {
        if (!touches[childIndex]) continue;
        L3DOctreeNode* child = children[childIndex];
        TemporaryVertices temporary(world);
        L3DPoint* lists[2][kMaxClipVertices];
        L3DPoint** work = lists[0];
        int32_t count = corners;
        for (int32_t i = 0; i < count; ++i) work[i] = original[i];
        const uint32_t code = child->OutCode(work, count);
        for (const ClipStep& step : kClipOrder) {
            if (!(code & step.bit) || count < 3) continue;
            const float* plane = child->m_planes[step.plane];
            L3DPoint** next = work == lists[0] ? lists[1] : lists[0];
            int32_t kept = 0;
            const L3DPoint* previous = work[count - 1];
            float sp = PlaneDistance(plane, previous->local);
            for (int32_t i = 0; i < count && kept >= 0; ++i) {
                L3DPoint* current = work[i];
                const float sc = PlaneDistance(plane, current->local);
                if ((sp >= 0.0f) != (sc >= 0.0f)) {
                    const float difference = sp - sc;
                    L3DPoint* made = kept < kMaxClipVertices
                                         ? temporary.Between(previous, current, difference != 0.0f ? sp / difference : 0.0f)
                                         : nullptr;
                    if (made)
                        next[kept++] = made;
                    else
                        kept = -1;
                }
                if (kept >= 0 && sc >= 0.0f) {
                    if (kept < kMaxClipVertices)
                        next[kept++] = current;
                    else
                        kept = -1;
                }
                previous = current;
                sp = sc;
            }
            work = next;
            count = kept < 0 ? 0 : kept;
        }
        // A piece lying in a face shared with a lower sibling (a polygon in
        // the split plane, or any polygon of a box flat on that axis) is
        // that sibling's: it would otherwise be kept twice.
        const int bits[3] = {1, 4, 2};
        for (int a = 0; a < 3 && count >= 3; ++a) {
            if (!(childIndex & bits[a])) continue;
            bool inFace = true;
            for (int32_t i = 0; i < count && inFace; ++i) inFace = work[i]->local[a] <= child->m_min[a];
            if (inFace) count = 0;
        }
        if (count >= 3) pieces += child->AddPiece(polygon->material, work, count, reuse);
    }
    if (reuse) {
        // No piece: the polygon goes.
        if (world)
            world->DeletePolygon(reuse);
        else
            delete reuse;
    }
    auto* root = static_cast<L3DOctreeNode*>(GetRoot());
    if (root->GetKind() == kKindOctree) root->m_piecesLeft -= pieces;
}

int32_t L3DOctreeNode::AddPiece(LMaterial* material, L3DPoint* const* vertices, int32_t count, LPolygon*& reuse) {
    L3DWorld* world = GetWorld();
    LBasePoint* to = GetPoints();
    const int32_t base = to->GetCount();
    const int32_t sharing = to->IsSharing();
    to->DisableSharing();
    L3DPoint* copies[kMaxClipVertices] = {};
    int32_t made = 0;
    for (; made < count; ++made) {
        copies[made] = CopyVertex(vertices[made], 0);
        if (!copies[made]) break;
        // Clipping rounds: each copy is held inside this node's box.
        for (int a = 0; a < 3; ++a) {
            float& c = copies[made]->local[a];
            c = std::fmin(std::fmax(c, m_min[a]), m_max[a]);
            copies[made]->world[a] = c;
        }
        copies[made]->material = material;
    }
    if (sharing) to->EnableSharing();
    int32_t pieces = 0;
    for (int32_t k = 1; k + 1 < made; ++k, ++pieces) {
        LPolygon* piece = reuse;
        if (piece) {
            reuse = nullptr;
            piece->owner = this;
        } else {
            piece = world ? world->CreatePolygon(this, 2, nullptr) : nullptr;
            if (!piece) break;
        }
        const int32_t corner[3] = {0, k, k + 1};
        for (int i = 0; i < 3; ++i) {
            L3DPoint* v = copies[corner[i]];
            piece->points[i] = v;
            piece->uv[i][0] = v->u;
            piece->uv[i][1] = v->v;
            ++v->useByte;
            to->SetUseCount(base + corner[i], to->GetUseCount(base + corner[i]) + 1);
        }
        piece->points[3] = nullptr;
        piece->count = 3;
        piece->RecomputeRadius();
        if (material && piece->material != material) piece->SetMaterial(material);  // a material lists triangles only
        Take(piece, true);
    }
    return pieces;
}

void L3DOctreeNode::Redistribute(int32_t force) {
    LBasePoint* points = GetPoints();
    LMaterialCacheList* caches = GetCacheList();
    if (points && GetNPolygons(0) > 0) {
        if (force) DropCaches(this);  // every polygon joins its cache again below
        LPointerIndex index(size_t(points->GetCount()));
        for (int32_t i = 0; i < points->GetCount(); ++i) {
            L3DPoint* p = points->GetPoint(i);
            points->SetUseCount(i, 0);
            p->useByte = 0;
            p->material = nullptr;
            Vec3Copy(p->local, p->world);
            index.Set(p, i);
        }
        for (LPolygon* polygon : PolygonsOf(this)) {
            bool copied = false;
            for (int i = 0; i < polygon->count; ++i) {
                L3DPoint* p = polygon->points[i];
                int32_t found = index.Find(p);
                if (found < 0) continue;  // not this node's: left alone
                if (p->material && p->material != polygon->material) {
                    const int32_t sharing = points->IsSharing();
                    points->DisableSharing();
                    L3DPoint* copy = points->AddPoint(p->local[0], p->local[1], p->local[2], p->u, p->v, 0);
                    if (sharing) points->EnableSharing();
                    if (copy) {
                        Vec3Copy(p->world, copy->world);
                        Vec3Copy(p->normal, copy->normal);
                        found = points->GetCount() - 1;
                        index.Set(copy, found);
                        polygon->points[i] = p = copy;
                        copied = true;
                    }
                }
                p->material = polygon->material;
                ++p->useByte;
                points->SetUseCount(found, points->GetUseCount(found) + 1);
            }
            if ((force || copied) && polygon->material && caches) {
                if (polygon->inCache && !force) caches->RemovePolygon(polygon->material, polygon);
                caches->AddPolygon(polygon->material, polygon);
            }
            polygon->ComputePlanes(0);
            polygon->ComputeGroundBox();
        }
        points->RemoveUnused();
    }
    SetFlagBit2();
    if (LDataLink* children = GetChildren())
        for (LDataNode* n = children->GetHead(); n; n = n->next) static_cast<L3DOctreeNode*>(n->value)->Redistribute(force);
    RefreshBox(1);
}

float L3DOctreeNode::GroundDistance(const float* point) const {
    float best = kNoGround;
    if (!PointNearBoxXZ(point)) return best;  // the children lie inside this box
    // Ground boxes are integers: a point beyond their range finds nothing.
    const bool inRange = point[0] >= -2147483648.0f && point[0] < 2147483648.0f && point[2] >= -2147483648.0f &&
                         point[2] < 2147483648.0f;
    if (inRange && std::isfinite(point[1])) {
        const int32_t x = int32_t(point[0]), z = int32_t(point[2]);
        const float down[3] = {0.0f, -10.0f, 0.0f};
        const auto test = [&](const LPolygon* polygon) {
            if (!(polygon->facingMask & 2) || !polygon->ContainsGroundPoint(x, z)) return;
            float hit[3];
            if (!polygon->IntersectRay(point, down, hit)) return;
            const float d = Vec3Distance(hit, point);
            if (d < best) best = d;
        };
        // Only the polygons whose x-z extent can hold the point are tested
        // (a vertical ray hits a polygon only inside its extent).
        LDataLink* list = GetPolygonList();
        if (list && list->GetCount() > 0) {
            if (!m_ground.IsCurrent(list)) m_ground.Build(list);
            m_ground.Candidates(list, point[0], point[2], test);
        }
    }
    if (LDataLink* children = GetChildren())
        for (LDataNode* n = children->GetHead(); n; n = n->next) {
            const float d = static_cast<L3DOctreeNode*>(n->value)->GroundDistance(point);
            if (d < best) best = d;
        }
    return best;
}

int32_t L3DOctreeNode::CollectNodes(L3DObject** out, int32_t capacity, int32_t count, const float* low,
                                    const float* high) {
    if (count >= capacity) return capacity;
    for (int a = 0; a < 3; ++a)
        if (!(m_min[a] <= high[a] && m_max[a] >= low[a])) return count;
    if (GetNPolygons(0) > 0) {
        out[count++] = this;
        if (count >= capacity) return capacity;
    }
    if (LDataLink* children = GetChildren())
        for (LDataNode* n = children->GetHead(); n && count < capacity; n = n->next)
            count = static_cast<L3DOctreeNode*>(n->value)->CollectNodes(out, capacity, count, low, high);
    return count;
}

void L3DOctreeNode::MoveBy(float dx, float dy, float dz, float dax, float day, float daz) {
    m_position[0] += dx;
    m_position[1] += dy;
    m_position[2] += dz;
    m_angles[0] += dax;
    m_angles[1] += day;
    m_angles[2] += daz;
    PositionChanged(1);
    AnglesChanged(1);
    if (LDataLink* children = GetChildren())
        for (LDataNode* n = children->GetHead(); n; n = n->next)
            static_cast<L3DOctreeNode*>(n->value)->MoveBy(dx, dy, dz, dax, day, daz);
}

void L3DOctreeNode::UpdateTransform(LCameraView* camera) {
    if (objectFlags & kFlagHidden) {
        SetInView(0);
        return;
    }
    if (!camera || !camera->HasChanged()) return;
    Cull(*camera, 0);
}

void L3DOctreeNode::Cull(const LCameraView& camera, int32_t known) {
    if (objectFlags & kFlagHidden) {
        SetInView(0);
        return;
    }
    // A child's box lies inside its parent's and the view volume is convex:
    // under a box wholly inside (or wholly outside one plane) every box
    // tests the same, so only the nodes under crossing boxes are projected.
    const int32_t test = known ? known : CameraBoxTest(camera, m_min, m_max);
    LMaterialCacheList* caches = GetCacheList();
    SetInView(test == kInside || test == kCrossing ? 1 : 0);
    if (caches && test == kInside) caches->ClearClip();
    if (caches && test == kCrossing) caches->SetClip();
    const int32_t below = test == kCrossing ? 0 : test;
    if (LDataLink* children = GetChildren())
        for (LDataNode* n = children->GetHead(); n; n = n->next) static_cast<L3DOctreeNode*>(n->value)->Cull(camera, below);
}

void L3DOctreeNode::Render(LCameraView* camera) {
    if (IsInView()) L3DObject::Render(camera);
}

void L3DOctreeNode::DrawFrame(LCameraView* camera) {
    UpdateTransform(camera);
    L3DObject::DrawFrame(camera);
}

void L3DOctreeNode::SaveObject(LChunkStream& out, uint32_t saveFlags) {
    if (!(objectFlags & kFlagSavable)) return;
    const int32_t start = out.BeginChunk(ChunkTag("OCTR"));
    for (float f : m_min) out.WriteF32(f);
    for (float f : m_max) out.WriteF32(f);
    L3DObject::SaveObject(out, saveFlags);
    out.EndChunk(start);
}
