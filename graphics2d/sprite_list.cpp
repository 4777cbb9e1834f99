#include "graphics2d/sprite_list.h"

#include "graphics2d/ci_sprite.h"
#include "graphics2d/ci_surface.h"
#include "graphics2d/surface.h"

#include <algorithm>
#include <new>
#include <utility>

namespace {

bool Meets(const CRect& a, const CRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

CRect Intersection(const CRect& a, const CRect& b) {
    return CRect(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom));
}

CRect UnionOf(const CRect& a, const CRect& b) {
    if (a.IsEmpty())
        return b;
    if (b.IsEmpty())
        return a;
    return CRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                 std::max(a.bottom, b.bottom));
}

bool IsGhost(const CSpriteState* s) { return (s->state & kSpriteGhost) != 0; }

}  // namespace

CSpriteList::~CSpriteList() { DetachAll(); }

int32_t CSpriteList::IndexOf(const CSpriteState* sprite) const {
    auto at = std::find(m_list.begin(), m_list.end(), sprite);
    return at == m_list.end() ? -1 : static_cast<int32_t>(at - m_list.begin());
}

// ---- joining and leaving ----

bool CSpriteList::Add(CSpriteState* sprite) {
    // After the last sprite whose layer is not above its own.
    int32_t at = static_cast<int32_t>(m_list.size());
    while (at > 0 && m_list[at - 1]->layer > sprite->layer)
        --at;
    try {
        m_queueScratch.reserve(m_list.size() + 1);
        m_list.insert(m_list.begin() + at, sprite);
    } catch (const std::bad_alloc&) {
        return false;
    }
    sprite->listed = true;
    MakeMirror(sprite);
    if (!(sprite->state & kSpriteHidden))
        Queue(sprite);
    m_surface->SpritesChanged();
    return true;
}

void CSpriteList::Remove(CSpriteState* sprite, bool noGhost) {
    const int32_t at = IndexOf(sprite);
    if (at < 0)
        return;
    m_surface->SpritesChanged();
    sprite->listed = false;
    DropMirror(sprite);
    if (noGhost || (sprite->state & kSpriteHidden) || !(sprite->state & kSpriteDrawn)) {
        m_list.erase(m_list.begin() + at);
        return;
    }
    // The ghost erases the sprite's image at the next cycle; it holds only
    // what erasing needs.
    CSpriteState* ghost = new (std::nothrow) CSpriteState();
    if (ghost == nullptr) {
        // Erase now rather than leave the image behind.
        Restore(sprite);
        m_list.erase(m_list.begin() + at);
        return;
    }
    ghost->state = (sprite->state & ~(kSpriteCollide | kSpriteToDraw)) | kSpriteGhost;
    ghost->layer = sprite->layer;
    ghost->box = ghost->drawnBox = sprite->drawnBox;
    ghost->saved = sprite->saved;
    m_list[at] = ghost;
    ghost->listed = true;
    ghost->state &= ~kSpriteQueued;
    Queue(ghost);
}

void CSpriteList::Changed(CSpriteState* sprite) {
    if (sprite->listed && !(sprite->state & kSpriteHidden)) {
        sprite->state &= ~kSpriteQueued;
        Queue(sprite);
    }
    m_surface->SpritesChanged();
}

void CSpriteList::RemoveAll() {
    std::vector<CSpriteState*> sprites;
    for (CSpriteState* s : m_list)
        if (!IsGhost(s))
            sprites.push_back(s);
    for (CSpriteState* s : sprites) {
        Remove(s, false);
        s->owner->LeftSurface();
    }
    m_surface->SpritesChanged();
}

void CSpriteList::DetachAll() {
    for (CSpriteState* s : m_list) {
        if (IsGhost(s))
            delete s;
        else {
            DropMirror(s);
            s->listed = false;
            s->owner->LeftSurface();
        }
    }
    m_list.clear();
}

// ---- drawing order ----

void CSpriteList::Place(CSpriteState* sprite, int32_t index) {
    const int32_t from = IndexOf(sprite);
    if (from < 0 || from == index)
        return;
    m_list.erase(m_list.begin() + from);
    if (index > from)
        --index;
    m_list.insert(m_list.begin() + index, sprite);
    Reordered(sprite);
}

void CSpriteList::Reordered(CSpriteState* sprite) {
    if (sprite->mirror != nullptr)
        m_mirrorTarget->MoveSprite(sprite->mirror, MirrorBefore(IndexOf(sprite)));
    sprite->state &= ~kSpriteQueued;
    if (!(sprite->state & kSpriteHidden))
        Queue(sprite);
    m_surface->SpritesChanged();
}

void CSpriteList::SetLayer(CSpriteState* sprite, int32_t layer) {
    const int32_t from = IndexOf(sprite);
    if (from < 0)
        return;
    m_list.erase(m_list.begin() + from);
    sprite->layer = layer;
    int32_t at = static_cast<int32_t>(m_list.size());
    while (at > 0 && m_list[at - 1]->layer > layer)
        --at;
    m_list.insert(m_list.begin() + at, sprite);
    Reordered(sprite);
}

void CSpriteList::MoveToBack(CSpriteState* sprite) {
    const int32_t at = IndexOf(sprite);
    if (at < 0)
        return;
    int32_t first = at;
    while (first > 0 && m_list[first - 1]->layer == sprite->layer)
        --first;
    Place(sprite, first);
}

void CSpriteList::MoveToFront(CSpriteState* sprite) {
    const int32_t at = IndexOf(sprite);
    if (at < 0)
        return;
    int32_t last = at;
    while (last + 1 < GetCount() && m_list[last + 1]->layer == sprite->layer)
        ++last;
    Place(sprite, last + 1);
}

void CSpriteList::MoveForward(CSpriteState* sprite) {
    const int32_t at = IndexOf(sprite);
    if (at >= 0 && at + 1 < GetCount() && m_list[at + 1]->layer == sprite->layer)
        Place(sprite, at + 2);
}

void CSpriteList::MoveBackward(CSpriteState* sprite) {
    const int32_t at = IndexOf(sprite);
    if (at > 0 && m_list[at - 1]->layer == sprite->layer)
        Place(sprite, at - 1);
}

void CSpriteList::MoveBefore(CSpriteState* sprite, CSpriteState* other) {
    const int32_t at = IndexOf(other);
    if (sprite != other && at >= 0 && IndexOf(sprite) >= 0 && other->layer == sprite->layer)
        Place(sprite, at);
}

void CSpriteList::MoveAfter(CSpriteState* sprite, CSpriteState* other) {
    const int32_t at = IndexOf(other);
    if (sprite != other && at >= 0 && IndexOf(sprite) >= 0 && other->layer == sprite->layer)
        Place(sprite, at + 1);
}

CISprite* CSpriteList::First() const {
    for (CSpriteState* s : m_list)
        if (!IsGhost(s))
            return s->owner;
    return nullptr;
}

CISprite* CSpriteList::Last() const {
    for (auto it = m_list.rbegin(); it != m_list.rend(); ++it)
        if (!IsGhost(*it))
            return (*it)->owner;
    return nullptr;
}

CISprite* CSpriteList::Next(const CSpriteState* sprite) const {
    const int32_t at = IndexOf(sprite);
    if (at < 0)
        return nullptr;
    for (int32_t i = at + 1; i < GetCount(); ++i)
        if (!IsGhost(m_list[i]))
            return m_list[i]->owner;
    return nullptr;
}

CISprite* CSpriteList::Prev(const CSpriteState* sprite) const {
    for (int32_t i = IndexOf(sprite) - 1; i >= 0; --i)
        if (!IsGhost(m_list[i]))
            return m_list[i]->owner;
    return nullptr;
}

// ---- collisions ----

bool CSpriteList::PairTest(CSpriteState* a, CSpriteState* b, bool boxesOnly) {
    if (a == nullptr || b == nullptr || IsGhost(a) || IsGhost(b) || !(a->state & kSpriteCollide) ||
        !(b->state & kSpriteCollide))
        return false;
    if (!Meets(a->box, b->box))
        return false;
    if (boxesOnly || (b->state & kSpriteBoxCollision) || b->owner->CurrentImage() == nullptr)
        return true;
    b->owner->RebuildTransformed();
    CSurface* ia = a->owner->DrawingImage();
    CSurface* ib = b->owner->DrawingImage();
    if (ia == nullptr || ib == nullptr)
        return true;
    const CRect o = Intersection(a->box, b->box);
    return ia->PixelsOverlap(ib, o.left - b->box.left, o.top - b->box.top, o.left - a->box.left,
                             o.top - a->box.top, o.Width(), o.Height()) != 0;
}

bool CSpriteList::TestCollision(CSpriteState* a, CSpriteState* b) {
    if (a == nullptr || b == nullptr || a == b)
        return false;
    const bool boxes = (a->state & kSpriteBoxCollision) || a->owner == nullptr || a->owner->CurrentImage() == nullptr;
    if (!boxes && a->owner != nullptr)
        a->owner->RebuildTransformed();
    return PairTest(a, b, boxes);
}

CISprite* CSpriteList::FindCollision(CSpriteState* sprite, const CSpriteState* after) {
    if (IsGhost(sprite) || !(sprite->state & kSpriteCollide))
        return nullptr;
    const bool boxes = (sprite->state & kSpriteBoxCollision) || sprite->owner->CurrentImage() == nullptr;
    if (!boxes)
        sprite->owner->RebuildTransformed();
    int32_t from = 0;
    if (after != nullptr) {
        const int32_t at = IndexOf(after);
        if (at >= 0)
            from = at + 1;
    }
    for (int32_t i = from; i < GetCount(); ++i) {
        CSpriteState* other = m_list[i];
        if (other != sprite && PairTest(sprite, other, boxes))
            return other->owner;
    }
    return nullptr;
}

bool CSpriteList::ScrollAll(int32_t dx, int32_t dy, bool allLayers, int32_t layer) {
    std::vector<CISprite*> moved;
    for (CSpriteState* s : m_list)
        if (!IsGhost(s) && (allLayers || s->layer == layer))
            moved.push_back(s->owner);
    for (CISprite* sprite : moved)
        sprite->MoveBy(dx, dy);
    return !moved.empty();
}

// ---- the cycle ----

void CSpriteList::Queue(CSpriteState* sprite) {
    if (sprite->state & kSpriteQueued)
        return;
    sprite->state |= kSpriteQueued;
    // Every sprite that meets the area (last drawn and current box) of a
    // queued one is queued too, until no more join. The sprites that can
    // still join are copied into one compact array first, so that the search
    // reads rectangles in a row instead of following a pointer per sprite.
    // The array's capacity is the list's (Add reserves it): nothing is
    // allocated here. Layout: [0, open) can still join; [open, unsearched)
    // joined and their areas not searched yet; the rest done.
    std::vector<QueueEntry>& entries = m_queueScratch;
    entries.clear();
    for (CSpriteState* other : m_list)
        if (!(other->state & (kSpriteQueued | kSpriteHidden)))
            entries.push_back({other, other->drawnBox, other->box});
    size_t open = entries.size(), unsearched = entries.size();
    CRect area = UnionOf(sprite->drawnBox, sprite->box);
    for (;;) {
        for (size_t i = open; i-- > 0;) {
            const QueueEntry& e = entries[i];
            if (Meets(e.drawnBox, area) || Meets(e.box, area)) {
                e.sprite->state |= kSpriteQueued;
                std::swap(entries[i], entries[--open]);
            }
        }
        if (unsearched == open)
            break;
        const QueueEntry& next = entries[--unsearched];
        area = UnionOf(next.drawnBox, next.box);
    }
}

void CSpriteList::Restore(CSpriteState* sprite) {
    sprite->state &= ~kSpriteDrawn;
    CSurface* picture = m_surface->GetPicture();
    const CRect& r = sprite->saved;
    if (m_background && picture != nullptr && !r.IsEmpty()) {
        m_background->Blit(picture, r.left, r.top, r.left, r.top, r.Width(), r.Height(), 0, 0, 0, 0);
        m_surface->InvalidateRect(r);
    }
}

void CSpriteList::Erase() {
    bool erased = false;
    for (int32_t i = 0; i < GetCount();) {
        CSpriteState* s = m_list[i];
        if ((s->state & kSpriteQueued) && (s->state & kSpriteDrawn)) {
            Restore(s);
            erased = true;
        }
        if (IsGhost(s)) {
            m_list.erase(m_list.begin() + i);
            delete s;
            continue;
        }
        ++i;
    }
    if (erased)
        m_surface->SetDirty();
}

void CSpriteList::Update() {
    for (CSpriteState* s : m_list) {
        if (!(s->state & kSpriteQueued) || IsGhost(s))
            continue;
        if (s->state & kSpriteHideRequested) {
            s->state = (s->state & ~kSpriteHideRequested) | kSpriteHidden;
            if (s->mirror != nullptr)
                s->mirror->SetHidden(true);
        }
        if (s->state & kSpriteShowRequested) {
            s->state &= ~(kSpriteShowRequested | kSpriteHidden);
            if (s->mirror != nullptr)
                s->mirror->SetHidden(false);
        }
        if (!(s->state & kSpriteHidden))
            s->state |= kSpriteToDraw;
        const bool newPicture = (s->state & (kSpriteImageChanged | kSpriteSourceChanged)) != 0;
        s->owner->RebuildTransformed();
        RefreshMirror(s, newPicture);
        s->state &= ~(kSpriteQueued | kSpriteSourceChanged);
        s->drawnBox = s->box;
        s->drawnClip = s->clip;
        s->owner->CommitDrawn();
    }
}

void CSpriteList::Save() {
    CSurface* picture = m_surface->GetPicture();
    if (picture == nullptr)
        return;
    const CRect whole(0, 0, picture->GetWidth(), picture->GetHeight());
    for (CSpriteState* s : m_list) {
        if (!(s->state & kSpriteToDraw) || IsGhost(s))
            continue;
        CRect area = s->drawnBox;
        if (s->drawFlags & kSpriteAntiAlias)
            area = CRect(area.left - 1, area.top - 1, area.right + 1, area.bottom + 1);
        area = Intersection(area, whole);
        if (s->HasClip(s->drawnClip))
            area = Intersection(area, s->drawnClip);
        if (area.IsEmpty()) {
            s->state &= ~kSpriteDrawn;
            continue;
        }
        if (!m_background || m_background->GetWidth() != whole.right || m_background->GetHeight() != whole.bottom) {
            m_background.reset(new (std::nothrow) CSurface());
            if (!m_background || !m_background->Create(whole.right, whole.bottom, picture)) {
                m_background.reset();
                return;
            }
        }
        s->state |= kSpriteDrawn;
        s->saved = area;
        picture->Blit(m_background.get(), area.left, area.top, area.left, area.top, area.Width(), area.Height(), 0, 0,
                      0, 0);
    }
}

void CSpriteList::Draw() {
    CSurface* picture = m_surface->GetPicture();
    if (picture == nullptr)
        return;
    const CRect whole(0, 0, picture->GetWidth(), picture->GetHeight());
    for (CSpriteState* s : m_list) {
        if (!(s->state & kSpriteToDraw) || IsGhost(s))
            continue;
        s->state &= ~kSpriteToDraw;
        CSurface* image = s->owner->DrawingImage();
        if (image == nullptr)
            continue;
        const CRect& box = s->drawnBox;
        CRect area = Intersection(CRect(box.left, box.top, box.left + image->GetWidth(), box.top + image->GetHeight()), whole);
        if (s->HasClip(s->drawnClip))
            area = Intersection(area, s->drawnClip);
        if (area.IsEmpty())
            continue;
        image->Blit(picture, area.left, area.top, area.left - box.left, area.top - box.top, area.Width(), area.Height(),
                    (s->drawFlags & kSpriteTransparent) ? 1 : 0, static_cast<int32_t>(s->drawFlags & 0xFFFF),
                    static_cast<uint32_t>(s->semiLevel), (s->drawFlags & kSpriteAntiAlias) ? 1 : 0);
        m_surface->InvalidateRect(area);
    }
}

void CSpriteList::RunCycle() {
    Erase();
    Update();
    Save();
    Draw();
}

void CSpriteList::ClearArea(CRect area) {
    // Grow the area by every drawn sprite that reaches into it, until none
    // lies across its border.
    for (bool grown = true; grown;) {
        grown = false;
        for (CSpriteState* s : m_list) {
            if (!(s->state & kSpriteDrawn) || !Meets(s->saved, area))
                continue;
            const CRect bigger = UnionOf(area, s->saved);
            if (bigger.left != area.left || bigger.top != area.top || bigger.right != area.right ||
                bigger.bottom != area.bottom) {
                area = bigger;
                grown = true;
            }
        }
    }
    bool erased = false;
    // Later sprites lie on top: restoring back to front leaves the oldest background.
    for (auto it = m_list.rbegin(); it != m_list.rend(); ++it) {
        CSpriteState* s = *it;
        if ((s->state & kSpriteDrawn) && Meets(s->saved, area)) {
            Restore(s);
            erased = true;
        }
    }
    for (CSpriteState* s : m_list)
        if (!(s->state & kSpriteDrawn) && Meets(s->saved, area) && !IsGhost(s)) {
            s->state &= ~kSpriteQueued;
            if (!(s->state & kSpriteHidden))
                Queue(s);
        }
    if (erased)
        m_surface->SpritesChanged();
}

void CSpriteList::PictureReplaced() {
    m_background.reset();
    for (CSpriteState* s : m_list) {
        if (!(s->state & kSpriteDrawn))
            continue;
        // Nothing to restore on the new picture: the sprite is drawn anew.
        s->state &= ~(kSpriteDrawn | kSpriteQueued);
        s->saved = CRect();
        if (!(s->state & kSpriteHidden))
            Queue(s);
    }
    m_surface->SpritesChanged();
}

// ---- the 3D mirrors ----

void CSpriteList::SetMirrorTarget(ISpriteMirrorTarget* target) {
    if (target == m_mirrorTarget)
        return;
    for (CSpriteState* s : m_list)
        DropMirror(s);
    m_mirrorTarget = target;
    for (CSpriteState* s : m_list)
        MakeMirror(s);
    m_surface->SpritesChanged();
}

ISpriteMirror* CSpriteList::MirrorBefore(int32_t index) const {
    for (int32_t i = index - 1; i >= 0; --i)
        if (m_list[i]->mirror != nullptr)
            return m_list[i]->mirror;
    return nullptr;
}

void CSpriteList::MakeMirror(CSpriteState* sprite) {
    if (m_mirrorTarget == nullptr || IsGhost(sprite) || sprite->mirror != nullptr ||
        sprite->owner->CurrentImage() == nullptr)
        return;
    sprite->mirror = m_mirrorTarget->MakeSprite(MirrorBefore(IndexOf(sprite)));
    if (sprite->mirror == nullptr)
        return;
    if (sprite->state & kSpriteHidden)
        sprite->mirror->SetHidden(true);
    RefreshMirror(sprite, true);
}

void CSpriteList::RefreshMirror(CSpriteState* sprite, bool newTexture) {
    if (m_mirrorTarget == nullptr)
        return;
    if (sprite->mirror == nullptr) {
        // A sprite that joined without an image gets its mirror with one.
        MakeMirror(sprite);
        return;
    }
    if (newTexture)
        sprite->mirrorTextured = sprite->mirror->MakeTexture(sprite->owner->CurrentImage());
    sprite->mirror->Update(sprite->owner->MirrorLook(sprite->mirrorTextured));
}

void CSpriteList::DropMirror(CSpriteState* sprite) {
    if (sprite->mirror == nullptr)
        return;
    m_mirrorTarget->DropSprite(sprite->mirror);
    sprite->mirror = nullptr;
    sprite->mirrorTextured = false;
}
