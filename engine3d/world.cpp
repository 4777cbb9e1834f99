#include "engine3d/world.h"

#include "engine3d/file_search.h"
#include "engine3d/image_file_source.h"
#include "engine3d/object.h"
#include "engine3d/point.h"
#include "engine3d/polygon.h"
#include "engine3d/render_link.h"
#include "engine3d/texture.h"

#include <cstdio>

namespace {
LDriverLink* DriverOf(const LRenderTargetLink* target) { return target ? target->GetDriverLink() : nullptr; }
LImageSourceFactory g_imageSourceFactory = &NewImageFileSource;
}  // namespace

L3DWorld::L3DWorld(LRenderTargetLink* renderTarget, FileCopyCallback copy)
    : m_renderTarget(renderTarget), m_copy(copy), m_materials(this), m_textures(this),
      m_defaultMaterial(new LMaterial(nullptr, "$Ruk3D Mat$ Default Material", nullptr, 0xFF0000, 0, nullptr)),
      m_defaultShadowMaterial(new LMaterial(nullptr, "$Ruk3D Mat$ Default Shadow Material", nullptr, 0, 0, nullptr)) {
    m_materials.AddMaterial(m_defaultMaterial);
    m_materials.AddMaterial(m_defaultShadowMaterial);
}

L3DWorld::~L3DWorld() {
    RemoveObjectAt(-1);
    while (LDataNode* node = m_clusterObjects.GetHead()) {
        auto* object = static_cast<L3DObject*>(node->value);
        m_clusterObjects.RemoveNode(node, 1);
        delete object;
    }
    m_sprites.DeleteSpriteAt(-1);
    m_materials.DeleteMaterialAt(-1);
    m_textures.DeleteTextureAt(-1);
    delete m_imageFile;
    delete m_defaultShadowMaterial;
    delete m_defaultMaterial;
}

L3DPoint* L3DWorld::CreatePoint(float x, float y, float z, float u, float v) {
    LDriverLink* driver = DriverOf(m_renderTarget);
    return driver ? driver->CreatePoint(x, y, z, u, v) : nullptr;
}

void L3DWorld::DeletePoint(L3DPoint* point) {
    if (LDriverLink* driver = DriverOf(m_renderTarget))
        driver->DeletePoint(point);
    else
        delete point;  // the drivers' own body: a virtual destructor
}

LPolygon* L3DWorld::CreatePolygon(LPolygonOwner* owner, int32_t reserved, void* callback) {
    LDriverLink* driver = DriverOf(m_renderTarget);
    return driver ? driver->CreatePolygon(owner, reserved, callback) : nullptr;
}

void L3DWorld::DeletePolygon(LPolygon* polygon) {
    if (LDriverLink* driver = DriverOf(m_renderTarget))
        driver->DeletePolygon(polygon);
    else
        delete polygon;
}

LTexture* L3DWorld::CreateTexture(const char* name, LCLBKObject* callback) {
    LDriverLink* driver = DriverOf(m_renderTarget);
    return driver ? driver->CreateTexture(this, name, callback) : nullptr;
}

void L3DWorld::DeleteTexture(LTexture* texture) {
    if (LDriverLink* driver = DriverOf(m_renderTarget))
        driver->DeleteTexture(texture);
    else
        delete texture;
}

LSprite* L3DWorld::CreateSprite() {
    LDriverLink* driver = DriverOf(m_renderTarget);
    return driver ? driver->CreateSprite(this) : nullptr;
}

void L3DWorld::DeleteSprite(LSprite* sprite) {
    if (LDriverLink* driver = DriverOf(m_renderTarget))
        driver->DeleteSprite(sprite);
    else
        delete sprite;
}

void L3DWorld::SetImageSourceFactory(LImageSourceFactory factory) { g_imageSourceFactory = factory; }
LImageSourceFactory L3DWorld::GetImageSourceFactory() { return g_imageSourceFactory; }

LImageSource* L3DWorld::GetImageFile() {
    if (!m_imageFile && g_imageSourceFactory) m_imageFile = g_imageSourceFactory();
    return m_imageFile;
}

int32_t L3DWorld::CopyFile(LTexture* texture, const char* source, const char* destination, int32_t failIfExists,
                           const char* name) {
    if (m_copy) return m_copy(texture, name, destination, failIfExists, source);
    LFileSearch& fs = m_fileSearch ? *m_fileSearch : GetSystemFileSearch();
    return fs.CopyFile(source, destination, failIfExists);
}

int32_t L3DWorld::CopyTextureFile(const LTexture* texture, const char* bareName) {
    LFileSearch& fs = m_fileSearch ? *m_fileSearch : GetSystemFileSearch();
    char current[LTextureList::kPathSize], destination[LTextureList::kPathSize];
    if (!fs.GetCurrentDir(current, sizeof current)) return 0;
    const int n = std::snprintf(destination, sizeof destination, "%s%c%s", current, '\\', bareName);
    if (n <= 0 || n >= int(sizeof destination)) return 0;
    return CopyFile(const_cast<LTexture*>(texture), texture->GetFileNameText(), destination, 1, texture->GetNameText());
}

int32_t L3DWorld::AddObject(L3DObject* object) {
    if (!object) return 0;
    object->SetWorld(this);
    object->RefreshBox(1);
    const uint32_t kind = object->GetKind();
    const bool clone = kind == L3DObject::kKindClone || kind == L3DObject::kKindAnimationClone;
    LDataNode* node = clone ? m_objects.InsertBefore(object, m_objects.GetHead()) : m_objects.InsertAfter(object, nullptr);
    if (!node) return 0;
    ++node->referenceCount;
    object->InitFlags();
    if (LDataLink* polygons = object->GetPolygonList())
        for (LDataNode* n = polygons->GetHead(); n; n = n->next) {
            auto* polygon = static_cast<LPolygon*>(n->value);
            if (!polygon->material) polygon->material = m_defaultMaterial;
        }
    return (object->GetObjectFlags() & L3DObject::kFlagHidden) ? 0 : 1;
}

void L3DWorld::ClusterTakeObject(L3DObject* object) {
    if (object && !m_clusterObjects.FindNode(object)) m_clusterObjects.InsertAfter(object, nullptr);
}

int32_t L3DWorld::RemoveObject(L3DObject* object) {
    LDataNode* node = m_objects.FindNode(object);
    if (!node) return 1;
    m_objects.RemoveNode(node, 1);
    if (m_autoDelete == 1) delete object;
    return 0;
}

int32_t L3DWorld::RemoveObjectAt(int32_t position) {
    if (position != -1) {
        LDataNode* node = m_objects.GetNodeAt(position);
        return node ? RemoveObject(static_cast<L3DObject*>(node->value)) : 1;
    }
    while (LDataNode* node = m_objects.GetHead()) RemoveObject(static_cast<L3DObject*>(node->value));
    return 0;
}
