#include "engine3d/sound_objects.h"

#include "engine3d/camera.h"
#include "engine3d/chunk_stream.h"
#include "engine3d/element_walks.h"
#include "engine3d/marker_material.h"
#include "engine3d/name_text.h"
#include "engine3d/point.h"
#include "engine3d/polygon.h"
#include "engine3d/world.h"

#include <cmath>

L3DSound::L3DSound(const char* sampleName, L3DWorld* world, LCLBKObject* callback)
    : L3DObject("Sound_Object", world, callback) {
    SetKind(kKindSound);
    CopyBounded(m_sample, sizeof m_sample, sampleName);
    InitFlags();
    BuildMarker();
}

void L3DSound::GetSampleName(char* buffer, int32_t size) const { CopyBounded(buffer, size, m_sample); }

void L3DSound::BuildMarker() {
    L3DWorld* world = GetWorld();
    L3DObject* box = GetBox();
    LBasePoint* points = box ? box->GetPoints() : nullptr;
    if (!world || !points) return;
    LMaterial* material = MarkerMaterial(world, kMarkerMaterial, 0x00FFFF);
    static const float kPoints[5][3] = {{0, 0, 0}, {25, 25, -25}, {25, 25, 25}, {25, -25, 25}, {25, -25, -25}};
    static const int kTriangles[4][3] = {{1, 2, 0}, {2, 3, 0}, {3, 4, 0}, {4, 1, 0}};
    L3DPoint* vertex[5];
    points->DisableSharing();
    for (int i = 0; i < 5; ++i) vertex[i] = points->AddPoint(kPoints[i][0], kPoints[i][1], kPoints[i][2], 0, 0);
    points->EnableSharing();
    for (const auto& t : kTriangles) {
        LPolygon* polygon = world->CreatePolygon(box, 2, nullptr);
        if (!polygon) continue;
        for (int v : t) polygon->AddPoint(vertex[v]);
        box->AddPolygon(polygon, 1);
        polygon->SetMaterial(material);
    }
}

void L3DSound::ShowBox(int32_t on, int32_t /*recursive*/) {
    if (on && (!m_owner || m_owner->GetShowFlag() != 1)) return;
    L3DObject::ShowBox(on, 0);
}

void L3DSound::Update(L3DCamera* camera) {
    if (!m_owner || !camera) return;
    const L3DSoundList& list = *m_owner;
    const float* c = camera->GetPosition();
    const float d[3] = {m_position[0] - c[0], m_position[1] - c[1], m_position[2] - c[2]};
    const float dist = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    if (dist != 0.0f) {
        float f = 1.0f - dist / list.fadeDistance;
        if (!(f > 0.0f)) f = 0.0f;
        m_volume = (list.maximumVolume - list.minimumVolume) * f + list.minimumVolume;
    } else {
        m_volume = list.maximumVolume;
    }
    const float* r = camera->GetViewRows();
    const float x = d[0] * r[0] + d[1] * r[1] + d[2] * r[2];
    const float z = d[0] * r[6] + d[1] * r[7] + d[2] * r[8];
    const float half = camera->GetHalfWidth();
    const float width = 2.0f * half;
    float s;
    if (z > -1.0f && z < 1.0f) {
        s = x > 0.0f ? width : 0.0f;
    } else {
        s = x * camera->focalX / z + half;
        if (z < 0.0f) s = -s;
        s = s < 0.0f ? 0.0f : (s > width ? width : s);
    }
    // Without a view width (or for a NaN position) the pan stays midway.
    const float t = width > 0.0f && std::isfinite(s) ? s / width : 0.5f;
    m_pan = (list.panRight - list.panLeft) * t + list.panLeft;
    m_changed = 1;
}

// ---- the list -------------------------------------------------------------------

L3DSound* L3DSoundList::CreateSound(const char* sampleName, LCLBKObject* callback) {
    auto* sound = new L3DSound(sampleName, m_world, callback);
    if (!sound) return nullptr;
    sound->SetOwnerList(this);
    if (!m_sounds.InsertAfter(sound, nullptr)) {
        delete sound;
        return nullptr;
    }
    if (sound->IsVisible() && m_show == 0)
        sound->Hide(0);
    else
        sound->ShowBox(1, 0);
    return sound;
}

int32_t L3DSoundList::DeleteSound(L3DSound* sound) {
    LDataNode* node = sound ? m_sounds.FindNode(sound) : nullptr;
    if (!node) return kAbsent;
    m_sounds.RemoveNode(node, 1);
    delete sound;
    return 0;
}

int32_t L3DSoundList::DeleteSoundAt(int32_t index) {
    if (index == -1) {
        while (LDataNode* node = m_sounds.GetHead()) DeleteSound(static_cast<L3DSound*>(node->value));
        return 0;
    }
    return DeleteSound(GetAt(index));
}

L3DSound* L3DSoundList::FindByName(const char* name) const {
    if (!name) return nullptr;
    for (LDataNode* n = m_sounds.GetHead(); n; n = n->next) {
        auto* sound = static_cast<L3DSound*>(n->value);
        if (NamesEqual(sound->GetSampleNameText(), name)) return sound;
    }
    return nullptr;
}

L3DSound* L3DSoundList::FindNextByName(L3DSound* sound, const char* name) const {
    return FindNamedFrom<L3DSound>(m_sounds, sound, name);
}

L3DSound* L3DSoundList::GetAt(int32_t index) {
    if (index < 0) return nullptr;
    for (LDataNode* n = m_sounds.GetHead(); n; n = n->next, --index)
        if (index == 0) return static_cast<L3DSound*>(n->value);
    return nullptr;
}

void L3DSoundList::UpdateAll(L3DCamera* camera) {
    for (LDataNode* n = m_sounds.GetHead(); n; n = n->next) static_cast<L3DSound*>(n->value)->Update(camera);
}

void L3DSoundList::PrepareSounds(L3DCamera* camera) { DrawTopLevelElements<L3DSound>(m_sounds, camera); }

void L3DSoundList::HitTestSounds(L3DCamera* camera, const float* point, const float* radius, L3DObject** out) {
    PickEachElement<L3DSound>(m_sounds, camera, point, radius, out);
}

int32_t L3DSoundList::Save(LChunkStream& out) {
    uint32_t count = 0;
    for (LDataNode* n = m_sounds.GetHead(); n; n = n->next) count += static_cast<L3DSound*>(n->value)->IsSavable() ? 1 : 0;
    const int32_t start = out.BeginChunk(ChunkTag("BSOU"));
    out.WriteU16(count);
    char name[256];
    for (LDataNode* n = m_sounds.GetHead(); n; n = n->next) {
        auto* sound = static_cast<L3DSound*>(n->value);
        if (!sound->IsSavable()) continue;
        out.WriteString(sound->GetSampleNameText());
        // The low 16 bits of the truncated values (out of range: saturated first).
        const auto low16 = [](float v) {
            const double t = std::trunc(double(v));
            const int64_t i = t != t ? 0 : (t > 2147483647.0 ? 2147483647 : (t < -2147483648.0 ? -2147483648LL : int64_t(t)));
            return uint32_t(i) & 0xFFFFu;
        };
        out.WriteU16(low16(sound->GetPan()));
        out.WriteU16(low16(sound->GetVolume()));
        sound->GetName(name, sizeof name);
        out.WriteString(name);
        sound->SaveLocation(out);
    }
    return out.EndChunk(start);
}
