#pragma once
// LSprite: one textured or coloured quad in screen coordinates (hot spot,
// position, size, rotation about the position, texture scale, colour,
// transparency), drawn over the 3D frame. LBaseSprite is a world's sprite
// list, drawn in list order after the scene. Sprites are made and released
// through the world's render target, which gives each back end its own type.
#include "engine3d/data_link.h"

#include <cstdint>

class L3DWorld;
class L3DCamera;
class LTexture;
class LChunkStream;
class LRenderTargetLink;

class LSprite {
public:
    enum : uint32_t { kExtra = 2, kUntextured = 4, kTextured = 8, kKeyed = 0x80, kHidden = 0x200 };
    static constexpr float kFullTurn = 6.2831855f;

    explicit LSprite(L3DWorld* world = nullptr) : m_world(world) {}
    LSprite(const LSprite&) = delete;
    LSprite& operator=(const LSprite&) = delete;
    virtual ~LSprite();

    void SetFlags(uint32_t flags);
    void SetTexture(LTexture* texture);
    void SetColor(const uint32_t* colour);
    void SetTransparency(uint8_t value);
    void SetAngle(float radians);
    void SetHotSpot(const int32_t* xy);
    // Position x, y and size width, height.
    void SetExtent(const int32_t* position, const int32_t* size);
    void SetScale(float x, float y);
    // The quad from the fields: corners rotated about the position.
    void Recompute();

    uint32_t GetFlags() const { return m_flags; }
    LTexture* GetTexture() const { return m_texture; }
    const uint32_t* GetColor() const { return &m_colour; }
    uint8_t GetTransparency() const { return m_transparency; }
    float GetAngle() const { return m_angle; }
    float GetScaleX() const { return m_scale[0]; }
    float GetScaleY() const { return m_scale[1]; }
    // Four corners of (x, y, u, v).
    const float* GetCorners() const { return &m_corners[0][0]; }
    // One corner's (x, y, u, v) set directly (the world's background).
    void SetCorner(int32_t i, float x, float y, float u, float v) {
        if (i < 0 || i > 3) return;
        m_corners[i][0] = x, m_corners[i][1] = y, m_corners[i][2] = u, m_corners[i][3] = v;
    }
    const int32_t* GetPosition() const { return m_position; }
    const int32_t* GetSize() const { return m_size; }
    L3DWorld* GetWorld() const { return m_world; }

    int32_t visible = 1;
    int32_t antiAliased = 0;  // the hardware back ends' filter switch

private:
    void ChangeTextureReference(LTexture* texture, int delta);

    float m_corners[4][4] = {};
    LTexture* m_texture = nullptr;
    uint32_t m_colour = 0xFFFFFF;
    uint8_t m_transparency = 255;
    float m_angle = 0.0f;
    uint32_t m_flags = kUntextured;
    int32_t m_hotSpot[2] = {0, 0};
    int32_t m_position[2] = {0, 0};
    int32_t m_size[2] = {0, 0};
    L3DWorld* m_world;
    float m_scale[2] = {1.0f, 1.0f};
};

class LBaseSprite : public LDataLink {
public:
    enum : int32_t { kAbsent = 12 };

    LBaseSprite() = default;
    virtual ~LBaseSprite();

    LDataNode* CreateSprite(L3DWorld* world);
    // A new sprite listed where `sprite` stands; `sprite` leaves the list
    // unreleased (a later DeleteSprite of it only releases it).
    LDataNode* ReplaceSprite(L3DWorld* world, LSprite* sprite);
    void MoveSprite(LSprite* sprite, LSprite* before);
    int32_t DeleteSprite(LSprite* sprite);
    int32_t DeleteSpriteAt(int32_t position);
    void DrawSprites(LRenderTargetLink* target, L3DCamera* camera);
    void Save(LChunkStream& out);

    int32_t owns = 1;

private:
    void Release(LSprite* sprite);
};
