// The surface's sprite members: the manual cycle steps with auto-back off,
// scrolling sprites, walking the list (never a ghost) and removing them all.
#include "graphics2d/ci_sprite.h"
#include "graphics2d/ci_surface.h"
#include "graphics2d/ci_surface_members.h"
#include "graphics2d/sprite_list.h"
#include "graphics2d/surface_render.h"

#include <algorithm>
#include <iterator>
#include <new>

namespace {

bool Given(int32_t value) { return value != kArgDefaultInt; }

}  // namespace

CSpriteList* CISurface::Sprites() {
    if (!m_sprites)
        m_sprites.reset(new CSpriteList(this));
    return m_sprites.get();
}

bool CISurface::CallSpriteMember(int32_t memberId) {
    static const CDispatchEntry<CISurface> kHandlers[] = {
        TW_MEMBER(Surface, ClearSprites),   TW_MEMBER(Surface, UpdateSprites), TW_MEMBER(Surface, DrawSprites),
        TW_MEMBER(Surface, ScrollSprites),  TW_MEMBER(Surface, GetFirstSprite), TW_MEMBER(Surface, GetLastSprite),
        TW_MEMBER(Surface, GetNextSprite),  TW_MEMBER(Surface, GetPrevSprite), TW_MEMBER(Surface, DeleteSprites),
    };
    if (std::none_of(std::begin(kHandlers), std::end(kHandlers),
                     [memberId](const CDispatchEntry<CISurface>& e) { return e.memberId == memberId; }))
        return false;
    DispatchMember(this, kHandlers, memberId);
    return true;
}

int32_t CISurface::ClearSprites() {
    if (dynamic_cast<ISurfaceCamera*>(m_camera) != nullptr)
        return 0;
    if (m_autoBack)
        RaiseError(m_interpretor, 36);
    const int32_t x = GetArgInt(m_interpretor, 0), y = GetArgInt(m_interpretor, 1);
    const int32_t w = GetArgInt(m_interpretor, 2), h = GetArgInt(m_interpretor, 3);
    const int32_t left = Given(x) ? x : 0, top = Given(y) ? y : 0;
    Sprites()->ClearArea(CRect(left, top, left + (Given(w) ? w : m_width), top + (Given(h) ? h : m_height)));
    return 0;
}

int32_t CISurface::UpdateSprites() {
    if (m_autoBack)
        RaiseError(m_interpretor, 36);
    Sprites()->Update();
    return 0;
}

int32_t CISurface::DrawSprites() {
    if (dynamic_cast<ISurfaceCamera*>(m_camera) != nullptr)
        return 0;
    if (m_autoBack)
        RaiseError(m_interpretor, 36);
    Sprites()->Save();
    Sprites()->Draw();
    SetDirty();
    return 0;
}

int32_t CISurface::ScrollSprites() {
    const int32_t dx = GetArgInt(m_interpretor, 0), dy = GetArgInt(m_interpretor, 1);
    const int32_t layer = GetArgInt(m_interpretor, 2);
    const int32_t mx = Given(dx) ? dx : 0, my = Given(dy) ? dy : 0;
    if (mx == 0 && my == 0)
        return 0;
    if (Sprites()->ScrollAll(mx, my, !Given(layer), layer))
        SpritesChanged();
    return 0;
}

namespace {

int32_t AnswerSprite(CInterpretor* in, CISprite* sprite) {
    if (sprite != nullptr)
        Result(in)->SetObject(sprite, 1);
    else
        Result(in)->SetInt(0);
    return 0;
}

// The sprite argument when it is a sprite of this surface.
CISprite* OwnSprite(CInterpretor* in, CISurface* surface) {
    if (GetArgCount(in) < 1 || IsArgDefault(in, 0) || GetArg(in, 0)->GetTag() != CValue::kObject)
        return nullptr;
    CISprite* sprite = dynamic_cast<CISprite*>(GetArgObject(in, 0));
    return sprite != nullptr && sprite->GetSurface() == surface && sprite->State().listed ? sprite : nullptr;
}

}  // namespace

int32_t CISurface::GetFirstSprite() { return AnswerSprite(m_interpretor, Sprites()->First()); }

int32_t CISurface::GetLastSprite() { return AnswerSprite(m_interpretor, Sprites()->Last()); }

int32_t CISurface::GetNextSprite() {
    CISprite* sprite = OwnSprite(m_interpretor, this);
    return AnswerSprite(m_interpretor, sprite ? Sprites()->Next(&sprite->State()) : nullptr);
}

int32_t CISurface::GetPrevSprite() {
    CISprite* sprite = OwnSprite(m_interpretor, this);
    return AnswerSprite(m_interpretor, sprite ? Sprites()->Prev(&sprite->State()) : nullptr);
}

int32_t CISurface::DeleteSprites() {
    Sprites()->RemoveAll();
    SpritesChanged();
    return 0;
}
