#include "engine3d/animated_object.h"

#include "engine3d/camera_view.h"
#include "engine3d/chunk_stream.h"
#include "engine3d/key_tracks.h"
#include "engine3d/math3d.h"
#include "engine3d/name_text.h"
#include "engine3d/point.h"
#include "engine3d/polygon.h"
#include "engine3d/vec3.h"
#include "engine3d/world.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>

namespace {

bool HasName(const char* name) { return name && name[0]; }

LTrackRecord* TrackOf(const LDataNode* node) { return static_cast<LTrackRecord*>(node->value); }

// A name as a track keeps it: at most 15 characters.
struct StoredName {
    char text[LTrackRecord::kNameSize];
    explicit StoredName(const char* name) { CopyBounded(text, sizeof text, name); }
};

// Values stored as given but the name (kept at 15 characters) and the start,
// clamped into [first, last].
void Fill(LTrackRecord* track, const char* name, const LTrackRecord& values) {
    const StoredName kept(name);
    *track = values;
    std::memcpy(track->name, kept.text, sizeof kept.text);
    track->start = track->start > track->last ? track->last : track->start;
    track->start = track->start < track->first ? track->first : track->start;
}

constexpr uint32_t kChanged = L3DLocation::kFlagPositionChanged | L3DLocation::kFlagAnglesChanged;
// The extent a box starts from before its children grow it.
constexpr float kEmptyExtent = 1e8f;
// Children of these kinds (cameras, lights, sounds, animated objects ...)
// do not widen their animated object's box.
constexpr uint32_t kKindOutsideBox = 0x4;

bool HasChanged(const L3DLocation& l) { return (l.GetFlags() & kChanged) != 0; }

int32_t Saturate(int64_t v) { return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : int32_t(v); }

// The key tracks an appended animation merges, with the values per key.
struct MergedTrack {
    int32_t which;
    int values;
};
const MergedTrack kMergedTracks[] = {
    {LKeySet::kTranslate, 3}, {LKeySet::kScale, 3}, {LKeySet::kRotate, 4}, {LKeySet::kMorph, 1}, {LKeySet::kHide, 0},
};

// The child of `root`'s tree (depth first) named `name` (dummy prefix
// skipped), or null.
L3DObject* FindInTree(L3DObject* root, const char* name) {
    LDataLink* children = root->GetChildren();
    for (LDataNode* n = children ? children->GetHead() : nullptr; n; n = n->next) {
        auto* child = static_cast<L3DObject*>(n->value);
        if (L3DObject* found = child->FindChildByName(name)) return found;
        if (L3DObject* found = FindInTree(child, name)) return found;
    }
    return nullptr;
}

// Appends the keys of `from` that lie in [first, last] to `into` at
// times after `mainLast`, then sets up the track's spline.
void MergeTrack(LKeyTrack* into, const LKeyTrack* from, const MergedTrack& kind, const LTrackRecord& range,
                int32_t mainLast) {
    float chained[4];
    QuatSetIdentity(chained);
    for (const LKey* k = from->first; k; k = k->next) {
        if (!(k->time >= float(range.first) && k->time <= float(range.last))) continue;
        // Times from files: one out of the integer range is skipped.
        const double time = std::trunc(double(k->time) - range.first + mainLast) + 1.0;
        if (!(time >= INT32_MIN && time <= INT32_MAX)) continue;
        LKey* copy = LKey::Create();
        LKey::CopyParameters(copy, k);
        std::memcpy(copy->value, k->value, sizeof(float) * size_t(kind.values));
        if (kind.which == LKeySet::kRotate) {
            float step[4];
            KeyStepRotation(copy, step);
            QuatMultiply(chained, step, chained);
            QuatCopy(chained, copy->rotation);
        }
        LKeyTrack::AddKey(into, copy, int32_t(time));
    }
    if (kind.which == LKeySet::kTranslate || kind.which == LKeySet::kScale) LKeyTrack::ComputeTangents(into);
    if (kind.which == LKeySet::kRotate) LKeyTrack::SetupRotationSpline(into);
}

}  // namespace

LTrackRecord MakeTrackValues(uint8_t kind, int32_t first, int32_t last, int32_t value4, int32_t start,
                             int32_t value5, int32_t value6) {
    LTrackRecord r{};
    r.mode = kind;
    r.first = first;
    r.last = last;
    r.start = start;
    r.pass[0] = value4;
    r.pass[1] = value5;
    r.pass[2] = value6;
    return r;
}

LAnimationIK::LAnimationIK() {
    AddTrack(kMainTrack, LTrackRecord{});
    SelectTrack(kMainTrack);
}

LAnimationIK::~LAnimationIK() {
    for (LDataNode* n = m_tracks.GetHead(); n; n = n->next) delete TrackOf(n);
    m_tracks.Clear();
}

int32_t LAnimationIK::GetTrackCount() const { return m_tracks.GetCount(); }

LTrackRecord* LAnimationIK::FindTrack(const char* name) const {
    if (!HasName(name)) return nullptr;
    const StoredName wanted(name);
    for (LDataNode* n = TrackList().GetHead(); n; n = n->next)
        if (NamesEqual(TrackOf(n)->name, wanted.text)) return TrackOf(n);
    return nullptr;
}

int32_t LAnimationIK::AddTrack(const char* name, const LTrackRecord& values) {
    if (!HasName(name) || FindTrack(name)) return 0;
    auto* track = new LTrackRecord();
    Fill(track, name, values);
    if (!m_tracks.InsertAfter(track, nullptr)) {
        delete track;
        return 0;
    }
    return 1;
}

int32_t LAnimationIK::SetTrack(const char* name, const LTrackRecord& values) {
    LTrackRecord* track = FindTrack(name);
    if (!track) return 0;
    Fill(track, track->name, values);
    return 1;
}

int32_t LAnimationIK::DefineTrack(const char* name, const LTrackRecord& values) {
    if (!HasName(name)) return 0;
    return FindTrack(name) ? SetTrack(name, values) : AddTrack(name, values);
}

int32_t LAnimationIK::SelectTrack(const char* name) {
    m_current = FindTrack(name);
    if (!m_current) return 0;
    m_frame = m_current->first;
    return 1;
}

int32_t LAnimationIK::StepTrack(bool forward) {
    const LDataLink& list = TrackList();
    LDataNode* node = m_current ? list.FindNode(m_current) : nullptr;
    if (!node) return 0;
    LDataNode* to = forward ? (node->next ? node->next : list.GetHead()) : (node->previous ? node->previous : list.GetTail());
    m_current = TrackOf(to);
    m_frame = m_current->first;
    return 1;
}

int32_t LAnimationIK::SelectPreviousTrack() { return StepTrack(false); }
int32_t LAnimationIK::SelectNextTrack() { return StepTrack(true); }

int32_t LAnimationIK::DeleteTrack(const char* name) {
    LTrackRecord* track = FindTrack(name);
    if (!track) return 0;
    if (m_current == track) SelectTrack(kMainTrack);
    m_tracks.RemoveNode(m_tracks.FindNode(track), 1);
    delete track;
    if (m_current == track) m_current = nullptr;  // "Main" itself went
    return 1;
}

void LAnimationIK::SetFrame(int32_t frame) {
    const LTrackRecord* t = m_current;
    if (!t) return;
    const bool loop = (m_flags & kLoop) != 0;
    if (frame > t->last)
        frame = loop ? t->first : t->last;
    else if (frame < t->first)
        frame = loop ? t->last : t->first;
    m_frame = frame;
}

int32_t LAnimationIK::AppendTrackFrom(const LAnimationIK& source, const char* name) {
    const LTrackRecord* from = source.FindTrack(name);
    const LTrackRecord* main = FindTrack(kMainTrack);
    if (!from || !main) return 0;
    const LTrackRecord s = *from;
    const int32_t mainLast = main->last;
    const int32_t length = int32_t(uint16_t(uint32_t(s.last) - uint32_t(s.first)));
    const int32_t end = Saturate(int64_t(mainLast) + length);
    DefineTrack(name, MakeTrackValues(s.mode, mainLast, end, end, s.start, s.pass[1], s.pass[2]));
    const LTrackRecord m = *FindTrack(kMainTrack);
    SetTrack(kMainTrack, MakeTrackValues(0, 0, end, m.pass[0], m.start, m.pass[1], m.pass[2]));
    return 1;
}

void LAnimationIK::WriteTable(LChunkStream& out) const {
    const LTrackRecord* main = FindTrack(kMainTrack);
    out.WriteU16(uint32_t(main ? main->first : 0));
    out.WriteU16(uint32_t(main ? main->last : 30));
    out.WriteU16(uint32_t(main ? m_frame : 0));
    out.WriteU16(uint32_t(TrackList().GetCount()));
    for (LDataNode* n = TrackList().GetHead(); n; n = n->next) {
        const LTrackRecord* t = TrackOf(n);
        out.WriteString(t->name);
        out.WriteU8(t->mode);
        for (int32_t v : {t->first, t->last, t->start, t->pass[0], t->pass[1], t->pass[2]}) out.WriteU16(uint32_t(v));
    }
    out.WriteU32(m_flags);
}

L3DObject_Animation::L3DObject_Animation(const char* name, L3DWorld* world, LCLBKObject* callback)
    : L3DObject(name, world, callback), m_table(this) {
    SetKind(kKindAnimation);
    L3DObject::InitFlags();
}

L3DObject_Animation::~L3DObject_Animation() {
    // The clones die with the object (L3DObject's destructor), after this
    // table: they must not reach it meanwhile.
    for (LDataNode* n = GetClones() ? GetClones()->GetHead() : nullptr; n; n = n->next) {
        auto* clone = static_cast<L3DObject*>(n->value);
        if (clone->GetKind() == kKindAnimationClone) static_cast<LAnimationClone*>(clone)->DetachTable();
    }
}

L3DObject* L3DObject_Animation::Clone(const L3DLocation* location) {
    L3DWorld* world = GetWorld();
    char name[32];
    MakeObjectName(world, name);
    auto* clone = new LAnimationClone(name, world, nullptr);
    if (!clone->Bind(this)) {
        delete clone;
        return nullptr;
    }
    if (world) {
        world->AddObject(clone);
        clone->GetAnimation().SelectTrack(LAnimationIK::kMainTrack);
    }
    if (location) clone->Assign(*location);
    return clone;
}

L3DObject* L3DObject_Animation::Duplicate(const L3DLocation* location) {
    if (!(GetKind() & kKindOwnedBit)) return nullptr;
    L3DWorld* world = GetWorld();
    char name[32];
    MakeObjectName(world, name);
    auto* copy = new L3DObject_Animation(name, world, nullptr);
    LAnimationIK& to = copy->m_table;
    // The copy's tracks in this table's order: its own "Main" goes first.
    while (LDataNode* n = to.GetTracks().GetHead()) to.DeleteTrack(TrackOf(n)->name);
    for (LDataNode* n = m_table.GetTracks().GetHead(); n; n = n->next) to.AddTrack(TrackOf(n)->name, *TrackOf(n));
    to.SetState(m_table.GetFlags(), m_table.GetFrame(), to.FindTrack(LAnimationIK::kMainTrack));
    to.SetFrame(m_table.GetFrame());
    CopyContentTo(copy);
    if (world) world->AddObject(copy);
    if (location) copy->Assign(*location);
    return copy;
}

void L3DObject_Animation::SaveObject(LChunkStream& out, uint32_t saveFlags) {
    if (!IsSavable()) return;
    const int32_t start = out.BeginChunk(ChunkTag("OANI"));
    m_table.WriteTable(out);
    L3DObject::SaveObject(out, saveFlags);
    out.EndChunk(start);
}

void L3DObject_Animation::UpdateTransform(LCameraView* camera) {
    ComputeTransform();
    float low[3] = {kEmptyExtent, kEmptyExtent, kEmptyExtent};
    float high[3] = {-kEmptyExtent, -kEmptyExtent, -kEmptyExtent};
    if (objectFlags & kFlagHidden) {
        m_inView = 0;
        return;
    }
    UpdateTree(this, float(m_table.GetFrame()), camera, low, high);
    if (HasChanged(*this)) {
        PlaceBox(low, high, camera);
    } else if (camera && camera->HasChanged()) {
        LBasePoint* corners = m_box ? m_box->GetPoints() : nullptr;
        for (int32_t i = 0; corners && i < corners->GetCount(); ++i) corners->GetPoint(i)->ProjectFromWorld(*camera);
    } else {
        return;
    }
    // The frame step's part that does not come back here: the swept sphere.
    if (IsCollision()) SweepSphere();
    TestInView(camera);
}

void L3DObject_Animation::UpdateTree(L3DObject* parent, float f, LCameraView* camera, float* low, float* high) {
    LDataLink* children = parent->GetChildren();
    for (LDataNode* n = children ? children->GetHead() : nullptr; n; n = n->next) {
        auto* child = static_cast<L3DObject*>(n->value);
        PlaceChild(parent, child, f);
        if (!(child->objectFlags & kFlagHidden)) {
            if (HasChanged(*child)) {
                child->ProjectBox(camera);
                LBasePoint* corners = child->m_box ? child->m_box->GetPoints() : nullptr;
                for (int32_t i = 0; corners && !(child->m_kind & kKindOutsideBox) && i < corners->GetCount(); ++i) {
                    const float* w = corners->GetPoint(i)->world;
                    for (int a = 0; a < 3; ++a) {
                        low[a] = std::fmin(low[a], w[a]);
                        high[a] = std::fmax(high[a], w[a]);
                    }
                }
            } else if (camera && camera->HasChanged()) {
                child->ProjectBox(camera);
            }
            child->TestInView(camera);
        }
        UpdateTree(child, f, camera, low, high);
    }
}

void L3DObject_Animation::PlaceBox(const float* low, const float* high, const LCameraView* camera) {
    if (!m_box) return;
    // No child gave an extent: the box stays on the object's own mesh.
    if (!(low[0] <= high[0] && low[1] <= high[1] && low[2] <= high[2])) {
        ProjectBox(camera);
        return;
    }
    LBasePoint* corners = m_box->GetPoints();
    for (int32_t i = 0; corners && i < corners->GetCount() && i < 8; ++i) {
        L3DPoint* p = corners->GetPoint(i);
        BoxCorner(i, low, high, p->world);
        if (camera) p->ProjectFromWorld(*camera);
    }
    // Each face's normal from its first three corners, snapped to the axis
    // when within 0.01 of it, stored negated.
    LDataLink* faces = m_box->GetPolygonList();
    for (LDataNode* n = faces ? faces->GetHead() : nullptr; n; n = n->next) {
        auto* face = static_cast<LPolygon*>(n->value);
        if (face->GetCount() < 3 || !face->planes) continue;
        float a[3], b[3], normal[3];
        Vec3Sub(face->points[1]->world, face->points[0]->world, a);
        Vec3Sub(face->points[2]->world, face->points[0]->world, b);
        Vec3Cross(a, b, normal);
        Vec3Normalize(normal, normal);
        for (float& c : normal) {
            if (c >= 0.99f && c < 1.0f) c = 1.0f;
            if (c <= -0.99f && c > -1.0f) c = -1.0f;
        }
        Vec3Negate(normal, face->planes);
    }
}

int32_t L3DObject_Animation::Table::SelectTrack(const char* name) {
    const int32_t found = LAnimationIK::SelectTrack(name);
    m_owner->AnglesChanged(1);
    return found;
}

void L3DObject_Animation::Table::SetFrame(int32_t frame) {
    LAnimationIK::SetFrame(frame);
    m_owner->AnglesChanged(1);
}

int32_t L3DObject_Animation::AppendAnimation(L3DObject_Animation* other, const char* name) {
    if (!other) return 0;
    const LTrackRecord* from = other->m_table.FindTrack(name);
    const LTrackRecord* main = m_table.FindTrack(LAnimationIK::kMainTrack);
    if (!from || !main) return 0;
    MergeKeys(this, other, *from, main->last);
    return m_table.AppendTrackFrom(other->m_table, name);
}

void L3DObject_Animation::MergeKeys(L3DObject* parent, L3DObject_Animation* other, const LTrackRecord& from,
                                    int32_t mainLast) {
    LDataLink* children = parent->GetChildren();
    for (LDataNode* n = children ? children->GetHead() : nullptr; n; n = n->next) {
        auto* child = static_cast<L3DObject*>(n->value);
        char name[256];
        child->GetName(name, sizeof name);
        const L3DObject* source = child->GetNameText() ? FindInTree(other, name) : nullptr;
        LKeySet* keys = child->GetKeys();
        const LKeySet* sourceKeys = source ? source->GetKeys() : nullptr;
        if (keys && sourceKeys) {
            for (const MergedTrack& kind : kMergedTracks) {
                const LKeyTrack* track = sourceKeys->Get(kind.which);
                if (track) MergeTrack(keys->Ensure(kind.which, track->flags), track, kind, from, mainLast);
            }
        }
        MergeKeys(child, other, from, mainLast);
    }
}

int32_t L3DObject_Animation::ChildLocalMatrix(L3DObject* child, float f, const float* mirror, float* out12) {
    const LKeySet* keys = child ? child->GetKeys() : nullptr;
    if (!keys) return 0;
    const float* scale = child->GetScale();
    LKeyTrack* matrix = keys->Get(LKeySet::kMatrix);
    if (matrix && LKeyTrack::HasKeyAt(matrix, 0.0f)) {
        LKeyTrack::SampleMatrix(matrix, f, out12);
        for (int r = 0; r < 3; ++r) out12[4 * r + 3] *= scale[r];
        return 1;
    }
    LKeyTrack* translate = keys->Get(LKeySet::kTranslate);
    LKeyTrack* scaling = keys->Get(LKeySet::kScale);
    LKeyTrack* rotate = keys->Get(LKeySet::kRotate);
    if (!translate || !scaling || !rotate) return 0;
    float p[3] = {0, 0, 0}, k[3] = {1, 1, 1}, q[4] = {1, 0, 0, 0};
    LKeyTrack::SampleVector(translate, f, p);
    LKeyTrack::SampleVector(scaling, f, k);
    LKeyTrack::SampleRotation(rotate, f, q);
    // A mirrored object turns about the mirrored axis.
    if (mirror[0] < 0)
        QuatMakeInvertedMatrixNegYZ(q, out12);
    else if (mirror[1] < 0)
        QuatMakeInvertedMatrixNegXZ(q, out12);
    else if (mirror[2] < 0)
        QuatMakeInvertedMatrixNegXY(q, out12);
    else
        QuatMakeInvertedMatrix(q, out12);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) out12[4 * r + c] *= k[c];
        out12[4 * r + 3] = scale[r] * p[r];
    }
    return 1;
}

void L3DObject_Animation::EvaluateChildren() { EvaluateTree(this, float(m_table.GetFrame())); }

void L3DObject_Animation::PlaceChild(L3DObject* parent, L3DObject* child, float f) {
    float local[12];
    if (!ChildLocalMatrix(child, f, GetScale(), local)) return;
    float* m = child->m_transform.m;
    LMatrix34::Multiply(parent->GetTransform().m, local, m);
    for (int i = 0; i < 3; ++i) child->m_position[i] = m[4 * i + 3];
    if (child->m_box)
        for (int i = 0; i < 3; ++i) child->m_box->m_position[i] = m[4 * i + 3];
}

void L3DObject_Animation::EvaluateTree(L3DObject* parent, float f) {
    LDataLink* children = parent->GetChildren();
    for (LDataNode* n = children ? children->GetHead() : nullptr; n; n = n->next) {
        auto* child = static_cast<L3DObject*>(n->value);
        PlaceChild(parent, child, f);
        EvaluateTree(child, f);
    }
}

LAnimationCloneTable::LAnimationCloneTable(LAnimationIK* source) : m_source(nullptr) { SetSource(source); }

void LAnimationCloneTable::SetSource(LAnimationIK* source) {
    if (m_entered && m_source) Leave();
    m_entered = false;
    m_source = source;
    m_current = nullptr;
    if (source) SelectTrack(kMainTrack);
}

const LDataLink& LAnimationCloneTable::TrackList() const { return m_source ? m_source->GetTracks() : m_tracks; }

int32_t LAnimationCloneTable::GetTrackCount() const { return m_source ? m_source->GetTrackCount() : 0; }

int32_t LAnimationCloneTable::AddTrack(const char* name, const LTrackRecord& values) {
    return m_source ? m_source->AddTrack(name, values) : 0;
}

int32_t LAnimationCloneTable::SetTrack(const char* name, const LTrackRecord& values) {
    return m_source ? m_source->SetTrack(name, values) : 0;
}

int32_t LAnimationCloneTable::DefineTrack(const char* name, const LTrackRecord& values) {
    return m_source ? m_source->DefineTrack(name, values) : 0;
}

LTrackRecord* LAnimationCloneTable::FindTrack(const char* name) const {
    return m_source ? m_source->FindTrack(name) : nullptr;
}

int32_t LAnimationCloneTable::DeleteTrack(const char* name) {
    if (!m_source) return 0;
    if (m_current && m_current == m_source->FindTrack(name)) m_current = nullptr;
    return m_source->DeleteTrack(name);
}

void LAnimationCloneTable::Enter() {
    if (!m_source || m_entered) return;
    m_savedFlags = m_source->GetFlags();
    m_savedFrame = m_source->GetFrame();
    m_savedTrack = m_source->GetCurrentTrack();
    // The clone's track may have been deleted from the source meanwhile.
    if (m_current && !m_source->GetTracks().FindNode(m_current)) m_current = nullptr;
    m_source->SetState(m_flags, m_frame, m_current);
    m_entered = true;
}

void LAnimationCloneTable::Leave() {
    if (!m_entered) return;
    m_entered = false;
    if (m_source) m_source->SetState(m_savedFlags, m_savedFrame, m_savedTrack);
}

LAnimationClone::LAnimationClone(const char* name, L3DWorld* world, LCLBKObject* callback)
    : L3DObjectClone(name, world, callback) {
    SetKind(kKindAnimationClone);
}

LAnimationClone::~LAnimationClone() {
    if (m_table.IsEntered()) m_table.Leave();
}

int32_t LAnimationClone::Bind(L3DObject* source) {
    if (source && source->GetKind() == kKindAnimationClone) source = static_cast<LAnimationClone*>(source)->GetSource();
    if (!source || source->GetKind() != kKindAnimated || !SetSource(source)) return 0;
    m_table.SetSource(&static_cast<L3DObject_Animation*>(source)->GetAnimation());
    return 1;
}

L3DObject* LAnimationClone::Clone(const L3DLocation* location) {
    L3DObject* source = GetSource();
    L3DObject* clone = source ? source->Clone(this) : nullptr;
    if (clone && location) clone->Assign(*location);
    return clone;
}

void LAnimationClone::UpdateFrame(LCameraView* camera) {
    m_table.Enter();
    L3DObjectClone::UpdateFrame(camera);
}

void LAnimationClone::DrawFrame(LCameraView* camera) {
    L3DObjectClone::DrawFrame(camera);
    m_table.Leave();
}

void LAnimationClone::UpdateTransform(LCameraView* camera) {
    const bool entered = m_table.IsEntered();
    m_table.Enter();
    L3DObjectClone::UpdateTransform(camera);
    if (!entered) m_table.Leave();
}
