#include "engine3d/material.h"

#include "engine3d/chunk_stream.h"
#include "engine3d/name_text.h"
#include "engine3d/point.h"
#include "engine3d/polygon.h"
#include "engine3d/texture.h"
#include "engine3d/texture_list.h"
#include "engine3d/world.h"
#include "graphics2d/colour_match.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// Stores at most size - 1 characters with '(' and ')' read as blanks.
void CopyNameWithBlanks(char* out, int32_t size, const char* name) {
    CopyBounded(out, size, name);
    for (char* p = out; *p; ++p)
        if (*p == '(' || *p == ')') *p = ' ';
}

template <typename F>
void ForEachPolygon(LDataLink& list, F f) {
    for (LDataNode* node = list.GetHead(); node;) {
        LDataNode* next = node->next;
        f(static_cast<LPolygon*>(node->value));
        node = next;
    }
}

}  // namespace

const uint8_t kIdentityShadingTable[256] = {
#define TW_ROW(b) b, b + 1, b + 2, b + 3, b + 4, b + 5, b + 6, b + 7, b + 8, b + 9, b + 10, b + 11, b + 12, b + 13, b + 14, b + 15
    TW_ROW(0),   TW_ROW(16),  TW_ROW(32),  TW_ROW(48),  TW_ROW(64),  TW_ROW(80),  TW_ROW(96),  TW_ROW(112),
    TW_ROW(128), TW_ROW(144), TW_ROW(160), TW_ROW(176), TW_ROW(192), TW_ROW(208), TW_ROW(224), TW_ROW(240),
#undef TW_ROW
};

LMaterial::LMaterial(L3DWorld* world, const char* name, LTexture* texture, uint32_t colour, uint32_t flagWord,
                     LCLBKObject* callback)
    : LManageCLBKObject(callback), m_world(world) {
    CopyNameWithBlanks(m_name, sizeof m_name, name);
    flags = (texture ? kMapped : kWireFrame) | (flagWord & ~uint32_t(kWireFrame | kFlat | kMapped));
    SetColorAndTexture(colour, texture);
}

LMaterial::~LMaterial() {
    DropReference(m_textures[0]);
    DropReference(m_textures[1]);
}

void LMaterial::GetName(char* buffer, int32_t size) const { CopyBounded(buffer, size, m_name); }
void LMaterial::SetName(const char* name) { CopyNameWithBlanks(m_name, sizeof m_name, name); }

void LMaterial::TakeReference(LTexture* texture) {
    if (!texture || !m_world) return;
    LDataNode* node = m_world->GetTextureList().FindNode(texture);
    if (node && node->referenceCount < 255) ++node->referenceCount;
}

void LMaterial::DropReference(LTexture* texture) {
    if (!texture || !m_world) return;
    LDataNode* node = m_world->GetTextureList().FindNode(texture);
    if (node && node->referenceCount > 1) --node->referenceCount;
}

void LMaterial::ColourFromTexture(const LTexture* texture) {
    const uint8_t* p = texture ? texture->GetPixels() : nullptr;
    if (!p) return;
    uint32_t r = 0, g = 0, b = 0;
    switch (texture->GetBitsPerPixel()) {
    case 8:
        m_paletteIndex = p[0];
        break;
    case 15: {
        const uint32_t w = p[0] | p[1] << 8;
        r = (w >> 10 & 31) << 3, g = (w >> 5 & 31) << 3, b = (w & 31) << 3;
        break;
    }
    case 16: {
        const uint32_t w = p[0] | p[1] << 8;
        r = (w >> 11 & 31) << 3, g = (w >> 5 & 63) << 2, b = (w & 31) << 3;
        break;
    }
    default:
        b = p[0], g = p[1], r = p[2];
        break;
    }
    m_colour = r | g << 8 | b << 16;
    m_red = int32_t(r), m_green = int32_t(g), m_blue = int32_t(b);
}

void LMaterial::SetColorAndTexture(uint32_t colour, LTexture* texture) {
    if (texture != m_textures[0]) {
        DropReference(m_textures[0]);
        m_textures[0] = texture;
        TakeReference(texture);
    }
    if (colour == kColourFromTexture) {
        ColourFromTexture(texture);
        if (texture && texture->GetBitsPerPixel() != 8 && m_world && m_world->GetColourDepth() == 8 &&
            m_world->GetPalette())
            m_paletteIndex = GetNearestPaletteIndex(m_world->GetPalette(), m_colour);
    } else {
        SetColor(colour);
    }
    UpdateLayerCount();
    Refresh();
}

void LMaterial::SetColor(uint32_t colour) {
    m_colour = colour & 0xFFFFFF;
    m_red = int32_t(colour & 0xFF), m_green = int32_t(colour >> 8 & 0xFF), m_blue = int32_t(colour >> 16 & 0xFF);
    if (m_world && m_world->GetColourDepth() == 8 && m_world->GetPalette())
        m_paletteIndex = GetNearestPaletteIndex(m_world->GetPalette(), m_colour);
}

void LMaterial::UpdateLayerCount() { m_layerCount = uint8_t(1 + (m_textures[1] ? 1 : 0)); }

void LMaterial::SetSemiTransparency(uint8_t ratio) {
    transparency = ratio;
    if (m_textures[0]) m_textures[0]->SetTranslucency(ratio);
    Refresh();
}

void LMaterial::SetTexture(int32_t layer, LTexture* texture) {
    if (layer != 0 && layer != 1) return;
    if (texture != m_textures[layer]) {
        DropReference(m_textures[layer]);
        m_textures[layer] = texture;
        TakeReference(texture);
    }
    UpdateLayerCount();
    if (layer == 0) {
        if (texture && !(flags & kWireFrame)) flags = (flags & ~uint32_t(kFlat | kWireFrame)) | kMapped;
        if (!texture && (flags & kMapped)) flags = (flags & ~uint32_t(kMapped)) | kFlat;
    }
    Refresh();
}

void LMaterial::SetMode(uint32_t mode, int32_t on) {
    if (on) {
        if (mode == kMapped && !m_textures[0]) mode = kFlat;
        flags = (flags & ~uint32_t(kWireFrame | kFlat | kMapped)) | mode;
    } else {
        flags &= ~mode;
    }
    Refresh();
}

void LMaterial::SetReflectionType(int32_t type) {
    m_reflectionType = type;
    shadingTable = kIdentityShadingTable;
    ForEachPolygon(*this, [&](LPolygon* p) {
        for (int i = 0; i < p->GetCount(); ++i) p->GetPoint(i)->shadingTable = shadingTable;
    });
}

void LMaterial::ComputeMirrorAxes(bool on) {
    ForEachPolygon(*this, [&](LPolygon* p) {
        p->mirrorAxis = 0;
        if (!on || p->GetCount() < 3 || !p->planes) return;
        float best = 1e-5f;
        for (int k = 0; k < 3; ++k)
            if (std::fabs(p->planes[k]) > best) best = std::fabs(p->planes[k]), p->mirrorAxis = uint8_t(k + 1);
    });
}

void LMaterial::EnableMirror() {
    m_mirror = 1;
    ComputeMirrorAxes(true);
}

void LMaterial::DisableMirror() {
    m_mirror = 0;
    ComputeMirrorAxes(false);
}

void LMaterial::SetPlanarMirror(int32_t on) {
    LDataLink* mirrors = m_world ? &m_world->GetMirrorMaterials() : nullptr;
    if (!on) {
        flags &= ~uint32_t(kFlagPlanarMirror);
        if (mirrors) mirrors->RemoveNode(mirrors->FindNode(this), 1);
        return;
    }
    if (flags & kFlagPlanarMirror) return;
    const float* first = nullptr;
    bool coplanar = true;
    ForEachPolygon(*this, [&](LPolygon* p) {
        if (!p->planes) return;
        if (!first) first = p->planes;
        for (int k = 0; k < 3; ++k)
            if (std::fabs(p->planes[k] - first[k]) > 0.02f) coplanar = false;
    });
    if (!coplanar) return;
    flags |= kFlagPlanarMirror;
    if (mirrors) mirrors->InsertAfter(this, nullptr);
}

void LMaterial::SetCameraTexture(int32_t layer, L3DCamera* camera, int32_t width, int32_t height) {
    if ((layer != 0 && layer != 1) || !m_world) return;
    if (camera) {
        char name[32];
        std::snprintf(name, sizeof name, "CameraTex %d", int(m_world->GetTextureList().GetCount()));
        LTexture* texture = m_world->CreateTexture(name, nullptr);
        if (!texture) return;
        m_world->GetTextureList().AddTexture(texture);
        texture->BindCamera(camera, width, height, m_world->GetColourDepth());
        flags |= kCameraImage;
        SetTexture(layer, texture);
        return;
    }
    LTexture* old = m_textures[layer];
    m_textures[layer] = nullptr;
    DropReference(old);
    if (old && old->GetCamera()) m_world->GetTextureList().DeleteTexture(old);
    UpdateLayerCount();
    flags = (flags & ~uint32_t(kCameraImage | kWireFrame | kMapped)) | kFlat;
    Refresh();
}

uint32_t LMaterial::GetTransparentColor(int32_t layer) const {
    const LTexture* t = GetTexture(layer);
    return t ? t->GetTransparentColor() : 0;
}

void LMaterial::SetTransparentColor(int32_t layer, uint32_t colour) {
    if (LTexture* t = GetTexture(layer)) t->SetTransparentColor((t->GetFlags() & LTexture::kColourKey) ? 1 : 0, colour);
}

void LMaterial::EnableTransparentColor(int32_t layer, uint32_t colour) {
    if (LTexture* t = GetTexture(layer)) t->SetTransparentColor(1, colour);
}

void LMaterial::DisableTransparentColor(int32_t layer) {
    if (LTexture* t = GetTexture(layer)) t->SetTransparentColor(0, 0);
}

int32_t LMaterial::IsTransparent(int32_t layer) const {
    const LTexture* t = GetTexture(layer);
    return (t && t->NeedsBlending()) || transparency < 255 ? 1 : 0;
}

int32_t LMaterial::IsEnvMapped(int32_t layer) const {
    const LTexture* t = GetTexture(layer);
    return t && (t->GetFlags() & LTexture::kEnvMapped) ? 1 : 0;
}

void LMaterial::SetTextureMode(int32_t layer, int32_t mode) {
    if (LTexture* t = GetTexture(layer)) t->SetModeFlag(mode);
    RewritePairs();
}

LDataNode* LMaterial::AddPolygon(LPolygon* polygon) {
    if (!polygon || polygon->GetCount() < 3) return nullptr;
    LDataNode* node = InsertAfter(polygon, nullptr);
    if (!node) return nullptr;
    node->referenceCount = 1;
    if (m_mirror) ComputeMirrorAxes(true);
    return node;
}

void LMaterial::RemovePolygon(LDataNode* node) { RemoveNode(node, 1); }

void LMaterial::ReleaseAll() {
    LMaterial* fallback = m_world ? m_world->GetDefaultMaterial() : nullptr;
    ForEachPolygon(*this, [&](LPolygon* p) {
        p->materialNode = nullptr;
        if (fallback && fallback != this)
            p->SetMaterial(fallback);
        else
            p->material = nullptr;
    });
    Clear();
}

void LMaterial::RewritePairs() {
    ForEachPolygon(*this, [&](LPolygon* p) {
        p->CopyUVToPoints();
        if (m_textures[0]) {
            p->TextureHook1();
            p->TextureHook2();
        }
    });
}

void LMaterial::Refresh() {
    draw.Clear();
    clippedDraw.Clear();
    RewritePairs();
}

// ---------------------------------------------------------------------------

LBaseMaterial::~LBaseMaterial() { DeleteMaterialAt(-1); }

bool LBaseMaterial::IsDefault(const LMaterial* material) const {
    return m_world && (material == m_world->GetDefaultMaterial() || material == m_world->GetDefaultShadowMaterial());
}

int32_t LBaseMaterial::AddMaterial(LMaterial* material) {
    if (!material || !InsertAt(material, 0)) return kAbsent;
    material->SetWorld(m_world);
    ++m_count;
    return 0;
}

LMaterial* LBaseMaterial::CreateMaterial(const char* name, LTexture* texture, uint32_t colour, uint32_t flags,
                                         LCLBKObject* callback) {
    LMaterial* material = new LMaterial(m_world, name, texture, colour, flags, callback);
    if (AddMaterial(material) != 0) {
        delete material;
        return nullptr;
    }
    return material;
}

int32_t LBaseMaterial::DeleteMaterial(LMaterial* material) {
    LDataNode* node = material ? FindNode(material) : nullptr;
    if (!node) return kAbsent;
    if (material->GetCount() > 0) return 0;
    if (RemoveNode(node, 0)) {
        --m_count;
        if (!m_world || material != m_world->GetDefaultMaterial()) delete material;
    }
    return 0;
}

int32_t LBaseMaterial::DeleteMaterialAt(int32_t position) {
    if (position != -1) {
        LDataNode* node = GetNodeAt(position);
        if (!node) return kAbsent;
        LMaterial* material = static_cast<LMaterial*>(node->value);
        if (IsDefault(material)) return 0;
        RemoveNode(node, 1);
        --m_count;
        delete material;
        return 0;
    }
    for (LDataNode* node = GetHead(); node;) {
        LDataNode* next = node->next;
        LMaterial* material = static_cast<LMaterial*>(node->value);
        if (!IsDefault(material)) {
            RemoveNode(node, 1);
            --m_count;
            delete material;
        }
        node = next;
    }
    return 0;
}

void LBaseMaterial::MakeUniqueName(char* out, const char* name, int32_t size) {
    if (!out || size < 1) return;
    if (size > 256) size = 256;
    char work[256];
    CopyNameWithBlanks(work, size, name);
    const size_t length = std::strlen(work);
    for (int n = 1;; ++n) {
        bool taken = false;
        for (LDataNode* node = GetHead(); node && !taken; node = node->next)
            taken = NamesEqual(static_cast<LMaterial*>(node->value)->GetNameText(), work);
        if (!taken) break;
        // The suffix goes at the end of the name, or at size - 7 for a longer
        // name; a suffix wider than seven characters with its terminator
        // (" - 1000" on) moves further left so that it stays in the buffer.
        char suffix[16];
        const int s = std::snprintf(suffix, sizeof suffix, " - %d", n);
        if (s + 1 > size) break;
        size_t at = size >= 7 && length > size_t(size - 7) ? size_t(size - 7) : length;
        if (at + size_t(s) + 1 > size_t(size)) at = size_t(size) - size_t(s) - 1;
        std::memcpy(work + at, suffix, size_t(s) + 1);
    }
    CopyBounded(out, size, work);
}

LMaterial* LBaseMaterial::FindByName(const char* name) const {
    char key[256];
    CopyNameWithBlanks(key, sizeof key, name);
    for (LDataNode* node = GetHead(); node; node = node->next)
        if (NamesEqual(static_cast<LMaterial*>(node->value)->GetNameText(), key))
            return static_cast<LMaterial*>(node->value);
    return nullptr;
}

LMaterial* LBaseMaterial::FindNextByName(const LMaterial* material, const char* name) const {
    LDataNode* node = FindNode(material);
    for (node = node ? node->next : nullptr; node; node = node->next) {
        LMaterial* next = static_cast<LMaterial*>(node->value);
        if (!name || NamesEqual(next->GetNameText(), name)) return next;
    }
    return nullptr;
}

int32_t LBaseMaterial::TextureChanged(LTexture* texture) {
    if (!texture) return LTextureList::kAbsent;
    for (LDataNode* node = GetHead(); node; node = node->next) {
        LMaterial* material = static_cast<LMaterial*>(node->value);
        if (material->GetTexture(0) == texture || material->GetTexture(1) == texture) material->Refresh();
    }
    return 0;
}

void LBaseMaterial::Refresh() {
    for (LDataNode* node = GetHead(); node; node = node->next) static_cast<LMaterial*>(node->value)->RewritePairs();
}

// "BMAT": count (u16), then per material but the default one: name, polygon
// count (u16), flags (u32), reflection type (u16), colour (u32), palette
// index (u8), layer count (u8, 0 written as 1), layer 0, ratio (u8), and
// layer 1 when there are two layers.
void LBaseMaterial::WriteMaterialChunk(LChunkStream& out, uint32_t saveFlags) {
    const int32_t start = out.BeginChunk(ChunkTag("BMAT"));
    out.WriteU16(uint32_t(m_count));
    for (LDataNode* node = GetHead(); node; node = node->next) {
        const LMaterial& m = *static_cast<LMaterial*>(node->value);
        if (m_world && &m == m_world->GetDefaultMaterial()) continue;
        out.WriteString(m.GetNameText());
        out.WriteU16(uint32_t(m.GetCount()));
        out.WriteU32(m.flags);
        out.WriteU16(uint32_t(m.GetReflectionType()));
        out.WriteU32(m.GetColor());
        out.WriteU8(m.GetPaletteIndex());
        out.WriteU8(m.GetLayerCount() ? m.GetLayerCount() : 1);
        WriteLayer(out, m, 0, saveFlags);
        out.WriteU8(m.transparency);
        if (m.GetLayerCount() == 2) WriteLayer(out, m, 1, saveFlags);
    }
    out.EndChunk(start);
}

void LBaseMaterial::WriteLayer(LChunkStream& out, const LMaterial& m, int32_t layer, uint32_t saveFlags) {
    const LTexture* t = m.GetTexture(layer);
    if (!t) {
        out.WriteString("Nothing");
        out.WriteString("Nothing");
        for (int i = 0; i < 3; ++i) out.WriteU8(0);
        out.WriteU32(0);
        if (layer == 0) {
            out.WriteU8(0);
            out.WriteU8(0);
            out.WriteF32(0.0f);
            out.WriteF32(0.0f);
            out.WriteF32(1.0f);
            out.WriteF32(1.0f);
        }
        return;
    }
    // The stored file name: the bare name when the file name has a directory
    // (the file copied beside the scene when asked), as it is without one.
    const char* file = *t->GetFileNameText() ? t->GetFileNameText() : t->GetNameText();
    char bare[LTextureList::kPathSize];
    const bool hasDirectory = SplitPathAtLastSeparator(file, bare, sizeof bare) > 0;
    if (!*t->GetFileNameText()) CopyBounded(bare, sizeof bare, t->GetNameText());
    const bool copy = hasDirectory || !*t->GetFileNameText();
    if (copy && (saveFlags & kSaveCopiesFiles) && m_world && *t->GetFileNameText()) m_world->CopyTextureFile(t, bare);
    out.WriteString(copy ? bare : file);
    out.WriteString(t->GetNameText());
    // Transparent: a colour key (bit 0x80, not any flag word of 128 or more,
    // which would take in the environment-map bit), a translucency or a mask.
    out.WriteU8((t->GetFlags() & LTexture::kColourKey) || t->GetTranslucency() < 255 || t->GetMask() ? 1 : 0);
    out.WriteU8((t->GetFlags() & LTexture::kEnvMapped) ? 1 : 0);
    out.WriteU8(t->GetAutoDelete());
    out.WriteU32(t->GetTransparentColor());
    if (layer != 0) return;
    out.WriteU8(uint32_t(t->GetBitsPerPixel()));
    out.WriteU8((m.flags >> 19) & 1);
    float u, v;
    t->GetOffset(&u, &v);
    out.WriteF32(u);
    out.WriteF32(v);
    t->GetTiling(&u, &v);
    out.WriteF32(u);
    out.WriteF32(v);
}
