#include "render/software/software_renderer.h"

#include "engine3d/camera.h"
#include "engine3d/material.h"
#include "engine3d/os_lock.h"
#include "engine3d/sprite.h"
#include "engine3d/world.h"
#include "render/driver.h"
#include "render/software/software_polygon.h"
#include "render/software/span_tables.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

LRenderAPI_Software* g_current = nullptr;

template <class T>
void FreeTable(T*& table) {
    std::free(table);
    table = nullptr;
}

}  // namespace

LRenderAPI_Software* CurrentSoftwareRenderer() { return g_current; }
void SetCurrentSoftwareRenderer(LRenderAPI_Software* renderer) { g_current = renderer; }

LRecursiveLock& RenderLock() {
    static LRecursiveLock lock;
    return lock;
}

LRenderAPI_Software::LRenderAPI_Software(L3DWorld* world, LAPICLBK* driver) : LRenderAPICLBK(world, driver) {
    probeDesktop = 1;
    if (!driver) return;
    LPolygon* made = driver->CreatePolygon(nullptr, 2, nullptr);
    spritePolygon = dynamic_cast<LPolygon_Software*>(made);
    if (!spritePolygon) {
        // A driver of plain polygons: the renderer still needs its own kind.
        if (made) driver->DeletePolygon(made);
        spritePolygon = new LPolygon_Software(nullptr, 2, nullptr);
    }
    spritePolygon->SetMaxPoints(4);
    spriteMaterial = new LMaterial(world, "SpriteMat", nullptr, 0xFFFFFFFFu);
    // The work polygon has no owner: it takes its material directly.
    spritePolygon->material = spriteMaterial;
    for (int i = 0; i < 4; ++i) {
        L3DPoint* p = driver->CreatePoint(0, 0, 0, 0, 0);
        if (!p) break;
        p->depth = kSpriteDepth;
        p->inverseDepth = 1.0f / kSpriteDepth;
        spritePolygon->AddPoint(p);
    }
}

LRenderAPI_Software::~LRenderAPI_Software() {
    if (spritePolygon) {
        spritePolygon->owner = nullptr;
        spritePolygon->material = nullptr;
        L3DPoint* corners[4] = {};
        const int32_t n = spritePolygon->GetCount();
        for (int32_t i = 0; i < n; ++i) corners[i] = spritePolygon->points[i];
        if (driver) {
            driver->DeletePolygon(spritePolygon);
            for (int32_t i = 0; i < n; ++i) driver->DeletePoint(corners[i]);
        } else {
            delete spritePolygon;
            for (int32_t i = 0; i < n; ++i) delete corners[i];
        }
        spritePolygon = nullptr;
    }
    delete spriteMaterial;
    spriteMaterial = nullptr;
    FreeTable(depthBuffer);
    depthBufferBytes = depthPitch = depthRows = 0;
    LRenderAPI_Software::DetachCamera();
    window = nullptr;
    if (g_current == this) g_current = nullptr;
}

int32_t LRenderAPI_Software::PixelBytes() const {
    switch (depth) {
    case 8: return 1;
    case 15:
    case 16: return 2;
    case 24: return 3;
    case 32: return 4;
    default: return 0;
    }
}

int32_t LRenderAPI_Software::DrawRows() const {
    int32_t rows = height < tableRows ? height : tableRows;
    if (depthBuffer && depthRows < rows) rows = depthRows;
    return rows < 0 ? 0 : rows;
}

int32_t LRenderAPI_Software::DrawColumns() const {
    const int32_t bytes = PixelBytes();
    int32_t columns = bytes ? rowBytes / bytes : 0;
    if (width < columns) columns = width;
    if (depthBuffer && depthPitch < columns) columns = depthPitch;
    return columns < 0 ? 0 : columns;
}

void LRenderAPI_Software::SizeRowTables() {
    const int32_t rows = height > 0 ? height : 1;
    if (rows <= tableRows && leftEdges) return;
    FreeRowTables();
    leftEdges = static_cast<LEdgeRecord*>(std::calloc(size_t(rows), sizeof(LEdgeRecord)));
    rightEdges = static_cast<LEdgeRecord*>(std::calloc(size_t(rows), sizeof(LEdgeRecord)));
    leftX = static_cast<int32_t*>(std::calloc(size_t(rows), sizeof(int32_t)));
    rightX = static_cast<int32_t*>(std::calloc(size_t(rows), sizeof(int32_t)));
    if (!leftEdges || !rightEdges || !leftX || !rightX) {
        FreeRowTables();
        return;
    }
    tableRows = rows;
}

void LRenderAPI_Software::FreeRowTables() {
    FreeTable(leftEdges);
    FreeTable(rightEdges);
    FreeTable(leftX);
    FreeTable(rightX);
    tableRows = 0;
}

int32_t LRenderAPI_Software::SetCamera(LCameraLink* newCamera) {
    const int32_t result = LRenderAPICLBK::SetCamera(newCamera);
    if (newCamera) {
        FreeRowTables();
        SizeRowTables();
    }
    return result;
}

void LRenderAPI_Software::DetachCamera() {
    LRenderAPICLBK::DetachCamera();
    FreeRowTables();
}

int32_t LRenderAPI_Software::QueryCapability(uint32_t bit) {
    return bit == 4 || bit == 8 || bit == 16 || bit == 256 || bit == 32768 ? 1 : 0;
}

void LRenderAPI_Software::EnableState(uint32_t bit) {
    LRenderAPICLBK::EnableState(bit);
    if (bit == 4 && world) world->GetMaterialList().Refresh();
}

void LRenderAPI_Software::DisableState(uint32_t bit) {
    states &= ~bit;
    if (bit == 4 && world) world->GetMaterialList().Refresh();
}

void LRenderAPI_Software::SetRowStepAndView(int32_t step) {
    if (step != kKeep) SetRowStep(step);
    SetViewRect(-1, -1, -1, -1, -1);
}

void LRenderAPI_Software::AllocateDepthBuffer(int32_t columns, int32_t rows) {
    if (columns != depthPitch || rows != depthRows) {
        FreeTable(depthBuffer);
        depthBufferBytes = 0;
        depthPitch = columns;
        depthRows = rows;
    }
    if (!depthBuffer && columns > 0 && rows > 0) {
        const size_t bytes = size_t(columns) * size_t(rows) * 4;
        depthBuffer = static_cast<int32_t*>(std::malloc(bytes));
        depthBufferBytes = depthBuffer ? int32_t(bytes) : 0;
    }
}

void LRenderAPI_Software::ClearDepthBuffer() {
    const int32_t bytes = (int32_t(depth) + 1) / 8;
    const int32_t columns = bytes > 0 ? rowBytes / bytes : 0;
    AllocateDepthBuffer(columns, height);
    if (depthBuffer) std::memset(depthBuffer, 0, size_t(depthBufferBytes));
}

void LRenderAPI_Software::ChooseEmptiedRoutines() {
    if (!world) return;
    for (LDataNode* n = world->GetMaterialList().GetHead(); n; n = n->next) {
        auto* material = static_cast<LMaterial*>(n->value);
        if (!material || !material->clippedDraw.IsEmpty()) continue;
        for (LDataNode* pn = material->GetHead(); pn; pn = pn->next) {
            if (auto* polygon = dynamic_cast<LPolygon_Software*>(static_cast<LPolygon*>(pn->value))) {
                polygon->ChooseSpanRoutine();
                break;
            }
        }
    }
}

void LRenderAPI_Software::RenderFrame() {
    LLockScope scope(RenderLock());
    LRenderAPI_Software* previous = g_current;
    g_current = this;
    BeginFrame();
    const int32_t bytes = (int32_t(depth) + 1) / 8;
    const bool sized = depthBuffer && bytes > 0 && depthPitch == rowBytes / bytes && depthRows == height;
    // Without the per-frame clear the spans still need a buffer of the
    // target's size: made (and cleared) when the size changes.
    if ((flags & kDepthBuffer) || !sized) ClearDepthBuffer();
    if (auto* bound = dynamic_cast<L3DCamera*>(camera)) {
        SizeRowTables();
        frame = static_cast<uint8_t*>(LockTarget());
        if (frame) {
            ChooseEmptiedRoutines();
            bound->RenderWith(this);
            UnlockTarget(frame);
            frame = nullptr;
        }
    }
    EndFrame();
    g_current = previous;
}

// ---- sprites and the background ------------------------------------------------

uint16_t LRenderAPI_Software::PlaceSpriteCorners(L3DCamera* view, const float* corners) {
    spritePolygon->owner = view;
    const auto scaleOf = [](float s) { return std::fabs(s) < 1.0f || !std::isfinite(s) ? (s < 0.0f ? -1.0f : 1.0f) : s; };
    const float sx = scaleOf(view->focalX) * 0.05f, sy = scaleOf(view->focalY) * 0.05f;
    uint32_t any = 0, all = 0xFFFFFFFFu;
    const int32_t n = spritePolygon->GetCount();
    for (int32_t i = 0; i < n; ++i) {
        const float* c = corners + 4 * i;
        L3DPoint* p = spritePolygon->points[i];
        p->camera[0] = (c[0] - view->centreX) / sx;
        p->camera[1] = (c[1] - view->centreY) / sy;
        p->camera[2] = kSpriteDepth;
        p->screenX = c[0];
        p->screenY = c[1];
        p->depth = kSpriteDepth;
        p->inverseDepth = 1.0f / kSpriteDepth;
        const uint32_t code = view->PointOutcode(p->camera);
        p->outcode = code == 0 ? 1 : 0;
        any |= code;
        all &= code;
        spritePolygon->SetUV(i, c[2], c[3]);
    }
    if (n == 0 || all != 0) return LPolygon::kCulled;
    return any ? LPolygon::kClip : LPolygon::kDraw;
}

template <class Fill>
void LRenderAPI_Software::DrawSpritePolygon(L3DCamera* view, uint16_t visibility, Fill fill) {
    if (visibility == LPolygon::kCulled) return;
    if (visibility == LPolygon::kClip) {
        L3DPoint* clipped[LPolygon::kMaxClipPoints];
        const int32_t n = spritePolygon->ClipToFrustum(view, clipped);
        if (n < 3) return;
        spritePolygon->SetDrawPoints(clipped, n);
        clippedDraw = 1;
        fill();
        clippedDraw = 0;
        spritePolygon->SetDrawPoints(nullptr, 0);
        return;
    }
    fill();
}

void LRenderAPI_Software::FillSprite(bool textured, bool keyed) {
    LPolygon_Software& p = *spritePolygon;
    const bool opaque = spriteMaterial->transparency == 255;
    switch (depth) {
    case 8: textured ? p.BlitTexture8() : p.FillColor8(); break;
    case 24: textured ? p.BlitTexture24() : p.FillColor24(); break;
    case 15:
        if (!textured)
            opaque ? p.FillColor16(15) : p.FillColorBlend15();
        else if (keyed)
            opaque ? p.BlitTextureKeyed16(15) : p.BlitTextureKeyedBlend15();
        else
            opaque ? p.BlitTexture16(15) : p.BlitTextureBlend15();
        break;
    case 16:
        if (!textured)
            opaque ? p.FillColor16(16) : p.FillColorBlend16();
        else if (keyed)
            opaque ? p.BlitTextureKeyed16(16) : p.BlitTextureKeyedBlend16();
        else
            opaque ? p.BlitTexture16(16) : p.BlitTextureBlend16();
        break;
    case 32:
        if (!textured)
            opaque ? p.FillColor32() : p.FillColorBlend32();
        else if (keyed)
            opaque ? p.BlitTextureKeyed32() : p.BlitTextureKeyedBlend32();
        else
            opaque ? p.BlitTexture32() : p.BlitTextureBlend32();
        break;
    default: break;
    }
}

// Textured (flag 8) or else coloured (flag 4), then the outline (flag 2).
// The work material carries no outline flag while it fills: the outline is
// the sprite's own step.
void LRenderAPI_Software::DrawSprite(L3DCamera* view, LSprite* sprite) {
    if (!view || !sprite || !spritePolygon || !spriteMaterial || spritePolygon->GetCount() < 4) return;
    LRenderAPI_Software* previous = g_current;
    g_current = this;
    const uint16_t visibility = PlaceSpriteCorners(view, sprite->GetCorners());
    const uint32_t spriteFlags = sprite->GetFlags();
    const bool textured = (spriteFlags & LSprite::kTextured) != 0;
    if (textured || (spriteFlags & LSprite::kUntextured)) {
        spriteMaterial->SetFlatMode(0);
        if (textured)
            spriteMaterial->SetTexture(0, sprite->GetTexture());
        else
            spriteMaterial->SetColor(*sprite->GetColor());
        spriteMaterial->flags &= ~uint32_t(LMaterial::kWireFrame);
        // Set directly: the material's translucency call would also change
        // the sprite's texture.
        spriteMaterial->transparency = sprite->GetTransparency();
        const bool keyed = (spriteFlags & LSprite::kKeyed) != 0;
        DrawSpritePolygon(view, visibility, [&]() { FillSprite(textured, keyed); });
        spriteMaterial->transparency = 255;
    }
    if (spriteFlags & LSprite::kExtra) {
        spriteMaterial->SetFlatMode(1);
        spriteMaterial->SetColor(*sprite->GetColor());
        const SpanRoutine* table = SpanTableFor(depth);
        if (table) DrawSpritePolygon(view, visibility, [&]() { table[kSpanOutline](spritePolygon); });
    }
    g_current = previous;
}

void LRenderAPI_Software::DrawBackground(L3DCamera* view, LSprite* sprite) {
    if (!view || !sprite || !spritePolygon || !spriteMaterial || spritePolygon->GetCount() < 4) return;
    if (!(sprite->GetFlags() & LSprite::kTextured)) return;
    LRenderAPI_Software* previous = g_current;
    g_current = this;
    spritePolygon->owner = view;
    spriteMaterial->SetTexture(0, sprite->GetTexture());
    const float* corners = sprite->GetCorners();
    for (int32_t i = 0; i < 4; ++i) {
        L3DPoint* p = spritePolygon->points[i];
        p->screenX = corners[4 * i];
        p->screenY = corners[4 * i + 1];
        spritePolygon->SetUV(i, corners[4 * i + 2], corners[4 * i + 3]);
    }
    switch (depth) {
    case 8: spritePolygon->FillQuad8(); break;
    case 15:
    case 16: spritePolygon->FillQuad16(); break;
    case 24: spritePolygon->FillQuad24(); break;
    case 32: spritePolygon->FillQuad32(); break;
    default: break;
    }
    g_current = previous;
}
