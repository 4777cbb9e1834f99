#include "engine3d/object_clone.h"

#include "engine3d/camera_view.h"
#include "engine3d/chunk_stream.h"
#include "engine3d/point.h"

L3DObjectClone::L3DObjectClone(const char* name, L3DWorld* world, LCLBKObject* callback)
    : L3DObject(name, world, callback) {
    SetKind(kKindClone);
}

L3DObjectClone::~L3DObjectClone() { Unbind(); }

void L3DObjectClone::Unbind() {
    if (!m_source) return;
    L3DObject* source = m_source;
    m_source = nullptr;
    if (source->m_clones) {
        source->m_clones->RemoveNode(source->m_clones->FindNode(this), 1);
        if (source->m_clones->GetCount() == 0) {
            delete source->m_clones;
            source->m_clones = nullptr;
        }
    }
    if (source->m_cloneCount > 0) --source->m_cloneCount;
}

int32_t L3DObjectClone::SetSource(L3DObject* source) {
    if (source == this) return 0;
    if (source && (source->m_kind == kKindClone)) source = static_cast<L3DObjectClone*>(source)->m_source;
    if (!source || source == this || !source->IsMovable()) return 0;
    if (source == m_source) return 1;
    if (!source->m_clones) source->m_clones = new LDataLink();
    if (!source->m_clones->InsertAfter(this, nullptr)) return 0;
    Unbind();
    m_source = source;
    Assign(*source);
    RefreshBox(1);
    char name[260];
    source->GetName(name, sizeof name);
    SetName(name);
    source->InitFlags();
    ++source->m_cloneCount;
    return 1;
}

int32_t L3DObjectClone::GetNPolygons(int32_t recursive) { return m_source ? m_source->GetNPolygons(recursive) : 0; }
void L3DObjectClone::SetWireFrame(int32_t on) {
    if (m_source) m_source->SetWireFrame(on);
}
void L3DObjectClone::SetFlat(int32_t on) {
    if (m_source) m_source->SetFlat(on);
}
void L3DObjectClone::SetMapped(int32_t on) {
    if (m_source) m_source->SetMapped(on);
}
void L3DObjectClone::SetGouraud(int32_t on) {
    if (m_source) m_source->SetGouraud(on);
}
void L3DObjectClone::SetLambert(int32_t on) {
    if (m_source) m_source->SetLambert(on);
}
void L3DObjectClone::Show() {
    if (m_source) m_source->Show();
}
void L3DObjectClone::Hide(int32_t) {
    if (m_source) m_source->Hide(0);
}
void L3DObjectClone::SetCollision(int32_t on) {
    if (m_source) m_source->SetCollision(on);
}
void L3DObjectClone::SetFlagBit23(int32_t on) {
    if (m_source) m_source->SetFlagBit23(on);
}
int32_t L3DObjectClone::IsFlagBit23() { return m_source ? m_source->IsFlagBit23() : 0; }
int32_t L3DObjectClone::IsCollision() { return m_source ? m_source->IsCollision() : 0; }
int32_t L3DObjectClone::IsVisible() { return m_source ? m_source->IsVisible() : 0; }
int32_t L3DObjectClone::IsGouraud() { return m_source ? m_source->IsGouraud() : 0; }
int32_t L3DObjectClone::IsLambert() { return m_source ? m_source->IsLambert() : 0; }
int32_t L3DObjectClone::IsMovable() { return m_source ? m_source->IsMovable() : 0; }
int32_t L3DObjectClone::IsFlat() { return m_source ? m_source->IsFlat() : 0; }
int32_t L3DObjectClone::IsWireFrame() { return m_source ? m_source->IsWireFrame() : 0; }
int32_t L3DObjectClone::IsMapped() { return m_source ? m_source->IsMapped() : 0; }

void L3DObjectClone::Borrow(LCameraView* camera) {
    m_stash.Assign(*m_source);
    m_stashedFrame = m_source->m_currentFrame;
    m_source->Assign(*this);
    m_source->m_currentFrame = m_currentFrame;
    m_source->SyncOwnerPoints();
    if (camera) camera->MarkChanged();
}

void L3DObjectClone::GiveBack() {
    m_source->Assign(m_stash);
    m_source->m_currentFrame = m_stashedFrame;
    m_source->SyncOwnerPoints();
}

void L3DObjectClone::RefreshBox(int32_t refresh) {
    if (!m_source) {
        L3DObject::RefreshBox(refresh);
        return;
    }
    // The source's extent: the clone has no mesh of its own, and its box is
    // what the source is lent when the clone is transformed.
    LBasePoint* own = m_box ? m_box->GetPoints() : nullptr;
    LBasePoint* theirs = m_source->m_box ? m_source->m_box->GetPoints() : nullptr;
    for (int32_t i = 0; own && theirs && i < own->GetCount() && i < theirs->GetCount(); ++i)
        for (int a = 0; a < 3; ++a) own->GetPoint(i)->local[a] = theirs->GetPoint(i)->local[a];
}

void L3DObjectClone::UpdateFrame(LCameraView* camera) {
    if (!m_source) {
        m_inView = 0;
        return;
    }
    m_stashedFlags = m_source->objectFlags;
    Borrow(camera);
    m_source->objectFlags = objectFlags;
    m_source->UpdateFrame(camera);
    m_inView = m_source->m_inView;
    for (int i = 0; i < 4; ++i) m_sphere[i] = m_source->m_sphere[i];
    // The source stays at this clone's place until DrawFrame.
}

void L3DObjectClone::DrawFrame(LCameraView* camera) {
    if (!m_source) return;
    if (camera) camera->MarkChanged();
    m_source->DrawFrame(camera);
    GiveBack();
    m_source->objectFlags = m_stashedFlags;
}

void L3DObjectClone::UpdateTransform(LCameraView* camera) {
    if (!m_source) {
        m_inView = 0;
        return;
    }
    L3DObject* sourceBox = m_source->m_box;
    Borrow(camera);
    m_source->m_box = m_box;
    m_source->UpdateFrame(camera);
    m_source->UpdateTransform(camera);
    m_inView = m_source->m_inView;
    for (int i = 0; i < 4; ++i) m_sphere[i] = m_source->m_sphere[i];
    GiveBack();
    m_source->m_box = sourceBox;
    m_source->UpdateFrame(camera);
}

void L3DObjectClone::Pick(LCameraView* camera, const float* point, const float* radius, L3DObject** out) {
    if (!m_source || !out) return;
    Borrow(camera);
    m_source->UpdateFrame(camera);
    L3DObject* hit = nullptr;
    m_source->Pick(camera, point, radius, &hit);
    if (hit) *out = this;
    GiveBack();
    m_source->UpdateFrame(camera);
}

void L3DObjectClone::SaveObject(LChunkStream& out, uint32_t saveFlags) {
    L3DObject::SaveObject(out, saveFlags);
    if (!m_source || !IsSavable()) return;
    char name[260];
    m_source->GetName(name, sizeof name);
    out.WriteString(name);
}
