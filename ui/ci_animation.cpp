#include "ui/ci_animation.h"

#include "graphics2d/ci_surface.h"
#include "graphics2d/graphics2d_classes.h"
#include "graphics2d/image_file.h"
#include "graphics2d/image_to_surface.h"
#include "graphics2d/os_gdi.h"
#include "graphics2d/play_arguments.h"
#include "graphics2d/sprite_geometry.h"
#include "graphics2d/surface.h"
#include "runtime/interp/os_clock.h"
#include "runtime/package/bank.h"
#include "runtime/package/program_container.h"
#include "ui/ci_animation_members.h"
#include "ui/ci_window.h"
#include "ui/os_animation_window.h"
#include "ui/os_window.h"

#include <algorithm>
#include <new>

namespace {

// Every argument kind the control base knows; a parent window is required.
constexpr uint32_t kCreateMask = 0x4000FFFF;
constexpr int32_t kUnreadable = 81, kBadArgument = 14;

bool Given(int32_t value) { return value != kArgDefaultInt; }
bool Unset(int32_t value) { return value == kUnsetCoordinate || value == -1; }

}  // namespace

CIAnimation::CIAnimation(CInterpretor* interpretor) : CIChildWindow(interpretor, kClassAnimation) {
    SetDefaultRect(0, 0, kUnsetCoordinate, kUnsetCoordinate, kWsChild, 0);
}

CIAnimation::~CIAnimation() = default;

void CIAnimation::CallMember(int32_t memberId) {
    static const CDispatchEntry<CIAnimation> kHandlers[] = {
        TW_MEMBER(Animation, Play),
        TW_MEMBER(Animation, Stop),
        TW_MEMBER(Animation, Pause),
        {kAnimationSetFrame, &CIAnimation::SetFrameMember},
        TW_MEMBER(Animation, GetFrame),
        TW_MEMBER(Animation, Resume),
        TW_MEMBER(Animation, IsPlaying),
        {kAnimationIsPaused, &CIAnimation::IsPausedMember},
        TW_MEMBER(Animation, GetNFrames),
        TW_MEMBER(Animation, NextFrame),
        TW_MEMBER(Animation, PrevFrame),
        TW_MEMBER(Animation, SetSpeedFactor),
        TW_MEMBER(Animation, GetSpeedFactor),
    };
    if (memberId >= 1 && memberId <= 37)
        CallCommonMember(memberId);
    else
        DispatchMember(this, kHandlers, memberId);
}

// ---- creation ----

void CIAnimation::ConstructFromArgs() {
    CInterpretor* in = m_interpretor;
    const CValue* extras[kMaxExtras + 1];
    ParseCreateArguments(kCreateMask, extras, 0, 100);
    for (int32_t i = 0; extras[i] != nullptr; ++i) {
        const CValue* extra = extras[i];
        if (extra->GetTag() != CValue::kObject || m_targetSurface != nullptr)
            RaiseError(in, kBadArgument);
        if (extra->IsObjectOfClass(kClassSurface))
            m_targetSurface = static_cast<CISurface*>(extra->GetObject());
        else if (extra->IsObjectOfClass(kClassTexture))
            m_targetTexture = extra->GetObject();
        else
            RaiseError(in, kBadArgument);
    }
    // Drawing on a texture's source surface needs the texture class, which
    // this runtime does not have yet: such a control cannot be made.
    if (m_targetSurface == nullptr && m_targetTexture != nullptr)
        RaiseError(in, kBadArgument);
    m_cursor.Init(this, OsTimeMs(), 0);
    if (m_targetSurface == nullptr && !OsRegisterAnimationWindowClass())
        return;
    if (const int32_t error = LoadAnimation())
        RaiseError(in, error);
    if (m_targetSurface == nullptr && CreateControlWindow(kAnimationWindowClass, nullptr, nullptr, 3) == nullptr)
        return;
    AssignInstanceNumber();
    m_cursor.m_playFlags = 0;
    m_frame = GetFirstFrame(0);
    m_cursor.m_loopCounter = m_cursor.m_loopCount = m_loopCount;
}

int32_t CIAnimation::LoadAnimation() {
    CInterpretor* in = m_interpretor;
    CProgramContainer* package = PackageOf(in);
    std::unique_ptr<CSpriteAnimation> animation(new (std::nothrow) CSpriteAnimation());
    if (!animation)
        return 15;
    CElement* found = package != nullptr && m_text != nullptr ? package->FindElement(m_text, kBankAnimations) : nullptr;
    if (CAnimElement* element = dynamic_cast<CAnimElement*>(found)) {
        if (!animation->OpenElement(element, ImageFormatsOf(in)))
            return animation->GetReader() != nullptr ? kUnreadable : kBadArgument;
    } else {
        CStream* stream = package != nullptr && m_text != nullptr ? package->OpenResource(m_text, kBankAnimations, 0)
                                                                  : nullptr;
        if (stream == nullptr)
            return kBadArgument;
        if (!animation->OpenStream(stream, ImageFormatsOf(in)))
            return kUnreadable;
    }
    CImageFile* reader = animation->GetReader();
    const CSurface* prototype = PrototypeLike(nullptr, reader->GetDepth());
    if (prototype == nullptr)
        return kUnreadable;
    if (!animation->MakeFrames(prototype, true))
        return kBadArgument;
    m_animation = std::move(animation);
    m_loopCount = m_animation->GetLoops() - 1;
    m_frameLimit = m_animation->GetFrameLimit();
    if (Unset(m_x)) m_x = 0;
    if (Unset(m_y)) m_y = 0;
    if (Unset(m_width)) m_width = reader->GetWidth();
    if (Unset(m_height)) m_height = reader->GetHeight();
    return 0;
}

// ---- life ----

void CIAnimation::Destroy(int32_t releaseAll) {
    EndPlay(0);
    m_animation.reset();
    m_targetSurface = nullptr;
    m_targetTexture = nullptr;
    CIChildWindow::Destroy(releaseAll);
    delete this;
}

int32_t CIAnimation::OnObjectDeleted(CIBaseClassImpl* object) {
    if (object != nullptr && (object == m_targetSurface || object == m_targetTexture)) {
        m_targetSurface = nullptr;
        m_targetTexture = nullptr;
        EndPlay(0);
        SetBusyOnce();
        return 1;
    }
    return CIChildWindow::OnObjectDeleted(object);
}

// ---- drawing ----

void CIAnimation::DecodeCurrent() {
    if (m_animation)
        m_animation->Show(m_frame);
}

void CIAnimation::Refresh() {
    // The refresh pass may run inside a window procedure: nothing may
    // escape from here.
    try {
        if (CSurface* frames = GetFrames()) {
            if (m_targetSurface != nullptr && m_targetSurface->GetPicture() != nullptr) {
                DecodeCurrent();
                CSurface* picture = m_targetSurface->GetPicture();
                frames->StretchTo(picture, 0, 0, picture->GetWidth(), picture->GetHeight(), 0, 0, 0);
                m_targetSurface->InvalidateAll();
            } else if (m_window != nullptr) {
                if (void* dc = OsGetWindowDC(m_window)) {
                    PaintTo(dc);
                    OsReleaseWindowDC(m_window, dc);
                }
            }
        }
    } catch (const CIError& error) {
        KeepPendingError(m_interpretor, error);
    }
    if (m_window != nullptr)
        CIChildWindow::Refresh();
    else
        m_dirty = 0;
}

void CIAnimation::PaintTo(void* dc) {
    CSurface* frames = GetFrames();
    if (frames == nullptr || dc == nullptr)
        return;
    DecodeCurrent();
    CSurface screen;
    if (screen.CreateForDC(dc))
        frames->StretchTo(&screen, 0, 0, m_width, m_height, 0, 0, 0);
}

// ---- CAnimatedObject ----

void CIAnimation::SetFrame(int32_t frame, uint32_t) {
    if (m_animation)
        frame = std::max(0, std::min(frame, GetFrameCount() - 1));
    m_frame = frame;
    SetDirty();
}

void CIAnimation::EndPlay(uint32_t) {
    if (!m_playing)
        return;
    m_playing = m_paused = 0;
    if (m_tickHandle != 0)
        RemoveTickObject(m_interpretor, m_tickHandle);
    m_tickHandle = 0;
}

int32_t CIAnimation::GetFrameDelay(int32_t frame, uint32_t) {
    return SpeedScaledDelay(m_animation ? m_animation->GetFrameDelay(frame) : 20, m_speedFactor);
}

// ---- members ----

int32_t CIAnimation::Play() {
    CInterpretor* in = m_interpretor;
    EndPlay(0);
    const uint32_t flags = ReadPlayArguments(in, GetFrameCount(), &m_loopCount, &m_frameLimit, m_cursor.m_playFlags);
    m_cursor.Init(this, OsTimeMs(), 0);
    m_cursor.m_playFlags = flags;
    m_frame = (flags & CFrameCursor::kBackward) ? GetLastFrame(0) : GetFirstFrame(0);
    SetDirty();
    m_cursor.m_loopCounter = m_cursor.m_loopCount = m_loopCount;
    m_cursor.SetFrame(m_frame, OsTimeMs());
    m_tickHandle = AddTickObject(in, &m_cursor);
    m_playing = 1;
    return 0;
}

int32_t CIAnimation::Stop() {
    if (m_playing) {
        m_paused = 0;
        EndPlay(0);
    }
    return 0;
}

int32_t CIAnimation::Pause() {
    if (m_playing)
        m_paused = 1;
    return 0;
}

int32_t CIAnimation::Resume() {
    if (m_playing)
        m_paused = 0;
    return 0;
}

int32_t CIAnimation::SetFrameMember() {
    const int32_t frame = GetArgInt(m_interpretor, 0);
    if (!Given(frame))
        RaiseError(m_interpretor, kBadArgument);
    m_cursor.SetFrame(frame, OsTimeMs());
    return 0;
}

int32_t CIAnimation::GetFrame() { return Answer(m_frame); }
int32_t CIAnimation::IsPlaying() { return Answer(m_playing); }
int32_t CIAnimation::IsPausedMember() { return Answer(m_paused); }
int32_t CIAnimation::GetNFrames() { return Answer(GetFrameCount()); }

int32_t CIAnimation::NextFrame() {
    if (m_animation)
        m_cursor.Step(OsTimeMs());
    return 0;
}

int32_t CIAnimation::PrevFrame() {
    if (m_animation)
        m_cursor.StepBack(OsTimeMs());
    return 0;
}

int32_t CIAnimation::SetSpeedFactor() {
    const int32_t factor = GetArgInt(m_interpretor, 0);
    m_speedFactor = Given(factor) ? std::max(factor, 1) : 100;
    return 0;
}

int32_t CIAnimation::GetSpeedFactor() { return Answer(m_speedFactor); }

void RegisterAnimationClass() { RegisterClassBinding(kClassAnimation, {&MakeScriptObject<CIAnimation>, nullptr}); }
