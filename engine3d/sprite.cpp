#include "engine3d/sprite.h"

#include "engine3d/chunk_stream.h"
#include "engine3d/render_link.h"
#include "engine3d/texture.h"
#include "engine3d/texture_list.h"
#include "engine3d/world.h"

#include <cmath>

LSprite::~LSprite() { ChangeTextureReference(m_texture, -1); }

void LSprite::ChangeTextureReference(LTexture* texture, int delta) {
    if (!texture || !m_world) return;
    LDataNode* node = m_world->GetTextureList().FindNode(texture);
    if (!node) return;
    if (delta > 0 && node->referenceCount < 255) ++node->referenceCount;
    if (delta < 0 && node->referenceCount > 1) --node->referenceCount;
}

void LSprite::SetFlags(uint32_t flags) {
    if ((flags & kTextured) && !m_texture) flags = (flags & ~uint32_t(kTextured)) | kUntextured;
    m_flags = flags;
}

void LSprite::SetTexture(LTexture* texture) {
    if (texture)
        ChangeTextureReference(texture, +1);
    else
        m_flags = (m_flags & ~uint32_t(kExtra | kTextured)) | kUntextured;
    ChangeTextureReference(m_texture, -1);
    if (texture == m_texture) return;
    m_texture = texture;
    if (texture) texture->SetTranslucency(m_transparency);
    Recompute();
}

void LSprite::SetColor(const uint32_t* colour) {
    if (colour) m_colour = *colour;
}

void LSprite::SetTransparency(uint8_t value) {
    m_transparency = value;
    if (m_texture) m_texture->SetTranslucency(value);
}

void LSprite::SetAngle(float radians) {
    if (!(radians > 0.0f)) radians = 0.0f;  // negative and NaN
    if (radians >= kFullTurn) radians = kFullTurn;
    if (radians == m_angle) return;
    m_angle = radians;
    Recompute();
}

void LSprite::SetHotSpot(const int32_t* xy) {
    if (!xy || (xy[0] == m_hotSpot[0] && xy[1] == m_hotSpot[1])) return;
    m_hotSpot[0] = xy[0];
    m_hotSpot[1] = xy[1];
    Recompute();
}

void LSprite::SetExtent(const int32_t* position, const int32_t* size) {
    if (!position || !size) return;
    if (position[0] == m_position[0] && position[1] == m_position[1] && size[0] == m_size[0] && size[1] == m_size[1])
        return;
    m_position[0] = position[0], m_position[1] = position[1];
    m_size[0] = size[0], m_size[1] = size[1];
    Recompute();
}

void LSprite::SetScale(float x, float y) {
    if (!(x > 0.0f)) x = 0.0f;
    if (!(y > 0.0f)) y = 0.0f;
    if (x == m_scale[0] && y == m_scale[1]) return;
    m_scale[0] = x, m_scale[1] = y;
    Recompute();
}

void LSprite::Recompute() {
    const float px = float(m_position[0]), py = float(m_position[1]);
    const float left = px - float(m_hotSpot[0]), top = py - float(m_hotSpot[1]);
    const float right = left + float(m_size[0]), bottom = top + float(m_size[1]);
    const float xs[4] = {left, right, right, left}, ys[4] = {top, top, bottom, bottom};
    const float c = std::cos(m_angle), s = std::sin(m_angle);
    float w = 0.0f, h = 0.0f;
    if (m_texture) w = float(m_texture->GetWidth()) * m_scale[0], h = float(m_texture->GetHeight()) * m_scale[1];
    const float us[4] = {0, w, w, 0}, vs[4] = {0, 0, h, h};
    for (int i = 0; i < 4; ++i) {
        m_corners[i][0] = c * (xs[i] - px) - s * (ys[i] - py) + px;
        m_corners[i][1] = c * (ys[i] - py) + s * (xs[i] - px) + py;
        m_corners[i][2] = us[i];
        m_corners[i][3] = vs[i];
    }
}

// ---------------------------------------------------------------------------

LBaseSprite::~LBaseSprite() { DeleteSpriteAt(-1); }

void LBaseSprite::Release(LSprite* sprite) {
    if (L3DWorld* world = sprite->GetWorld())
        world->DeleteSprite(sprite);
    else
        delete sprite;
}

LDataNode* LBaseSprite::CreateSprite(L3DWorld* world) {
    LSprite* sprite = world ? world->CreateSprite() : nullptr;
    if (!sprite) return nullptr;
    LDataNode* node = InsertAfter(sprite, nullptr);
    if (!node) Release(sprite);
    return node;
}

LDataNode* LBaseSprite::ReplaceSprite(L3DWorld* world, LSprite* sprite) {
    LDataNode* old = sprite ? FindNode(sprite) : nullptr;
    LSprite* fresh = world ? world->CreateSprite() : nullptr;
    if (!fresh) return nullptr;
    LDataNode* node = old ? InsertBefore(fresh, old) : InsertAfter(fresh, nullptr);
    if (!node) {
        Release(fresh);
        return nullptr;
    }
    if (old) RemoveNode(old, 1);
    return node;
}

void LBaseSprite::MoveSprite(LSprite* sprite, LSprite* before) {
    LDataNode* node = sprite ? FindNode(sprite) : nullptr;
    if (node) MoveBefore(node, before ? FindNode(before) : nullptr);
}

int32_t LBaseSprite::DeleteSprite(LSprite* sprite) {
    if (!sprite) return kAbsent;
    LDataNode* node = FindNode(sprite);
    if (node) RemoveNode(node, owns ? 1 : 0);
    if (owns) Release(sprite);
    return 0;
}

int32_t LBaseSprite::DeleteSpriteAt(int32_t position) {
    if (position != -1) {
        LDataNode* node = GetNodeAt(position);
        return node ? DeleteSprite(static_cast<LSprite*>(node->value)) : kAbsent;
    }
    while (LDataNode* node = GetHead()) {
        LSprite* sprite = static_cast<LSprite*>(node->value);
        RemoveNode(node, 1);
        if (owns) Release(sprite);
    }
    return 0;
}

void LBaseSprite::DrawSprites(LRenderTargetLink* target, L3DCamera* camera) {
    if (!target) return;
    for (LDataNode* node = GetHead(); node; node = node->next) {
        LSprite* sprite = static_cast<LSprite*>(node->value);
        if (!(sprite->GetFlags() & LSprite::kHidden)) target->DrawSprite(camera, sprite);
    }
}

void LBaseSprite::Save(LChunkStream& out) {
    const int32_t start = out.BeginChunk(ChunkTag("BSPR"));
    out.WriteU16(uint32_t(GetCount()));
    for (LDataNode* node = GetHead(); node; node = node->next) out.EndChunk(out.BeginChunk(ChunkTag("SPRI")));
    out.EndChunk(start);
}
