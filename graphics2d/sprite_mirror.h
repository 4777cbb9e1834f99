#pragma once
// The 3D mirror of 2D sprites. When a script surface shows a 3D world through
// a render target, each of its sprites that has an image is also drawn by
// that render target as a sprite of its own (a "mirror"), textured with the
// sprite's image. The sprite list drives the mirrors through this narrow
// interface: it makes a mirror when a sprite with an image joins, keeps the
// mirrors in the 2D drawing order, brings each one up to date in the update
// step of the cycle (texture included when the image or the source picture
// changed), hides and shows it with the sprite, and drops it when the sprite
// leaves or the render target goes. A surface without render target has no
// mirror target, and nothing of this runs.
#include <cstdint>

class CSurface;

// Mirror flags, as the render target's sprites take them.
enum : uint32_t {
    kMirrorUntextured = 4,
    kMirrorTextured = 8,
    kMirrorTransparentColour = 128,
};

// What a mirror shows, taken from its sprite.
struct CSpriteMirrorLook {
    int32_t x = 0, y = 0;                         // the sprite's position
    int32_t left = 0, top = 0, right = 0, bottom = 0;  // the drawn area (scaled and turned box)
    uint8_t transparency = 255;                   // 255 opaque
    float angle = 0.0f;                           // radians
    uint32_t flags = kMirrorUntextured;           // kMirror... bits
    bool antiAlias = false;
};

// One sprite of the render target.
class ISpriteMirror {
public:
    virtual ~ISpriteMirror() {}
    virtual void Update(const CSpriteMirrorLook& look) = 0;
    virtual void SetHidden(bool hidden) = 0;
    // Makes the mirror's texture anew from the sprite's image (null: none);
    // false when no texture could be made (the mirror then draws untextured).
    virtual bool MakeTexture(CSurface* image) = 0;
};

// The render target's list of sprites.
class ISpriteMirrorTarget {
public:
    virtual ~ISpriteMirrorTarget() {}
    // A new mirror drawn right after `after` (null: first); null when the
    // render target refuses.
    virtual ISpriteMirror* MakeSprite(ISpriteMirror* after) = 0;
    // Moves a mirror right after `after` (null: first).
    virtual void MoveSprite(ISpriteMirror* sprite, ISpriteMirror* after) = 0;
    // Takes the mirror out and frees it.
    virtual void DropSprite(ISpriteMirror* sprite) = 0;
};
