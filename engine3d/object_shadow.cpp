// The textured shadow: a four-point quad under the object, made on demand
// through the render target's driver with the world's default shadow
// material (or a private "ShadowMat : name" material with a texture). Its
// corner offsets are kept in the points' local coordinates; their world
// positions are the offsets plus the object's position.
#include "engine3d/object.h"

#include "engine3d/camera_view.h"
#include "engine3d/chunk_stream.h"
#include "engine3d/material.h"
#include "engine3d/point.h"
#include "engine3d/texture.h"
#include "engine3d/world.h"

#include <climits>
#include <cmath>
#include <cstdio>

namespace {

const float kCornerSigns[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
const float kCornerUV[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
constexpr uint32_t kTexturedShadowMode = 2;
constexpr uint8_t kShadowTranslucency = 192;

// Truncation of a size that never meets NaN, infinity or overflow.
int32_t TruncatedSize(float v) {
    const float a = std::fabs(v);
    if (!(a >= 0.0f)) return 0;
    return a >= 2147483520.0f ? INT_MAX : int32_t(a);
}

}  // namespace

bool L3DObject::MakeShadowQuad() {
    if (m_shadowQuad) return true;
    L3DWorld* world = GetWorld();
    if (!world) return false;
    LPolygon* quad = world->CreatePolygon(this, 4, nullptr);
    if (!quad) return false;
    quad->SetMaxPoints(4);
    for (int i = 0; i < 4; ++i) {
        L3DPoint* p = world->CreatePoint(10.0f * kCornerSigns[i][0], 0.0f, 10.0f * kCornerSigns[i][1],
                                         kCornerUV[i][0], kCornerUV[i][1]);
        if (!p) {
            while (quad->count > 0) world->DeletePoint(quad->points[--quad->count]);
            world->DeletePolygon(quad);
            return false;
        }
        quad->points[i] = p;
        quad->uv[i][0] = kCornerUV[i][0];
        quad->uv[i][1] = kCornerUV[i][1];
        quad->count = uint8_t(i + 1);
    }
    quad->material = world->GetDefaultShadowMaterial();
    quad->ComputePlanes(0);
    m_shadowQuad = quad;
    return true;
}

void L3DObject::DestroyShadowQuad() {
    LPolygon* quad = m_shadowQuad;
    if (!quad) return;
    m_shadowQuad = nullptr;
    L3DWorld* world = GetWorld();
    LMaterial* material = quad->material;
    for (int i = 0; i < quad->count; ++i) {
        if (world)
            world->DeletePoint(quad->points[i]);
        else
            delete quad->points[i];
        quad->points[i] = nullptr;
    }
    quad->count = 0;
    if (world)
        world->DeletePolygon(quad);
    else
        delete quad;
    if (world && material && material != world->GetDefaultMaterial() &&
        material != world->GetDefaultShadowMaterial())
        world->GetMaterialList().DeleteMaterial(material);
}

void L3DObject::EnableShadow(int32_t on) {
    if (!on) {
        objectFlags &= ~uint32_t(kFlagShadow);
        return;
    }
    if (!MakeShadowQuad()) return;
    objectFlags |= kFlagShadow;
    PositionChanged(1);
    SyncCloneFlags();
}

void L3DObject::SetShadowSize(float width, float height) {
    if (!MakeShadowQuad()) return;
    for (int i = 0; i < 4; ++i) {
        m_shadowQuad->points[i]->local[0] = kCornerSigns[i][0] * width * 0.5f;
        m_shadowQuad->points[i]->local[2] = kCornerSigns[i][1] * height * 0.5f;
    }
    m_shadowQuad->ComputePlanes(0);
}

void L3DObject::GetShadowSize(int32_t* width, int32_t* height) const {
    const L3DPoint* first = m_shadowQuad ? m_shadowQuad->points[0] : nullptr;
    if (width) *width = first ? TruncatedSize(2.0f * first->local[0]) : 0;
    if (height) *height = first ? TruncatedSize(2.0f * first->local[2]) : 0;
}

LTexture* L3DObject::GetShadowTexture() const {
    return m_shadowQuad && m_shadowQuad->material ? m_shadowQuad->material->GetTexture(0) : nullptr;
}

void L3DObject::SetShadowTexture(LTexture* texture) {
    L3DWorld* world = GetWorld();
    if (!world || !MakeShadowQuad()) return;
    LMaterial* shared = world->GetDefaultShadowMaterial();
    LMaterial* current = m_shadowQuad->material;
    if (!texture) {
        m_shadowQuad->material = shared;
        if (current && current != shared && current != world->GetDefaultMaterial())
            world->GetMaterialList().DeleteMaterial(current);
        return;
    }
    LTextureList& textures = world->GetTextureList();
    if (!textures.GetList().FindNode(texture)) textures.AddTexture(texture);
    if (current != shared && current) {
        current->SetTexture(0, texture);
        return;
    }
    char name[16 + 256], own[256];
    GetName(own, sizeof own);
    std::snprintf(name, sizeof name, "ShadowMat : %s", own);
    LMaterial* material = world->GetMaterialList().CreateMaterial(name, texture, 0, 0, nullptr);
    if (!material) return;
    material->SetSemiTransparency(kShadowTranslucency);
    m_shadowQuad->material = material;
}

void L3DObject::SetShadow(float size, LTexture* texture) {
    SetShadowSize(size, size);
    SetShadowTexture(texture);
}

void L3DObject::DropShadowQuad() {
    if (!m_box || !m_shadowQuad) return;
    L3DWorld* world = GetWorld();
    const float h = world ? world->HeightAboveGround(m_position) : L3DWorld::kNoGround;
    for (int i = 0; i < m_shadowQuad->count; ++i) m_shadowQuad->points[i]->local[1] = 0.1f - h;
}

void L3DObject::PlaceShadowQuad(const LCameraView* camera) {
    if (!m_shadowQuad) return;
    for (int i = 0; i < m_shadowQuad->count; ++i) {
        L3DPoint* p = m_shadowQuad->points[i];
        for (int a = 0; a < 3; ++a) p->world[a] = p->local[a] + m_position[a];
        if (camera) p->ProjectFromWorld(*camera);
    }
}

int32_t L3DObject::ShadowIntensity(L3DLocation* shadow, LShadowRecord* out) {
    if (CountPolygonsInFrame() <= 0 || !m_box) return 0;
    float low[3], high[3];
    BoxCorners(low, high);
    const float under[3] = {m_position[0], low[1], m_position[2]};
    L3DWorld* world = GetWorld();
    const float h = world ? world->HeightAboveGround(under) : L3DWorld::kNoGround;
    if (out) out->height = low[1] - h + 0.0001f;
    const float reach = 25.0f * std::fmax(high[0] - low[0], high[2] - low[2]);
    if (!(h >= 0.0f && h < reach)) return 0;
    const int32_t intensity = TruncatedSize((reach - h) * float(m_shadowOpacity) / reach);
    if (out) {
        out->normal[0] = 0.0f;
        out->normal[1] = 1.0f;
        out->normal[2] = 0.0f;
    }
    if (shadow) shadow->CopyPosition(*this);
    return intensity;
}

void L3DObject::SaveShadow(LChunkStream& out) const {
    if (!m_shadowQuad) return;
    const int32_t start = out.BeginChunk(ChunkTag("OSHA"));
    int32_t width = 0, height = 0;
    GetShadowSize(&width, &height);
    const LTexture* texture = GetShadowTexture();
    out.WriteU32(kTexturedShadowMode);
    out.WriteU16(uint32_t(width));
    out.WriteU16(uint32_t(height));
    out.WriteString(texture ? texture->GetFileNameText() : "");
    out.WriteString(texture ? texture->GetNameText() : "");
    out.WriteU8((objectFlags & kFlagShadow) ? 1 : 0);
    // "TSHA" keeps its size word 0: the size of "OSHA" covers it.
    out.BeginChunk(ChunkTag("TSHA"));
    out.WriteU32(texture ? texture->GetTransparentColor() : 0);
    out.WriteU16(texture && (texture->GetFlags() & LTexture::kColourKey) ? 1 : 0);
    out.WriteU8(texture ? texture->GetTranslucency() : 255);
    out.EndChunk(start);
}
