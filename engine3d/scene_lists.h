#pragma once
// The world's lists of lights, sound objects, zones and blobs, with only
// the operations the world calls: construction, SetWorld, delete-all, the
// frame passes and the nearest-hit walks. The elements themselves (and the
// lists' creation, search and saving) come with the scene-elements issue;
// until then the lists hold plain objects and the passes treat them as such.
// A list destroys the elements it still holds.
#include "engine3d/data_link.h"

#include <cstdint>

class L3DWorld;
class L3DObject;
class L3DCamera;

class LSceneList : public LDataLink {
public:
    LSceneList() = default;
    virtual ~LSceneList() { DeleteAll(); }

    void SetWorld(L3DWorld* world) { m_world = world; }
    L3DWorld* GetWorld() const { return m_world; }
    // 1 (the default): elements added while visible stay visible.
    int32_t GetShowFlag() const { return m_show; }
    void SetShowFlag(int32_t on) { m_show = on; }
    // Appends an element (the list owns it from then on).
    void Append(L3DObject* element);
    // Removes and destroys every element.
    void DeleteAll();
    // Every element without a parent is updated and drawn for the camera.
    void FramePass(L3DCamera* camera);
    // Picks every element with the query; the nearest so far in `out`.
    void HitTest(L3DCamera* camera, const float* point, const float* radius, L3DObject** out);

private:
    L3DWorld* m_world = nullptr;
    int32_t m_show = 1;
};

// Lights. The ambient light and relighting come with the lights.
class LBaseLight : public LSceneList {
public:
    // delete-all takes -1 or -2 (also the ambient light's companions).
    void DeleteLightAt(int32_t index) {
        if (index < 0) DeleteAll();
    }
    // The movable lights' transform for the frame.
    void TransformMovable(L3DCamera* camera) { FramePass(camera); }
    // Relights every object the lights reach: nothing without lights.
    void RelightAll() {}
};

class L3DSoundList : public LSceneList {
public:
    void UpdateSounds(L3DCamera* camera) { FramePass(camera); }
};

class LBase3DZone : public LSceneList {
public:
    void PrepareZones(L3DCamera* camera) { FramePass(camera); }
};

class LBase3DBlob : public LSceneList {
public:
    // Blobs collide with the given object list too; plain elements only
    // take the frame pass.
    void UpdateBlobs(L3DCamera* camera, LDataLink* /*objects*/) { FramePass(camera); }
};
