#include "engine3d/animated_object.h"

#include "engine3d/chunk_stream.h"
#include "engine3d/key_tracks.h"
#include "engine3d/math3d.h"
#include "engine3d/name_text.h"

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
}

L3DObject_Animation::~L3DObject_Animation() = default;

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

void L3DObject_Animation::EvaluateTree(L3DObject* parent, float f) {
    LDataLink* children = parent->GetChildren();
    for (LDataNode* n = children ? children->GetHead() : nullptr; n; n = n->next) {
        auto* child = static_cast<L3DObject*>(n->value);
        float local[12];
        if (ChildLocalMatrix(child, f, GetScale(), local))
            LMatrix34::Multiply(parent->GetTransform().m, local, child->GetTransform().m);
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
