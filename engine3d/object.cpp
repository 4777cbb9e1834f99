#include "engine3d/object.h"

#include "engine3d/animated_object.h"
#include "engine3d/key_tracks.h"
#include "engine3d/name_text.h"
#include "engine3d/point.h"
#include "engine3d/world.h"
#include "runtime/base/pool_list.h"
#include "runtime/base/sys_utils.h"

#include <cstring>
#include <new>

namespace {

const char kBaseClusterName[] = "Base_Cluster";
const char kClusterName[] = "Cluster";
const size_t kDummyPrefixLength = sizeof(L3DObject::kDummyPrefix) - 1;

bool Is(const char* name, const char* special) { return name && std::strcmp(name, special) == 0; }

bool HasDummyPrefix(const char* name) {
    return name && std::strncmp(name, L3DObject::kDummyPrefix, kDummyPrefixLength) == 0;
}

const char* WithoutPrefix(const char* name) { return HasDummyPrefix(name) ? name + kDummyPrefixLength : name; }

// The box's six faces over its eight corners.
const int kBoxFaces[6][4] = {{0, 1, 2, 3}, {4, 5, 6, 7}, {0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};

}  // namespace

L3DObject::L3DObject(const char* name, L3DWorld* world, LCLBKObject* callback) : LManageCLBKObject(callback) {
    // The box's block is reserved first, from the retrying allocator, so a
    // failure can be injected: the object then keeps flag 0x10000 without a
    // box. The box itself is built last.
    const bool wantsBox = world && !Is(name, kBoxName) && !Is(name, kBaseClusterName);
    void* boxMemory = nullptr;
    if (wantsBox) AllocRetry(sizeof(L3DObject), &boxMemory);
    SetWorld(world);
    SetOwner(this);
    AddBase();  // the first frame's vertex array becomes the owner's
    if (!Is(name, kBoxName) && !Is(name, kBaseClusterName) && !Is(name, kClusterName)) m_keys = new LKeySet();
    SetPositionAndAngles(0, 0, 0, 0, 0, 0);
    if (name) AssignStringBuffer(&m_name, name);
    objectFlags = kInitialFlags;
    if (wantsBox) {
        objectFlags |= kFlagHasBox;
        if (boxMemory) BuildBox(world, boxMemory);
    }
    m_shadowOpacity = kDefaultShadowOpacity;
    if (HasDummyPrefix(name)) m_kind = kKindDummy;
}

void L3DObject::BuildBox(L3DWorld* world, void* memory) {
    m_box = new (memory) L3DObject(kBoxName, world, nullptr);
    LBasePoint* corners = m_box->GetPoints();
    corners->DisableSharing();  // eight distinct corners, all at the origin for now
    L3DPoint* corner[8];
    for (L3DPoint*& p : corner) p = corners->AddPoint(0, 0, 0, 0, 0);
    corners->EnableSharing();
    for (const auto& face : kBoxFaces) {
        LPolygon* quad = world->CreatePolygon(m_box, 2, nullptr);
        if (!quad) continue;
        for (int i = 0; i < 4; ++i) {
            if (i == 3) quad->SetMaxPoints(4);
            quad->AddPoint(corner[face[i]]);
        }
        quad->material = world->GetDefaultMaterial();
        m_box->AddPolygonToFrame(quad);
    }
}

void L3DObject::DestroyBox() {
    if (!m_box) return;
    m_box->~L3DObject();
    void* memory = m_box;
    FreeAndNull(&memory);
    m_box = nullptr;
}

L3DObject::~L3DObject() {
    // No light keeps lighting an object that is gone.
    if (L3DWorld* world = GetWorld()) world->GetLightList().ForgetObject(this);
    delete m_keys;
    DestroyBox();
    EmptyChildren();
    LeaveParent();
    DestroyClones();
    FreeAndNull(&m_name);
    DestroyShadowQuad();
    // The callback owner hears of it from the manager base, then the
    // location and the mesh frames go.
}

void L3DObject::DestroyClones() {
    if (!m_clones) return;
    // Gathered first: each clone's destructor takes it out of m_clones.
    CPoolList gathered;
    for (LDataNode* n = m_clones->GetHead(); n; n = n->next) gathered.AddTail(reinterpret_cast<uintptr_t>(n->value));
    uint32_t position = gathered.GetHeadPosition();
    while (uintptr_t item = gathered.GetNext(position)) {
        auto* clone = reinterpret_cast<L3DObject*>(item);
        L3DWorld* world = clone->GetWorld();
        if (LDataNode* node = world ? world->GetObjects().FindNode(clone) : nullptr)
            world->GetObjects().RemoveNode(node, 1);
        delete clone;
    }
    delete m_clones;
    m_clones = nullptr;
    m_cloneCount = 0;
}

void L3DObject::SyncCloneFlags() {
    if (!m_clones) return;
    for (LDataNode* n = m_clones->GetHead(); n; n = n->next) {
        auto* clone = static_cast<L3DObject*>(n->value);
        clone->objectFlags = (objectFlags & ~kFlagBoxShown) | (clone->objectFlags & kFlagBoxShown);
    }
}

bool L3DObject::IsAncestorOf(const L3DObject* other) const {
    for (const L3DObject* o = other ? other->m_parent : nullptr; o; o = o->m_parent)
        if (o == this) return true;
    return false;
}

void L3DObject::SetParent(L3DObject* parent, int32_t keep) {
    if (parent == m_parent || parent == this || IsAncestorOf(parent)) return;
    L3DWorld* world = GetWorld();
    // Under `to` the object's local transform is the offset from it.
    const auto attach = [this](L3DObject* to) {
        if (!to->LinkChild(this)) return;
        LMatrix34::SetIdentity(m_local.m);
        const float* p = to->GetPosition();
        for (int i = 0; i < 3; ++i) m_local.m[4 * i + 3] = m_position[i] - p[i];
    };
    if (!parent) {
        L3DObject* root = GetRoot();
        LeaveParent();
        if (keep == 0 && world && root->m_kind == kKindAnimated) {
            // A part taken out of an animated tree goes on playing the old
            // root's "Main" range under an animated object of its own (kept
            // by the world: without one nothing would own it).
            auto* holder = new L3DObject_Animation("Object", world, nullptr);
            const LAnimationIK& from = static_cast<L3DObject_Animation*>(root)->GetAnimation();
            if (const LTrackRecord* main = from.FindTrack(LAnimationIK::kMainTrack))
                holder->GetAnimation().DefineTrack(LAnimationIK::kMainTrack, *main);
            holder->GetAnimation().SelectTrack(LAnimationIK::kMainTrack);
            world->AddObject(holder);
            attach(holder);
            return;
        }
        if (world) world->AddObject(this);
        return;
    }
    if (m_parent) {
        LeaveParent();
    } else {
        if (world && world->GetObjects().FindNode(this)) {
            const int32_t autoDelete = world->GetAutoDelete();
            world->SetAutoDelete(0);
            world->RemoveObject(this);
            world->SetAutoDelete(autoDelete);
        }
        if (m_kind == kKindAnimated && keep == 0) {
            // An animated object put under a parent hands its parts over and
            // goes: the parent plays them from now on.
            while (LDataNode* node = m_children ? m_children->GetHead() : nullptr) {
                auto* child = static_cast<L3DObject*>(node->value);
                child->LeaveParent();
                parent->LinkChild(child);
            }
            delete this;
            return;
        }
    }
    attach(parent);
}

void L3DObject::EmptyChildren() {
    if (!m_children) return;
    while (LDataNode* node = m_children->GetHead()) {
        auto* child = static_cast<L3DObject*>(node->value);
        if (child->m_kind & kKindOwnedBit) {
            delete child;  // its destructor takes it out of the list
        } else {
            m_children->RemoveNode(node, 1);
            child->m_parent = nullptr;
        }
        if (!m_children) return;  // the last child's LeaveParent freed the list
    }
    delete m_children;
    m_children = nullptr;
}

int32_t L3DObject::LinkChild(L3DObject* child) {
    if (!child || child == this || child->m_parent) return 0;
    if (!m_children) m_children = new LDataLink();
    if (!m_children->InsertAfter(child, nullptr)) return 0;
    child->m_parent = this;
    return 1;
}

void L3DObject::LeaveParent() {
    L3DObject* parent = m_parent;
    if (!parent) return;
    m_parent = nullptr;
    if (!parent->m_children) return;
    parent->m_children->RemoveNode(parent->m_children->FindNode(this), 1);
    if (parent->m_children->GetCount() == 0) {
        delete parent->m_children;
        parent->m_children = nullptr;
    }
}

L3DObject* L3DObject::GetRoot() {
    L3DObject* o = this;
    while (o->m_parent) o = o->m_parent;
    return o;
}

L3DLocation* L3DObject::RootLocation() { return GetRoot(); }

void L3DObject::GetName(char* buffer, int32_t size) const {
    CopyBounded(buffer, size, m_name ? WithoutPrefix(m_name) : "NoName");
}

void L3DObject::SetName(const char* name) {
    if (name)
        AssignStringBuffer(&m_name, name);
    else
        FreeAndNull(&m_name);
}

L3DObject* L3DObject::FindChildByName(const char* name) {
    if (!name) return nullptr;
    if (m_name && std::strcmp(m_name, name) == 0) return this;
    if (!m_children) return nullptr;
    for (LDataNode* n = m_children->GetHead(); n; n = n->next) {
        auto* child = static_cast<L3DObject*>(n->value);
        if (child->m_name && std::strcmp(WithoutPrefix(child->m_name), name) == 0) return child;
    }
    return nullptr;
}

void L3DObject::AddLight(L3DLight** list, uint8_t& count, L3DLight* light) {
    if (count < kMaxLights) list[count++] = light;
}

void L3DObject::RemoveLight(L3DLight** list, uint8_t& count, L3DLight* light) {
    for (int i = 0; i < count; ++i) {
        if (list[i] != light) continue;
        std::memmove(&list[i], &list[i + 1], sizeof(L3DLight*) * size_t(count - i - 1));
        list[--count] = nullptr;
        return;
    }
}
