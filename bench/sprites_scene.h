#pragma once
// The sprite benchmark's scene, shared by the native benchmark (against pixman
// and SDL2) and the Windows one run under Wine: 200 transparent 64 x 64
// sprites moving over a 1024 x 768 surface, driven through the script classes
// with one full erase-update-save-draw cycle per frame.
#include <cstdint>
#include <random>
#include <vector>

#include "graphics2d/ci_sprite.h"
#include "graphics2d/ci_sprite_members.h"
#include "graphics2d/ci_surface.h"
#include "runtime/interp/interpretor.h"

namespace sprites_scene {

constexpr int kWidth = 1024, kHeight = 768, kSprites = 200, kSize = 64, kFrames = 8;

struct Motion {
    int x, y, dx, dy;
};

inline std::vector<Motion> Motions() {
    std::mt19937 rng(7);
    std::vector<Motion> m(kSprites);
    for (Motion& s : m)
        s = {int(rng() % (kWidth - kSize)), int(rng() % (kHeight - kSize)), int(rng() % 9) - 4, int(rng() % 9) - 4};
    return m;
}

inline void Step(std::vector<Motion>& motions) {
    for (Motion& s : motions) {
        s.x += s.dx, s.y += s.dy;
        if (s.x < 0 || s.x > kWidth - kSize) s.dx = -s.dx, s.x += 2 * s.dx;
        if (s.y < 0 || s.y > kHeight - kSize) s.dy = -s.dy, s.y += 2 * s.dy;
    }
}

// A sprite image: a disc of colour on pixel value 0.
inline bool Inside(int x, int y) { return (x - 32) * (x - 32) + (y - 32) * (y - 32) < 30 * 30; }

// ---- ours, through the script classes ----

struct Ours {
    CInterpretor in;
    CISurface* surface = nullptr;
    std::vector<CISprite*> sprites;

    CIBaseClassImpl* Make(uint32_t classId, std::initializer_list<int32_t> ints, CIBaseClassImpl* object = nullptr) {
        in.SetArgCount(static_cast<int32_t>(ints.size()) + (object ? 1 : 0));
        int32_t i = 0;
        if (object) in.GetArg(i++)->SetObject(object, 1);
        for (int32_t v : ints) in.GetArg(i++)->SetInt(v);
        return in.CreateObject(classId);
    }
    void CallMember(CIBaseClassImpl* o, int32_t member, std::initializer_list<int32_t> ints) {
        in.SetArgCount(static_cast<int32_t>(ints.size()));
        int32_t i = 0;
        for (int32_t v : ints) in.GetArg(i++)->SetInt(v);
        in.m_currentMemberId = static_cast<uint16_t>(member);
        o->CallMember(member);
    }
    // semi: 0 plain transparent sprites, 1 semi-transparent and transparent,
    // 2 semi-transparent and opaque.
    Ours(int depth, int semi, const std::vector<Motion>& motions) {
        in.Load(nullptr, nullptr);
        in.PrepareRun(nullptr);
        surface = dynamic_cast<CISurface*>(Make(kClassSurface, {kWidth, kHeight, depth}));
        surface->GetPicture()->FillRect(0, 0, kWidth, kHeight, 0x808040);
        CISurface* image = dynamic_cast<CISurface*>(Make(kClassSurface, {kSize, kSize, depth}));
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) image->GetPicture()->FillRect(x, y, 1, 1, Inside(x, y) ? 0x2060E0 : 0);
        for (const Motion& m : motions) {
            in.SetArgCount(4);
            in.GetArg(0)->SetObject(surface, 1);
            in.GetArg(1)->SetInt(m.x);
            in.GetArg(2)->SetInt(m.y);
            in.GetArg(3)->SetObject(image, 1);
            CISprite* s = dynamic_cast<CISprite*>(in.CreateObject(kClassSprite));
            if (semi) CallMember(s, kSpriteSetDrawEffect, {1, 128});
            if (semi == 2) CallMember(s, kSpriteSetTransparent, {0});
            sprites.push_back(s);
        }
        surface->Refresh();
    }
    ~Ours() { in.Unload(); }
    void Frame(const std::vector<Motion>& motions) {
        for (size_t i = 0; i < sprites.size(); ++i) CallMember(sprites[i], kSpriteSet, {motions[i].x, motions[i].y});
        surface->Refresh();
    }
};

// The draw step alone: every sprite drawn again where it stands.
inline void DrawAll(Ours& ours) {
    for (CISprite* s : ours.sprites) s->State().state |= kSpriteToDraw;
    ours.surface->Sprites()->Draw();
}

}  // namespace sprites_scene
