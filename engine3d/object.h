#pragma once
// L3DObject: the general object of a world: mesh frames (LMultiBasePoly),
// a placed frame (the LPolygonOwner location, whose object flag word is the
// object's flags), the callback owner (LManageCLBKObject), a name, a parent
// and children, a bounding box object, up to eight fixed and eight movable
// lights, and keyframe tracks. Cameras, lights, clones and the rest derive
// from it and change the kind.
//
// Ownership: a child whose kind has bit 0x2 is destroyed with its parent;
// any other child is only let go (its parent link cleared). The box is owned.
//
// Not here yet: the object's virtual operations and its clones (issue 05),
// the world's object list, the cluster query and the save of "OB3D"
// (issue 07).
#include "engine3d/manage_clbk.h"
#include "engine3d/mesh_bases.h"
#include "engine3d/polygon.h"

#include <cstdint>

class L3DLight;
class LKeySet;

class L3DObject : public LMultiBasePoly, public LPolygonOwner, public LManageCLBKObject {
public:
    enum : uint32_t {
        kKindObject = 10,
        kKindDummy = 0x10002,
        kKindOwnedBit = 0x2,
        kKindClone = 32778,
        kKindAnimationClone = 33802,
    };
    enum : uint32_t {
        kFlagHidden = 0x200,
        kFlagHasBox = 0x10000,
        kInitialFlags = 0x2002800,
    };
    enum : int32_t { kMaxLights = 8, kDefaultShadowOpacity = 128 };
    static constexpr char kDummyPrefix[] = "$$$DUMMY";
    static constexpr char kBoxName[] = "Global_Box";

    L3DObject(const char* name, L3DWorld* world, LCLBKObject* callback);
    ~L3DObject() override;

    uint32_t GetKind() const { return m_kind; }
    void SetKind(uint32_t kind) { m_kind = kind; }
    uint32_t GetObjectFlags() const { return objectFlags; }
    int32_t GetBatchMode() const { return m_batchMode; }
    int32_t GetShadowOpacity() const { return m_shadowOpacity; }
    L3DObject* GetBox() const { return m_box; }
    LKeySet* GetKeys() const { return m_keys; }
    int32_t GetCloneCount() const { return m_cloneCount; }

    // Names: GetName leaves out the dummy prefix and gives "NoName" for an
    // object without a name.
    void GetName(char* buffer, int32_t size) const;
    const char* GetNameText() const { return m_name; }
    void SetName(const char* name);
    // The object itself when its name matches, else the first child whose
    // name (prefix skipped) matches, else null.
    L3DObject* FindChildByName(const char* name);

    // Parent and child links. LinkChild appends a child that has no parent;
    // LeaveParent takes the object out of its parent's list and frees the
    // list when it becomes empty.
    int32_t LinkChild(L3DObject* child);
    void LeaveParent();
    L3DObject* GetParent() const { return m_parent; }
    LDataLink* GetChildren() const { return m_children; }
    L3DObject* GetRoot();

    // Light lists: A fixed, B movable. A ninth light is ignored; removing an
    // absent light changes nothing.
    void AddLightA(L3DLight* light) { AddLight(m_fixedLights, m_fixedCount, light); }
    void AddLightB(L3DLight* light) { AddLight(m_movableLights, m_movableCount, light); }
    void RemoveLightA(L3DLight* light) { RemoveLight(m_fixedLights, m_fixedCount, light); }
    void RemoveLightB(L3DLight* light) { RemoveLight(m_movableLights, m_movableCount, light); }
    int32_t GetFixedLightCount() const { return m_fixedCount; }
    int32_t GetMovableLightCount() const { return m_movableCount; }
    L3DLight* GetFixedLight(int32_t i) const { return i >= 0 && i < m_fixedCount ? m_fixedLights[i] : nullptr; }
    L3DLight* GetMovableLight(int32_t i) const {
        return i >= 0 && i < m_movableCount ? m_movableLights[i] : nullptr;
    }

    uint32_t userWord = 0;

protected:
    L3DLocation* RootLocation() override;

private:
    static void AddLight(L3DLight** list, uint8_t& count, L3DLight* light);
    static void RemoveLight(L3DLight** list, uint8_t& count, L3DLight* light);
    void BuildBox(L3DWorld* world, void* memory);
    void DestroyBox();
    void EmptyChildren();

    uint32_t m_kind = kKindObject;
    int32_t m_batchMode = 1;
    float m_viewRotation[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    L3DLight* m_fixedLights[kMaxLights] = {};
    L3DLight* m_movableLights[kMaxLights] = {};
    uint8_t m_fixedCount = 0;
    uint8_t m_movableCount = 0;
    uint8_t m_drawState = 2;
    uint8_t m_inView = 1;
    char* m_name = nullptr;
    int32_t m_cloneCount = 0;
    LDataLink* m_children = nullptr;
    L3DObject* m_parent = nullptr;
    L3DObject* m_box = nullptr;
    float m_sphere[4] = {0, 0, 0, 0};
    LKeySet* m_keys = nullptr;
    int32_t m_shadowOpacity = kDefaultShadowOpacity;
};
