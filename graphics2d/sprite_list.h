#pragma once
// The sprites of one script surface: the layered drawing order, the queue of
// sprites to redraw together, and the erase–update–save–draw cycle that keeps
// sprites over a changing picture (the picture under every drawn sprite is
// kept in a background buffer of the picture's size).
//
// The list holds CSpriteState records. A sprite (CISprite) owns its record; a
// ghost is a bare record left in the list to erase a removed sprite at the
// next cycle: it keeps only its state and saved rectangle, owns nothing, and
// is deleted by the erase step.
//
// When the surface shows a 3D world, the list also keeps the sprites' 3D
// mirrors in step (sprite_mirror.h); without a mirror target it has none.
#include "graphics2d/sprite_mirror.h"
#include "runtime/base/rect.h"

#include <cstdint>
#include <memory>
#include <vector>

class CISprite;
class CISurface;
class CSurface;

// State bits of a sprite record.
enum : uint32_t {
    kSpriteCollide = 0x3,
    kSpriteHideRequested = 0x10,
    kSpriteGhost = 0x20,
    kSpriteQueued = 0x40,
    kSpriteHidden = 0x80,
    kSpriteBoxCollision = 0x100,
    kSpriteToDraw = 0x800,
    kSpriteDrawn = 0x1000,
    kSpriteImageChanged = 0x2000,
    kSpriteShowRequested = 0x4000,
    kSpriteSourceChanged = 0x8000,
};

// Draw flags: the low 16 bits the draw effect.
constexpr uint32_t kSpriteTransparent = 1u << 28;
constexpr uint32_t kSpriteAntiAlias = 1u << 29;

struct CSpriteState {
    CISprite* owner = nullptr;  // null for a ghost
    bool listed = false;
    uint32_t state = 0;
    int32_t layer = 0;
    CRect box;        // bounding box (right, bottom exclusive)
    CRect drawnBox;   // the box as last drawn
    CRect saved;      // where the background under the sprite was saved
    CRect clip;       // clip rectangle; none when left and right are 0
    CRect drawnClip;
    uint32_t drawFlags = kSpriteTransparent;
    int32_t semiLevel = 0;
    ISpriteMirror* mirror = nullptr;  // owned by the mirror target
    bool mirrorTextured = false;

    bool HasClip(const CRect& r) const { return r.left != 0 || r.right != 0; }
};

class CSpriteList {
public:
    explicit CSpriteList(CISurface* surface) : m_surface(surface) {}
    ~CSpriteList();

    // Joining and leaving. Add answers false when the list cannot grow.
    bool Add(CSpriteState* sprite);
    // Leaves a ghost to erase a drawn, visible sprite unless noGhost.
    void Remove(CSpriteState* sprite, bool noGhost);
    void Changed(CSpriteState* sprite);
    void RemoveAll();
    // Every sprite leaves without a ghost (the surface goes).
    void DetachAll();

    // Drawing order within layers.
    void SetLayer(CSpriteState* sprite, int32_t layer);
    void MoveToBack(CSpriteState* sprite);
    void MoveToFront(CSpriteState* sprite);
    void MoveForward(CSpriteState* sprite);
    void MoveBackward(CSpriteState* sprite);
    void MoveBefore(CSpriteState* sprite, CSpriteState* other);
    void MoveAfter(CSpriteState* sprite, CSpriteState* other);

    // Non-ghost neighbours (null: none).
    CISprite* First() const;
    CISprite* Last() const;
    CISprite* Next(const CSpriteState* sprite) const;
    CISprite* Prev(const CSpriteState* sprite) const;

    // Collisions (Sprite members "IsColliding", "Get...CollidingSprite").
    bool TestCollision(CSpriteState* a, CSpriteState* b);
    CISprite* FindCollision(CSpriteState* sprite, const CSpriteState* after);

    // Moves the sprites (of one layer, or all with allLayers); true when any moved.
    bool ScrollAll(int32_t dx, int32_t dy, bool allLayers, int32_t layer);

    // The cycle's steps, and the whole cycle.
    void Erase();
    void Update();
    void Save();
    void Draw();
    void RunCycle();
    // Before drawing into an area with auto-back on: the sprites over it are
    // erased (their area grown to whole sprites) and queued to be drawn again.
    void ClearArea(CRect area);
    // The picture was replaced at another size: saved backgrounds are stale.
    void PictureReplaced();

    void Queue(CSpriteState* sprite);
    int32_t GetCount() const { return static_cast<int32_t>(m_list.size()); }

    // The render target that mirrors the sprites in 3D (null: none). Setting
    // it drops the mirrors of the previous target and mirrors every sprite
    // that has an image in the new one.
    void SetMirrorTarget(ISpriteMirrorTarget* target);

private:
    int32_t IndexOf(const CSpriteState* sprite) const;
    void Place(CSpriteState* sprite, int32_t index);
    void Reordered(CSpriteState* sprite);
    void Restore(CSpriteState* sprite);
    bool Overlaps(const CSpriteState* a, const CSpriteState* b) const;
    bool PairTest(CSpriteState* a, CSpriteState* b, bool boxesOnly);

    // The mirror drawn last before the sprite at `index` (null: none).
    ISpriteMirror* MirrorBefore(int32_t index) const;
    void MakeMirror(CSpriteState* sprite);
    // Brings a mirror up to date, its texture too with `newTexture`.
    void RefreshMirror(CSpriteState* sprite, bool newTexture);
    void DropMirror(CSpriteState* sprite);

    // A sprite that may still be queued, with its two boxes (Queue's search).
    struct QueueEntry {
        CSpriteState* sprite;
        CRect drawnBox, box;
    };

    CISurface* m_surface;
    std::vector<CSpriteState*> m_list;  // drawing order: layers ascending
    std::vector<QueueEntry> m_queueScratch;
    std::unique_ptr<CSurface> m_background;
    ISpriteMirrorTarget* m_mirrorTarget = nullptr;
};
