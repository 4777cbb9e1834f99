#pragma once
// L3DObjectClone: the mesh of another object (its source) placed once more
// without a copy. The clone has its own location, flags, name and box; for
// each frame it lends its place to the source, lets the source update and
// draw itself there, and gives the source its own place, frame and flags
// back. The shading switches act on the source, so the source and all its
// clones shade alike; the box display is each clone's own.
//
// Binding: SetSource counts the clone in the source, which lists it and
// destroys it with itself (wherever the clone hangs); the clone's
// destructor takes it out of its source's list. An unbound clone draws
// nothing and answers 0.
#include "engine3d/object.h"

class L3DObjectClone : public L3DObject {
public:
    L3DObjectClone(const char* name, L3DWorld* world, LCLBKObject* callback);
    ~L3DObjectClone() override;

    // 0 for null, for the clone itself or an object that is not movable
    // (nothing changes). A clone as source binds to that clone's source. A
    // bound clone first leaves its old source. The clone takes the source's
    // location and its name without the dummy prefix ("NoName" without one).
    int32_t SetSource(L3DObject* source);
    L3DObject* GetSource() const { return m_source; }

    int32_t GetNPolygons(int32_t recursive) override;
    void SetWireFrame(int32_t on) override;
    void SetFlat(int32_t on) override;
    void SetMapped(int32_t on) override;
    void SetGouraud(int32_t on) override;
    void SetLambert(int32_t on) override;
    void Show() override;
    void Hide(int32_t recursive) override;
    void SetCollision(int32_t on) override;
    void SetFlagBit23(int32_t on) override;
    int32_t IsFlagBit23() override;
    int32_t IsCollision() override;
    int32_t IsVisible() override;
    int32_t IsGouraud() override;
    int32_t IsLambert() override;
    int32_t IsMovable() override;
    int32_t IsFlat() override;
    int32_t IsWireFrame() override;
    int32_t IsMapped() override;
    void MakeStatic(int32_t) override {}
    void InitFlags() override {}
    // Bound: the box takes the source's extent (the clone has no mesh).
    void RefreshBox(int32_t refresh) override;
    void Pick(LCameraView* camera, const float* point, const float* radius, L3DObject** out) override;
    // The object's chunk, then (when bound) the source's name.
    void SaveObject(LChunkStream& out, uint32_t saveFlags) override;
    void UpdateFrame(LCameraView* camera) override;
    void DrawFrame(LCameraView* camera) override;
    void UpdateTransform(LCameraView* camera) override;

private:
    void Unbind();
    // The source's location and frame go to the stash; the source takes the
    // clone's location and frame.
    void Borrow(LCameraView* camera);
    void GiveBack();

    L3DObject* m_source = nullptr;
    L3DLocation m_stash{0, 0, 0, 0, 0, 0};
    uint32_t m_stashedFlags = 0;
    int32_t m_stashedFrame = 0;
};
