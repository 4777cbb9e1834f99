#include "graphics2d/ci_sprite.h"

#include "graphics2d/ci_sprite_members.h"
#include "graphics2d/ci_surface.h"
#include "graphics2d/graphics2d_classes.h"
#include "graphics2d/image_bank.h"
#include "graphics2d/play_arguments.h"
#include "graphics2d/sprite_geometry.h"
#include "graphics2d/surface.h"
#include "graphics2d/surface_window.h"
#include "runtime/interp/os_clock.h"
#include "runtime/package/bank.h"
#include "runtime/package/program_container.h"

#include <algorithm>
#include <new>

namespace {

constexpr int32_t kCollisionOff = 2, kCollisionBox = 3;
constexpr int32_t kEffectSemi = 1, kEffectLast = 5;

bool Given(int32_t value) { return value != kArgDefaultInt; }

bool IsObjectArg(CInterpretor* in, int32_t i) {
    return i < GetArgCount(in) && !IsArgDefault(in, i) && GetArg(in, i)->GetTag() == CValue::kObject;
}

}  // namespace

CISprite::CISprite(CInterpretor* interpretor)
    : CIBaseClassImpl(interpretor, ClassRecordOf(interpretor, kClassSprite), kClassSprite, true) {
    m_state.owner = this;
}

CISprite::~CISprite() = default;

void CISprite::CallMember(int32_t memberId) {
    static const CDispatchEntry<CISprite> kHandlers[] = {
        TW_MEMBER(Sprite, Set),
        TW_MEMBER(Sprite, GetX),
        TW_MEMBER(Sprite, GetY),
        TW_MEMBER(Sprite, GetLeft),
        TW_MEMBER(Sprite, GetTop),
        TW_MEMBER(Sprite, GetRight),
        TW_MEMBER(Sprite, GetBottom),
        TW_MEMBER(Sprite, SetCollision),
        TW_MEMBER(Sprite, SetDrawEffect),
        TW_MEMBER(Sprite, Show),
        TW_MEMBER(Sprite, Hide),
        TW_MEMBER(Sprite, IsPointIn),
        TW_MEMBER(Sprite, IsColliding),
        TW_MEMBER(Sprite, GetFirstCollidingSprite),
        TW_MEMBER(Sprite, GetNextCollidingSprite),
        TW_MEMBER(Sprite, SetTransparent),
        TW_MEMBER(Sprite, SetAntiAliasing),
        TW_MEMBER(Sprite, SetLayer),
        TW_MEMBER(Sprite, GetLayer),
        TW_MEMBER(Sprite, MoveToBack),
        TW_MEMBER(Sprite, MoveToFront),
        TW_MEMBER(Sprite, MoveBackward),
        TW_MEMBER(Sprite, MoveForward),
        TW_MEMBER(Sprite, MoveBefore),
        TW_MEMBER(Sprite, MoveAfter),
        TW_MEMBER(Sprite, IsIn),
        TW_MEMBER(Sprite, IsOut),
        TW_MEMBER(Sprite, IsLeaving),
        TW_MEMBER(Sprite, IsEntering),
        TW_MEMBER(Sprite, SetScale),
        TW_MEMBER(Sprite, GetScaleX),
        TW_MEMBER(Sprite, GetScaleY),
        TW_MEMBER(Sprite, SetAngle),
        TW_MEMBER(Sprite, GetAngle),
        TW_MEMBER(Sprite, SetHotSpot),
        TW_MEMBER(Sprite, GetHotSpotX),
        TW_MEMBER(Sprite, GetHotSpotY),
        TW_MEMBER(Sprite, GetWidth),
        TW_MEMBER(Sprite, GetHeight),
        TW_MEMBER(Sprite, SetClipRect),
        TW_MEMBER(Sprite, IsVisible),
        TW_MEMBER(Sprite, Play),
        TW_MEMBER(Sprite, Stop),
        TW_MEMBER(Sprite, Pause),
        {kSpriteSetFrame, &CISprite::SetFrameMember},
        TW_MEMBER(Sprite, GetFrame),
        TW_MEMBER(Sprite, Resume),
        TW_MEMBER(Sprite, IsPlaying),
        {kSpriteIsPaused, &CISprite::IsPausedMember},
        TW_MEMBER(Sprite, GetNFrames),
        TW_MEMBER(Sprite, NextFrame),
        TW_MEMBER(Sprite, PrevFrame),
        TW_MEMBER(Sprite, SetSpeedFactor),
        TW_MEMBER(Sprite, GetSpeedFactor),
    };
    DispatchMember(this, kHandlers, memberId);
}

int32_t CISprite::Answer(int32_t value) {
    Result(m_interpretor)->SetInt(value);
    return 0;
}

int32_t CISprite::AnswerSprite(CISprite* sprite) {
    if (sprite != nullptr)
        Result(m_interpretor)->SetObject(sprite, 1);
    else
        Result(m_interpretor)->SetInt(0);
    return 0;
}

CSpriteList* CISprite::List() const { return m_surface != nullptr ? m_surface->Sprites() : nullptr; }

void CISprite::Changed() {
    if (m_state.listed && List() != nullptr)
        List()->Changed(&m_state);
}

void CISprite::RecomputeBox() {
    const int32_t w = m_image ? m_image->GetWidth() : 0, h = m_image ? m_image->GetHeight() : 0;
    m_state.box = SpriteBox(m_x, m_y, w, h, m_hotX, m_hotY, m_scaleX, m_scaleY, m_angle);
}

CISprite* CISprite::SpriteArg(int32_t i) {
    CISprite* sprite = IsObjectArg(m_interpretor, i) ? dynamic_cast<CISprite*>(GetArgObject(m_interpretor, i)) : nullptr;
    if (sprite == nullptr)
        RaiseError(m_interpretor, 14);
    return sprite;
}

// ---- creation and placing ----

void CISprite::ConstructFromArgs() {
    CInterpretor* in = m_interpretor;
    const int32_t count = GetArgCount(in);
    bool surfaceGiven = false;
    if (IsObjectArg(in, 0)) {
        CIBaseClassImpl* object = GetArgObject(in, 0);
        if (CISurface* surface = dynamic_cast<CISurface*>(object))
            m_surface = surface;
        else if (ISurfaceWindow* window = dynamic_cast<ISurfaceWindow*>(object))
            m_surface = window->GetAttachedSurface();
        else
            RaiseError(in, 47);
        surfaceGiven = true;
    } else {
        m_surface = CurrentWindowSurface(in);
    }
    // A window without surface counts as no surface.
    if (m_surface == nullptr)
        RaiseError(in, 39);
    AssignInstanceNumber();
    switch (count) {
    case 0: break;
    case 1:
        if (!surfaceGiven)
            RaiseError(in, 21);
        break;
    case 3: SetFromArgs(0); break;
    case 4:
        if (!surfaceGiven)
            RaiseError(in, 21);
        SetFromArgs(1);
        break;
    default: RaiseError(in, 21);
    }
}

int32_t CISprite::Set() {
    SetFromArgs(0);
    return 0;
}

void CISprite::ReleaseElement(CImageElement*& element) {
    if (element != nullptr && element->GetBank() != nullptr)
        element->GetBank()->UnlockElement(element->GetIndex());
    element = nullptr;
}

void CISprite::DropSource() {
    if (m_source != nullptr && m_source != m_drawnSource)
        m_source->RemoveImageUser(this);
    m_source = nullptr;
}

void CISprite::SetFromArgs(int32_t first) {
    CInterpretor* in = m_interpretor;
    if (m_surface == nullptr)
        RaiseError(in, 39);
    const int32_t ax = GetArgInt(in, first), ay = GetArgInt(in, first + 1);
    const int32_t x = Given(ax) ? ax : m_x, y = Given(ay) ? ay : m_y;
    int32_t hotX = m_hotX, hotY = m_hotY;
    CSurface* image = m_image;
    CISurface* source = m_source;
    CImageElement* element = nullptr;  // a newly locked element
    const int32_t i = first + 2;
    if (i < GetArgCount(in) && !IsArgDefault(in, i)) {
        const CValue* arg = GetArg(in, i);
        if (arg->GetTag() == CValue::kObject) {
            source = dynamic_cast<CISurface*>(GetArgObject(in, i));
            if (source == nullptr || source->GetPicture() == nullptr)
                RaiseError(in, 14);
            image = source->GetPicture();
        } else if (arg->GetTag() == CValue::kInt || arg->GetTag() == CValue::kText) {
            // A package picture, else a package animation, by number or name.
            CProgramContainer* package = PackageOf(in);
            auto find = [&](uint32_t bank) -> CElement* {
                if (package == nullptr)
                    return nullptr;
                return arg->GetTag() == CValue::kInt ? package->GetElement(arg->GetInt(), bank)
                                                     : package->FindElement(GetArgString(in, i), bank);
            };
            if (CImageElement* picture = dynamic_cast<CImageElement*>(find(kBankPictures))) {
                if (picture == m_element && x == m_x && y == m_y)
                    return;
                CBank* bank = picture->GetBank();
                if (bank == nullptr || !bank->LoadElement(picture->GetIndex(), 0) || picture->GetSurface() == nullptr ||
                    !bank->LockElement(picture->GetIndex()))
                    RaiseError(in, 34);
                element = picture;
                image = picture->GetSurface();
                source = nullptr;
                hotX = static_cast<int16_t>(picture->GetHotSpotX());
                hotY = static_cast<int16_t>(picture->GetHotSpotY());
            } else if (CAnimElement* animation = dynamic_cast<CAnimElement*>(find(kBankAnimations))) {
                if (m_animation && m_animation->GetElement() == animation && x == m_x && y == m_y)
                    return;
                if (!TakeAnimation(animation))
                    RaiseError(in, 34);
                image = m_animation->GetFrames();
                source = nullptr;
                hotX = static_cast<int16_t>(animation->GetHotSpotX());
                hotY = static_cast<int16_t>(animation->GetHotSpotY());
            } else {
                RaiseError(in, 34);
            }
        } else {
            RaiseError(in, 14);
        }
    }
    if (m_animation && image != m_animation->GetFrames())
        DropAnimation();
    m_x = x, m_y = y, m_hotX = hotX, m_hotY = hotY;
    if (element != nullptr) {
        ReleaseElement(m_element);
        m_element = element;
    } else if (image != m_image && m_element != nullptr) {
        ReleaseElement(m_element);
    }
    if (source != m_source) {
        DropSource();
        if (source != nullptr)
            source->AddImageUser(this);
        m_source = source;
    }
    if (image != m_image) {
        m_image = image;
        m_state.state |= kSpriteImageChanged;
    }
    RecomputeBox();
    if (m_state.listed) {
        Changed();
        return;
    }
    // Not placed yet: what is current is also what was last drawn.
    m_state.state |= kSpriteImageChanged;
    m_state.drawnBox = m_state.box;
    CommitDrawn();
    if (!m_surface->Sprites()->Add(&m_state))
        RaiseError(in, 34);
}

void CISprite::CommitDrawn() {
    m_drawnImage = m_image;
    if (m_drawnSource != m_source) {
        if (m_drawnSource != nullptr && m_drawnSource != m_source)
            m_drawnSource->RemoveImageUser(this);
        m_drawnSource = m_source;
    }
    if (m_drawnElement != m_element) {
        ReleaseElement(m_drawnElement);
        if (m_element != nullptr && m_element->GetBank() != nullptr &&
            m_element->GetBank()->LockElement(m_element->GetIndex()))
            m_drawnElement = m_element;
    }
}

CSurface* CISprite::DrawingImage() const { return m_transformed ? m_transformed.get() : m_image; }

void CISprite::RebuildTransformed() {
    if (!(m_state.state & kSpriteImageChanged))
        return;
    m_state.state &= ~kSpriteImageChanged;
    m_transformed.reset();
    if (m_image == nullptr || (m_angle == 0 && m_scaleX == 1.0f && m_scaleY == 1.0f))
        return;
    int32_t w, h;
    std::unique_ptr<CSurface> made(new (std::nothrow) CSurface());
    // A copy that cannot be made (too large, no memory) leaves the sprite
    // undrawn: an empty copy stands for it.
    if (!made || !TransformedSize(m_image->GetWidth(), m_image->GetHeight(), m_scaleX, m_scaleY, m_angle, &w, &h)) {
        if (made && made->Create(1, 1, m_image))
            made->Clear(0);
        m_transformed = std::move(made);
        return;
    }
    const int32_t sw = ScaledLength(m_image->GetWidth(), m_scaleX), sh = ScaledLength(m_image->GetHeight(), m_scaleY);
    bool ok;
    if (m_angle == 0) {
        ok = made->Create(sw, sh, m_image) && m_image->StretchAll(made.get());
    } else if (m_scaleX == 1.0f && m_scaleY == 1.0f) {
        ok = m_image->RotateCopy(made.get(), m_angle, m_quality, 0) != 0;
    } else {
        CSurface scaled;
        ok = scaled.Create(sw, sh, m_image) && m_image->StretchAll(&scaled) &&
             scaled.RotateCopy(made.get(), m_angle, m_quality, 0) != 0;
    }
    if (!ok && made->Create(1, 1, m_image))
        made->Clear(0);
    m_transformed = std::move(made);
}

void CISprite::MoveBy(int32_t dx, int32_t dy) {
    m_x += dx;
    m_y += dy;
    RecomputeBox();
    Changed();
}

CSpriteMirrorLook CISprite::MirrorLook(bool textured) const {
    CSpriteMirrorLook look;
    look.x = m_x, look.y = m_y;
    look.left = m_state.box.left, look.top = m_state.box.top;
    look.right = m_state.box.right, look.bottom = m_state.box.bottom;
    if ((m_state.drawFlags & 0xFFFF) == kEffectSemi)
        look.transparency = static_cast<uint8_t>(255 - ((2 * m_state.semiLevel) & 255));
    look.angle = static_cast<float>(m_angle) * 3.1415927f * 0.0055555557f;
    look.flags = (textured ? kMirrorTextured : kMirrorUntextured) |
                 ((m_state.drawFlags & kSpriteTransparent) ? kMirrorTransparentColour : 0);
    look.antiAlias = (m_state.drawFlags & kSpriteAntiAlias) != 0;
    return look;
}

void CISprite::LeftSurface() {
    m_state.listed = false;
    m_surface = nullptr;
}

// ---- position and box ----

int32_t CISprite::GetX() { return Answer(m_x); }
int32_t CISprite::GetY() { return Answer(m_y); }
int32_t CISprite::GetLeft() { return Answer(m_state.box.left); }
int32_t CISprite::GetTop() { return Answer(m_state.box.top); }
int32_t CISprite::GetRight() { return Answer(m_state.box.right); }
int32_t CISprite::GetBottom() { return Answer(m_state.box.bottom); }
int32_t CISprite::GetLayer() { return Answer(m_state.layer); }
int32_t CISprite::GetScaleX() {
    Result(m_interpretor)->SetDouble(m_scaleX);
    return 0;
}
int32_t CISprite::GetScaleY() {
    Result(m_interpretor)->SetDouble(m_scaleY);
    return 0;
}
int32_t CISprite::GetAngle() { return Answer(m_angle); }
int32_t CISprite::GetHotSpotX() { return Answer(m_hotX); }
int32_t CISprite::GetHotSpotY() { return Answer(m_hotY); }
int32_t CISprite::GetWidth() { return Answer(m_image ? m_image->GetWidth() : 0); }
int32_t CISprite::GetHeight() { return Answer(m_image ? m_image->GetHeight() : 0); }
int32_t CISprite::IsVisible() { return Answer((m_state.state & (kSpriteHideRequested | kSpriteHidden)) == 0); }

CRect CISprite::AreaArgs() {
    CInterpretor* in = m_interpretor;
    const int32_t w = m_surface ? m_surface->PictureWidth() : 0, h = m_surface ? m_surface->PictureHeight() : 0;
    auto arg = [&](int32_t i, int32_t fallback) {
        const int32_t v = GetArgInt(in, i);
        return Given(v) ? v : fallback;
    };
    return CRect(arg(0, 0), arg(1, 0), arg(2, w), arg(3, h));
}

namespace {

bool Overlap(const CRect& box, const CRect& r) {
    return box.right > r.left && box.left < r.right && box.bottom > r.top && box.top < r.bottom;
}

}  // namespace

int32_t CISprite::IsIn() {
    const CRect r = AreaArgs();
    const CRect& b = m_state.box;
    return Answer(b.left >= r.left && b.top >= r.top && b.right <= r.right && b.bottom <= r.bottom);
}

int32_t CISprite::IsOut() { return Answer(!Overlap(m_state.box, AreaArgs())); }

int32_t CISprite::IsLeaving() {
    const CRect r = AreaArgs();
    return Answer(Overlap(m_state.drawnBox, r) && !Overlap(m_state.box, r));
}

int32_t CISprite::IsEntering() {
    const CRect r = AreaArgs();
    return Answer(!Overlap(m_state.drawnBox, r) && Overlap(m_state.box, r));
}

int32_t CISprite::SetScale() {
    const double ax = GetArgDouble(m_interpretor, 0), ay = GetArgDouble(m_interpretor, 1);
    float sx = ax == kArgDefaultDouble ? 1.0f : static_cast<float>(ax);
    float sy = ay == kArgDefaultDouble ? sx : static_cast<float>(ay);
    sx = std::max(sx, 0.0f), sy = std::max(sy, 0.0f);
    if (sx == m_scaleX && sy == m_scaleY)
        return 0;
    m_scaleX = sx, m_scaleY = sy;
    m_state.state |= kSpriteImageChanged;
    RecomputeBox();
    Changed();
    return 0;
}

int32_t CISprite::SetAngle() {
    const int32_t given = GetArgInt(m_interpretor, 0), quality = GetArgInt(m_interpretor, 1);
    const int32_t angle = NormaliseAngle(Given(given) ? given : 0);
    m_quality = Given(quality) ? quality : 0;
    if (angle == m_angle)
        return 0;
    m_angle = angle;
    m_state.state |= kSpriteImageChanged;
    RecomputeBox();
    Changed();
    return 0;
}

int32_t CISprite::SetHotSpot() {
    const int32_t x = GetArgInt(m_interpretor, 0), y = GetArgInt(m_interpretor, 1);
    const int32_t hx = Given(x) ? x : m_hotX, hy = Given(y) ? y : m_hotY;
    if (hx == m_hotX && hy == m_hotY)
        return 0;
    m_hotX = hx, m_hotY = hy;
    RecomputeBox();
    Changed();
    return 0;
}

int32_t CISprite::SetClipRect() {
    const CRect r = AreaArgs();
    const int32_t w = m_surface ? m_surface->PictureWidth() : 0, h = m_surface ? m_surface->PictureHeight() : 0;
    if (r.left == 0 && r.top == 0 && r.right == w && r.bottom == h) {
        if (m_state.HasClip(m_state.clip)) {
            m_state.clip = CRect();
            Changed();
        }
        return 0;
    }
    const CRect& c = m_state.clip;
    if (c.left == r.left && c.top == r.top && c.right == r.right && c.bottom == r.bottom)
        return 0;
    m_state.clip = r;
    Changed();
    return 0;
}

// ---- drawing state ----

void CISprite::SetFlag(uint32_t bit, bool on) {
    const uint32_t flags = on ? (m_state.drawFlags | bit) : (m_state.drawFlags & ~bit);
    if (flags == m_state.drawFlags)
        return;
    m_state.drawFlags = flags;
    Changed();
}

int32_t CISprite::SetTransparent() {
    SetFlag(kSpriteTransparent, GetArgInt(m_interpretor, 0) != 0);
    return 0;
}

int32_t CISprite::SetAntiAliasing() {
    SetFlag(kSpriteAntiAlias, GetArgInt(m_interpretor, 0) != 0);
    return 0;
}

int32_t CISprite::SetDrawEffect() {
    int32_t effect = GetArgInt(m_interpretor, 0);
    const int32_t level = GetArgInt(m_interpretor, 1);
    if (effect == kEffectSemi) {
        m_state.semiLevel = StoredSemiLevel(level, Given(level));
        if (m_state.semiLevel < 1)
            effect = 0;
    } else if (effect < 2 || effect > kEffectLast) {
        effect = 0;
    }
    m_state.drawFlags = (m_state.drawFlags & 0xFFFF0000u) | static_cast<uint32_t>(effect);
    Changed();
    return 0;
}

int32_t CISprite::SetCollision() {
    const int32_t mode = GetArgInt(m_interpretor, 0);
    uint32_t& state = m_state.state;
    if (mode == 0 || mode == kCollisionOff) {
        state &= ~kSpriteCollide;
    } else if (mode == 1) {
        state |= kSpriteCollide;
    } else if (mode == kCollisionBox) {
        state |= kSpriteCollide | kSpriteBoxCollision;
    } else {
        state = (state | kSpriteCollide) & ~kSpriteBoxCollision;
    }
    return 0;
}

int32_t CISprite::Show() {
    uint32_t& state = m_state.state;
    if (state & (kSpriteHideRequested | kSpriteHidden)) {
        state = (state & ~(kSpriteHideRequested | kSpriteHidden)) | kSpriteShowRequested;
        Changed();
    }
    return 0;
}

int32_t CISprite::Hide() {
    uint32_t& state = m_state.state;
    if (!(state & (kSpriteHideRequested | kSpriteHidden))) {
        state = (state & ~(kSpriteShowRequested | kSpriteToDraw)) | kSpriteHideRequested;
        Changed();
    }
    return 0;
}

int32_t CISprite::IsPointIn() {
    CInterpretor* in = m_interpretor;
    const int32_t x = GetArgInt(in, 0), y = GetArgInt(in, 1);
    if (!Given(x) || !Given(y))
        RaiseError(in, 14);
    const CRect& b = m_state.box;
    if (x < b.left || x >= b.right || y < b.top || y >= b.bottom)
        return Answer(0);
    if (!(m_state.drawFlags & kSpriteTransparent) || m_image == nullptr)
        return Answer(1);
    // The image's pixel, without scale or rotation; a point past the image
    // (scaled sprites) reads as transparent.
    uint32_t value = 0;
    int ok;
    if (m_image->GetDepth() <= 8) {
        uint8_t index = 0;
        ok = m_image->PixelIndexAt(x - b.left, y - b.top, &index);
        value = index;
    } else {
        ok = m_image->PixelAt(x - b.left, y - b.top, &value);
    }
    return Answer(ok && (value & 0xFFFFFF) != 0);
}

// ---- layers and collisions ----

int32_t CISprite::SetLayer() {
    const int32_t layer = GetArgInt(m_interpretor, 0);
    if (!Given(layer))
        RaiseError(m_interpretor, 14);
    if (m_state.listed && List() != nullptr) {
        if (layer != m_state.layer)
            List()->SetLayer(&m_state, layer);
    } else {
        m_state.layer = layer;
    }
    return 0;
}

int32_t CISprite::MoveToBack() {
    if (m_state.listed && List()) List()->MoveToBack(&m_state);
    return 0;
}
int32_t CISprite::MoveToFront() {
    if (m_state.listed && List()) List()->MoveToFront(&m_state);
    return 0;
}
int32_t CISprite::MoveBackward() {
    if (m_state.listed && List()) List()->MoveBackward(&m_state);
    return 0;
}
int32_t CISprite::MoveForward() {
    if (m_state.listed && List()) List()->MoveForward(&m_state);
    return 0;
}
int32_t CISprite::MoveBefore() {
    CISprite* other = SpriteArg(0);
    if (m_state.listed && List()) List()->MoveBefore(&m_state, &other->m_state);
    return 0;
}
int32_t CISprite::MoveAfter() {
    CISprite* other = SpriteArg(0);
    if (m_state.listed && List()) List()->MoveAfter(&m_state, &other->m_state);
    return 0;
}

int32_t CISprite::IsColliding() {
    CISprite* other = SpriteArg(0);
    if (List() == nullptr || other->m_surface != m_surface)
        return Answer(0);
    return Answer(List()->TestCollision(&m_state, &other->m_state));
}

int32_t CISprite::GetFirstCollidingSprite() {
    return AnswerSprite(List() != nullptr ? List()->FindCollision(&m_state, nullptr) : nullptr);
}

int32_t CISprite::GetNextCollidingSprite() {
    CISprite* after = SpriteArg(0);
    if (List() == nullptr)
        return AnswerSprite(nullptr);
    return AnswerSprite(List()->FindCollision(&m_state, after->m_state.listed ? &after->m_state : nullptr));
}

// ---- animation ----

void CISprite::SetFrame(int32_t frame, uint32_t) {
    if (m_frameCount > 0)
        frame = std::max(0, std::min(frame, m_frameCount - 1));
    m_frame = frame;
    if (m_animation) {
        m_animation->Show(frame);
        m_state.state |= kSpriteImageChanged;
    }
    Changed();
}

bool CISprite::TakeAnimation(CAnimElement* element) {
    std::unique_ptr<CSpriteAnimation> animation(new (std::nothrow) CSpriteAnimation());
    if (!animation || m_surface == nullptr ||
        !animation->Open(element, ImageFormatsOf(m_interpretor), m_surface->GetPicture()))
        return false;
    DropAnimation();
    m_animation = std::move(animation);
    m_frameCount = m_animation->GetFrameCount();
    m_loopCount = m_animation->GetLoops() - 1;
    m_frameLimit = m_animation->GetFrameLimit();
    m_cursor.Init(this, OsTimeMs(), 0);
    m_cursor.m_playFlags = 0;
    m_frame = GetFirstFrame(0);
    m_cursor.m_loopCounter = m_cursor.m_loopCount = m_loopCount;
    return true;
}

void CISprite::DropAnimation() {
    EndPlay(0);
    if (m_animation && (m_image == m_animation->GetFrames() || m_drawnImage == m_animation->GetFrames())) {
        // The frames go with the animation: nothing may point at them.
        if (m_image == m_animation->GetFrames())
            m_image = nullptr;
        m_drawnImage = nullptr;
        m_transformed.reset();
        m_state.state |= kSpriteImageChanged;
    }
    m_animation.reset();
    m_frameCount = 0;
    m_frame = 0;
}

void CISprite::EndPlay(uint32_t) {
    if (!m_playing)
        return;
    m_playing = m_paused = 0;
    if (m_tickHandle != 0)
        RemoveTickObject(m_interpretor, m_tickHandle);
    m_tickHandle = 0;
}

int32_t CISprite::GetFrameDelay(int32_t frame, uint32_t) {
    return SpeedScaledDelay(m_animation ? m_animation->GetFrameDelay(frame) : 20, m_speedFactor);
}

int32_t CISprite::Play() {
    CInterpretor* in = m_interpretor;
    EndPlay(0);
    const uint32_t flags = ReadPlayArguments(in, m_frameCount, &m_loopCount, &m_frameLimit, m_cursor.m_playFlags);
    m_cursor.Init(this, OsTimeMs(), 0);
    m_cursor.m_playFlags = flags;
    m_frame = (flags & CFrameCursor::kBackward) ? GetLastFrame(0) : GetFirstFrame(0);
    m_cursor.m_loopCounter = m_cursor.m_loopCount = m_loopCount;
    m_cursor.SetFrame(m_frame, OsTimeMs());
    m_tickHandle = AddTickObject(in, &m_cursor);
    m_playing = 1;
    return 0;
}

int32_t CISprite::Stop() {
    EndPlay(0);
    return 0;
}

int32_t CISprite::Pause() {
    if (m_playing)
        m_paused = 1;
    return 0;
}

int32_t CISprite::Resume() {
    if (m_playing)
        m_paused = 0;
    return 0;
}

int32_t CISprite::SetFrameMember() {
    const int32_t frame = GetArgInt(m_interpretor, 0);
    if (!Given(frame))
        RaiseError(m_interpretor, 14);
    if (m_frameCount > 0)
        m_cursor.SetFrame(frame, OsTimeMs());
    return 0;
}

int32_t CISprite::GetFrame() { return Answer(m_frame); }
int32_t CISprite::IsPlaying() { return Answer(m_playing); }
int32_t CISprite::IsPausedMember() { return Answer(m_paused); }
int32_t CISprite::GetNFrames() { return Answer(m_frameCount); }

int32_t CISprite::NextFrame() {
    if (m_frameCount > 0)
        m_cursor.Step(OsTimeMs());
    return 0;
}

int32_t CISprite::PrevFrame() {
    if (m_frameCount > 0)
        m_cursor.StepBack(OsTimeMs());
    return 0;
}

int32_t CISprite::SetSpeedFactor() {
    const int32_t factor = GetArgInt(m_interpretor, 0);
    m_speedFactor = Given(factor) ? std::max(factor, 1) : 100;
    return 0;
}

int32_t CISprite::GetSpeedFactor() { return Answer(m_speedFactor); }

// ---- life ----

int32_t CISprite::OnObjectDeleted(CIBaseClassImpl* object) {
    if (object == m_surface) {
        if (m_state.listed && List() != nullptr)
            List()->Remove(&m_state, true);
        LeftSurface();
        return 1;
    }
    if (object == m_source || object == m_drawnSource) {
        // The picture goes with its surface: the sprite shows nothing.
        if (m_image == static_cast<CISurface*>(object)->GetPicture())
            m_image = nullptr;
        if (m_drawnImage == static_cast<CISurface*>(object)->GetPicture())
            m_drawnImage = nullptr;
        if (m_source == object)
            m_source = nullptr;
        if (m_drawnSource == object)
            m_drawnSource = nullptr;
        m_transformed.reset();
        RecomputeBox();
        Changed();
    }
    return 0;
}

void CISprite::Destroy(int32_t) {
    DropAnimation();
    if (m_state.listed && List() != nullptr)
        List()->Remove(&m_state, false);
    LeftSurface();
    ReleaseElement(m_element);
    ReleaseElement(m_drawnElement);
    if (m_source != nullptr)
        m_source->RemoveImageUser(this);
    if (m_drawnSource != nullptr && m_drawnSource != m_source)
        m_drawnSource->RemoveImageUser(this);
    m_source = m_drawnSource = nullptr;
    m_transformed.reset();
    UnlinkFromClassList();
    delete this;
}

void RegisterSpriteClass() { RegisterClassBinding(kClassSprite, {&MakeScriptObject<CISprite>, nullptr}); }

CISurface* CurrentWindowSurface(CInterpretor* interpretor) {
    ISurfaceWindow* window = dynamic_cast<ISurfaceWindow*>(GetCurrentWindow(interpretor));
    return window != nullptr ? window->GetAttachedSurface() : nullptr;
}
