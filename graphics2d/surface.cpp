// The surface front object, the implementation base, the prototypes and the
// DIB export and import.
#include "graphics2d/surface.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "graphics2d/colour_match.h"
#include "graphics2d/memory_surface.h"
#include "graphics2d/surface_registry.h"
#include "runtime/base/sys_utils.h"

// ---------------------------------------------------------------------------
// DIB layout

int32_t GetBitmapInfoSize(int depth) {
    if (depth <= 8) return 40 + 4 * (1 << (depth < 0 ? 0 : depth));
    if (depth == 16) return 52;
    return 40;
}

int32_t GetDIBPitch(int32_t width, int depth) {
    const int d = depth == 15 ? 16 : depth;
    return static_cast<int32_t>(((int64_t(d) * width + 31) / 32) * 4);
}

int32_t GetDIBImageSize(int32_t width, int32_t height, int depth) {
    return GetDIBPitch(width, depth) * height + GetBitmapInfoSize(depth);
}

// ---------------------------------------------------------------------------
// The implementation base

CSurfaceImpl::CSurfaceImpl() : PixelDescriptor{} {
    if (GetSurfaceLibraryFlags() & kPixelFlagMMX) flags |= kPixelFlagMMX;
}

CSurfaceImpl::~CSurfaceImpl() {
    if (depth <= 8) CSharedPalette::Release(palette);
    palette = nullptr;
}

void CSurfaceImpl::SetDepth(int32_t newDepth) {
    depth = newDepth;
    formatIndex = FormatIndexOfDepth(newDepth);
    bytesPerPixel = (newDepth + 7) / 8;
    routines = &GetPixelRoutines(formatIndex);
}

int CSurfaceImpl::Init(int32_t newDepth) {
    SetDepth(newDepth);
    bottomUp = 0;
    if (newDepth == 8) {
        CSharedPalette::Release(palette);
        palette = GetDefaultSharedPalette();
        if (!palette) return 0;
    }
    return 1;
}

int CSurfaceImpl::InitLike(const CSurfaceImpl* prototype, int32_t w, int32_t h, int32_t rowPitch) {
    width = w;
    height = h;
    clipLeft = clipTop = 0;
    clipRight = w;
    clipBottom = h;
    depth = prototype->depth;
    formatIndex = prototype->formatIndex;
    bytesPerPixel = prototype->bytesPerPixel;
    bottomUp = prototype->bottomUp;
    routines = prototype->routines;
    lockedBits = rowBase = nullptr;
    pitch = rowStep = rowPitch;
    if (bottomUp) rowStep = -rowPitch;
    CSharedPalette::Release(palette);
    palette = prototype->palette;
    CSharedPalette::AddRef(palette);
    return 1;
}

// ---------------------------------------------------------------------------
// The null implementation

void CNullSurfaceImpl::GetClipRect(int32_t* x, int32_t* y, int32_t* w, int32_t* h) { *x = *y = *w = *h = 0; }

CSurfaceImpl* GetNullSurfaceImpl() {
    static CNullSurfaceImpl null;
    return &null;
}

// ---------------------------------------------------------------------------
// The front object

CSurface::CSurface() : m_impl(GetNullSurfaceImpl()), m_originX(0), m_originY(0), m_status(0) {}

CSurface::~CSurface() { Release(); }

void CSurface::Release() {
    if (m_impl != GetNullSurfaceImpl()) delete m_impl;
    m_impl = GetNullSurfaceImpl();
}

bool CSurface::Adopt(CSurfaceImpl* made) {
    if (!made) {
        m_status = kSurfaceNoImpl;
        return false;
    }
    m_impl = made;
    m_status = 0;
    return true;
}

void CSurface::SetImpl(CSurfaceImpl* impl) {
    Release();
    if (impl) m_impl = impl;
}

bool CSurface::Create(int32_t w, int32_t h, const CSurface* prototype) {
    Release();
    return Adopt(prototype ? prototype->m_impl->MakeInstance(w < 1 ? 1 : w, h < 1 ? 1 : h) : nullptr);
}

bool CSurface::CreateForDC(void* dc) {
    Release();
    return Adopt(OsCreateWindowDCSurface(dc));
}

bool CSurface::CreateCopy(const CSurface* source, int32_t w, int32_t h) {
    if (!source || !source->IsValid()) {
        Release();
        return false;
    }
    CSurfaceImpl* from = source->m_impl;
    CSurfaceImpl* made;
    if (w == -1) {
        made = from->MakeInstance(from->width, from->height);
        if (made) from->Blit(made, 0, 0, 0, 0, from->width, from->height, 0, 0, 0, 0);
    } else {
        made = from->MakeInstance(w, h);
        if (made) from->StretchBlit(made, 0, 0, w, h, 0, 0, from->width, from->height, 0, 0, 0);
    }
    Release();
    return Adopt(made);
}

int CSurface::GetModeClass() const {
    switch (m_impl->GetKind()) {
    case 3:
    case 5: return 1;
    case 4: return 2;
    default: return 0;
    }
}

int CSurface::IsDirectDraw() const { return m_impl->GetKind() == 5 ? 2 : 0; }

void CSurface::SetOrigin(int32_t x, int32_t y) {
    if (m_impl->HasOrigin()) m_impl->SetOrigin(x, y);
    m_originX = x;
    m_originY = y;
}

void CSurface::GetOrigin(int32_t* x, int32_t* y) const {
    *x = m_originX;
    *y = m_originY;
}

uint8_t* CSurface::Lock() {
    m_impl->Lock();
    return m_impl->rowBase;
}

void CSurface::GetClipRect(int32_t* x, int32_t* y, int32_t* w, int32_t* h) {
    m_impl->GetClipRect(x, y, w, h);
    *x += m_originX;
    *y += m_originY;
}

void CSurface::SetClipRect(int32_t x, int32_t y, int32_t w, int32_t h) {
    m_impl->SetClipRect(x - m_originX, y - m_originY, w, h);
}

int CSurface::Blit(CSurface* destination, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w, int32_t h,
                   int32_t transparent, int32_t mode, uint32_t parameter, int32_t soften) {
    if (!destination) return 0;
    return m_impl->Blit(destination->m_impl, dx - destination->m_originX, dy - destination->m_originY,
                        sx - m_originX, sy - m_originY, w, h, transparent, mode, parameter, soften);
}

int CSurface::CopyToAt(CSurface* destination, int32_t x, int32_t y, int32_t transparent, int32_t mode,
                       uint32_t parameter, int32_t soften) {
    if (!destination) return 0;
    return m_impl->Blit(destination->m_impl, x - destination->m_originX, y - destination->m_originY, 0, 0,
                        m_impl->width, m_impl->height, transparent, mode, parameter, soften);
}

int CSurface::CopyTo(CSurface* destination) { return CopyToAt(destination, 0, 0, 0, 0, 0, 0); }

int CSurface::StretchBlit(CSurface* destination, int32_t dx, int32_t dy, int32_t dw, int32_t dh, int32_t sx,
                          int32_t sy, int32_t sw, int32_t sh, int32_t transparent, int32_t mode, uint32_t parameter) {
    if (!destination) return 0;
    return m_impl->StretchBlit(destination->m_impl, dx - destination->m_originX, dy - destination->m_originY, dw, dh,
                               sx - m_originX, sy - m_originY, sw, sh, transparent, mode, parameter);
}

int CSurface::StretchTo(CSurface* destination, int32_t dx, int32_t dy, int32_t dw, int32_t dh, int32_t transparent,
                        int32_t mode, uint32_t parameter) {
    if (!destination) return 0;
    return m_impl->StretchBlit(destination->m_impl, dx - destination->m_originX, dy - destination->m_originY, dw, dh,
                               0, 0, m_impl->width, m_impl->height, transparent, mode, parameter);
}

int CSurface::StretchAll(CSurface* destination) {
    if (!destination) return 0;
    CSurfaceImpl* d = destination->m_impl;
    return m_impl->StretchBlit(d, 0, 0, d->width, d->height, 0, 0, m_impl->width, m_impl->height, 0, 0, 0);
}

int32_t NormaliseAngle(int32_t angle) {
    if (angle < 0) return static_cast<int32_t>(angle + ((359 - int64_t(angle)) / 360) * 360);
    if (angle >= 360) return angle % 360;
    return angle;
}

void GetRotatedSize(int32_t w, int32_t h, int32_t angle, int32_t* newWidth, int32_t* newHeight) {
    double c, s;
    if (angle == 90) c = 0, s = 1;
    else if (angle == 270) c = 0, s = -1;
    else c = std::cos(angle * 0.01745329251993889), s = std::sin(angle * 0.01745329251993889);
    const double xs[4] = {0, double(w - 1), 0, double(w - 1)};
    const double ys[4] = {0, 0, double(h - 1), double(h - 1)};
    float minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (int i = 0; i < 4; ++i) {
        const float x = static_cast<float>(xs[i] * c) + static_cast<float>(ys[i] * s);
        const float y = static_cast<float>(ys[i] * c) - static_cast<float>(xs[i] * s);
        if (i == 0 || x < minX) minX = x;
        if (i == 0 || x > maxX) maxX = x;
        if (i == 0 || y < minY) minY = y;
        if (i == 0 || y > maxY) maxY = y;
    }
    *newWidth = static_cast<int32_t>(maxX - minX) + 1;
    *newHeight = static_cast<int32_t>(maxY - minY) + 1;
}

int CSurface::Rotate(CSurface* destination, int32_t angle, int32_t blend, uint32_t background) {
    if (!m_impl->HasCapability(4) || !destination) {
        m_status = kSurfaceRefused;
        return 0;
    }
    return m_impl->RotateBlit(destination->m_impl, NormaliseAngle(angle), blend, background);
}

int CSurface::RotateCopy(CSurface* destination, int32_t angle, int32_t blend, uint32_t background) {
    if (!destination) return 0;
    const int32_t a = NormaliseAngle(angle);
    int32_t w, h;
    GetRotatedSize(m_impl->width, m_impl->height, a, &w, &h);
    if (w < 1 || h < 1) return 0;
    if (!destination->Create(w, h, this)) return 0;
    destination->Clear(background);
    return Rotate(destination, a, blend, background);
}

int CSurface::RotateCopyRadians(CSurface* destination, double radians, int32_t blend, uint32_t background) {
    return RotateCopy(destination, static_cast<int32_t>(radians * 57.29577951309679), blend, background);
}

int CSurface::SetPalette(CSharedPalette* newPalette, int32_t remap) {
    if (!IsPaletted() || !m_impl->SetPalette(newPalette, remap)) {
        m_status = kSurfaceRefused;
        return 0;
    }
    return 1;
}

int CSurface::SetPaletteEntries(const LogPalette256* data, int32_t remap) {
    if (!IsPaletted() || !m_impl->SetPaletteEntries(data, remap)) {
        m_status = kSurfaceRefused;
        return 0;
    }
    return 1;
}

void CSurface::RemapFromPaletteOf(CSurface* other) {
    if (!other || !IsPaletted() || !other->IsPaletted()) return;
    const CSharedPalette* own = m_impl->palette;
    const CSharedPalette* theirs = other->m_impl->palette;
    if (!own || !theirs) return;
    uint8_t map[256];
    for (int i = 0; i < 256; ++i) map[i] = static_cast<uint8_t>(i);
    if (BuildPaletteMap(map, own, theirs, true)) m_impl->ApplyColorMap(map);
}

void CSurface::CopyDisplayStateFrom(CSurface* other) {
    if (!other || GetModeClass() != other->GetModeClass() || IsDirectDraw() != other->IsDirectDraw()) return;
    m_impl->CopyDisplayState(other->m_impl);
}

// ---------------------------------------------------------------------------
// DIB export and import

int32_t CSurface::GetImageSize() const {
    return GetDIBImageSize(m_impl->width, m_impl->height, m_impl->depth);
}

bool CSurface::GetBitmapInfo(BitmapInfoHeader* header, void* bits, uint32_t flags) {
    if (!header) {
        m_status = kSurfaceBadArgument;
        return false;
    }
    if (m_impl->IsDeviceOnly()) {
        m_status = kSurfaceRefused;
        return false;
    }
    const int d = m_impl->depth;
    std::memset(header, 0, sizeof *header);
    header->biSize = 40;
    header->biWidth = m_impl->width;
    header->biHeight = m_impl->height;
    header->biPlanes = 1;
    header->biBitCount = static_cast<uint16_t>(d == 15 ? 16 : d);
    header->biSizeImage = static_cast<uint32_t>(GetDIBPitch(m_impl->width, d) * m_impl->height);
    uint8_t* behind = reinterpret_cast<uint8_t*>(header + 1);
    if (d == 16) {
        header->biCompression = kDibBitFields;
        const uint32_t masks[3] = {0xF800, 0x07E0, 0x001F};
        std::memcpy(behind, masks, sizeof masks);
    } else if (d <= 8 && d > 0) {
        const int entries = 1 << d;
        PaletteEntry* table = reinterpret_cast<PaletteEntry*>(behind);
        std::memset(table, 0, 4 * entries);
        m_impl->GetPaletteEntries(table, 0, entries);
        PaletteEntriesToRGBQuads(table, table, entries);
    }
    if (flags & 1) return true;
    if (!bits) bits = reinterpret_cast<uint8_t*>(header) + GetBitmapInfoSize(d);
    CDIBMemorySurface wrapper(header, bits, false);
    m_impl->Blit(&wrapper, 0, 0, 0, 0, 0x3FFFFFFF, 0x3FFFFFFF, 0, 0, 0, 0);
    return true;
}

namespace {

// A 1- or 4-bit DIB expanded to 8 bits: the table starts as `base`, the DIB's
// colours (at most 2 or 16) go to entries 10 onwards, pixel v becomes v + 10.
// Null when memory fails, or with `malformed` set when the DIB's bytes are
// not all there.
uint8_t* ExpandToEightBits(const BitmapInfoHeader& h, const uint8_t* start, const uint8_t* bits, int64_t available,
                           const PaletteEntry* base, int64_t* size, bool* malformed) {
    const int bitCount = h.biBitCount;
    const int32_t w = h.biWidth;
    const int32_t rows = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    const uint32_t most = 1u << bitCount;
    const uint32_t tableEntries = h.biClrUsed ? h.biClrUsed : most;
    *malformed = true;
    if (tableEntries > 256) return nullptr;
    const int64_t tableEnd = int64_t(h.biSize) + 4 * int64_t(tableEntries);
    const int64_t inPitch = ((int64_t(bitCount) * w + 31) / 32) * 4;
    const int64_t outPitch = ((int64_t(w) + 3) / 4) * 4;
    if (available >= 0 && tableEnd > available) return nullptr;
    if (outPitch * rows > INT32_MAX) return nullptr;
    if (!bits) {
        if (available >= 0 && tableEnd + inPitch * rows > available) return nullptr;
        bits = start + tableEnd;
    }
    *malformed = false;
    *size = 40 + 1024 + outPitch * rows;
    uint8_t* out = nullptr;
    if (!AllocRetry(static_cast<size_t>(*size), &out)) return nullptr;
    BitmapInfoHeader o = h;
    o.biSize = 40;
    o.biBitCount = 8;
    o.biClrUsed = 256;
    o.biClrImportant = 0;
    o.biSizeImage = static_cast<uint32_t>(outPitch * rows);
    std::memcpy(out, &o, sizeof o);
    uint8_t* table = out + 40;
    PaletteEntriesToRGBQuads(table, base, 256);
    const uint32_t copied = tableEntries < most ? tableEntries : most;
    std::memcpy(table + 40, start + h.biSize, 4 * copied);
    for (uint32_t i = 0; i < copied; ++i) table[40 + 4 * i + 3] = 0;
    uint8_t* pixels = table + 1024;
    for (int32_t y = 0; y < rows; ++y) {
        const uint8_t* in = bits + inPitch * y;
        uint8_t* row = pixels + outPitch * y;
        for (int32_t x = 0; x < w; ++x) {
            const int v = bitCount == 1 ? (in[x >> 3] >> (7 - (x & 7))) & 1 : (in[x >> 1] >> ((x & 1) ? 0 : 4)) & 15;
            row[x] = static_cast<uint8_t>(v + 10);
        }
        std::memset(row + w, 0, static_cast<size_t>(outPitch - w));
    }
    return out;
}

}  // namespace

bool CSurface::CreateFromBitmapInfo(const BitmapInfoHeader* info, const void* bits, uint32_t flags, int64_t size) {
    if (!info || (size >= 0 && size < 40)) {
        m_status = kSurfaceBadArgument;
        return false;
    }
    BitmapInfoHeader h;
    std::memcpy(&h, info, sizeof h);
    const int bc = h.biBitCount;
    const bool fields = h.biCompression == kDibBitFields;
    if (m_impl->IsDeviceOnly() || (h.biCompression != kDibRgb && !fields) ||
        (bc != 1 && bc != 4 && bc != 8 && bc != 16 && bc != 24 && bc != 32) || (fields && bc != 16 && bc != 32)) {
        m_status = kSurfaceRefused;
        return false;
    }
    if (h.biSize < 40 || (size >= 0 && int64_t(h.biSize) > size) || h.biWidth <= 0 || h.biHeight == 0 ||
        h.biHeight == INT32_MIN) {
        m_status = kSurfaceBadArgument;
        return false;
    }
    uint8_t* expanded = nullptr;
    const BitmapInfoHeader* dib = info;
    const void* dibBits = bits;
    int64_t dibSize = size;
    if (bc < 8) {
        PaletteEntry base[256];
        if (m_impl->depth <= 8 && m_impl->palette) std::memcpy(base, m_impl->palette->entries, sizeof base);
        else std::memcpy(base, GetLibraryDefaultPalette().entries, sizeof base);
        bool malformed = false;
        expanded = ExpandToEightBits(h, reinterpret_cast<const uint8_t*>(info), static_cast<const uint8_t*>(bits), size,
                                     base, &dibSize, &malformed);
        if (!expanded) {
            m_status = malformed ? kSurfaceBadArgument : kSurfaceNoImpl;
            return false;
        }
        dib = reinterpret_cast<const BitmapInfoHeader*>(expanded);
        dibBits = nullptr;
    }
    bool result = false;
    {
        CDIBMemorySurface wrapper(dib, dibBits, true, dibSize);
        if (wrapper.depth == 0) {
            m_status = kSurfaceBadArgument;
        } else {
            const bool paletted = m_impl->depth <= 8 && wrapper.depth <= 8;
            bool remap = (flags & 1) != 0;
            if (!remap && paletted && wrapper.palette) {
                if (flags & 4) {
                    m_impl->SetPalette(wrapper.palette, 0);
                } else {
                    CSharedPalette* arranged = DeriveSharedPalette(wrapper.palette, nullptr);
                    m_impl->SetPalette(arranged, 0);
                    if (arranged != wrapper.palette) remap = true;
                    CSharedPalette::Release(arranged);
                }
            }
            CSurfaceImpl* target = m_impl;
            if (wrapper.width != m_impl->width || wrapper.height != m_impl->height)
                target = m_impl->MakeInstance(wrapper.width, wrapper.height);
            if (!target) {
                m_status = kSurfaceNoImpl;
            } else {
                wrapper.CSurfaceImpl::Blit(target, 0, 0, 0, 0, 0x3FFFFFFF, 0x3FFFFFFF, 0, 0, 0, 0);
                if (remap && paletted && wrapper.palette) target->RemapFromPalette(wrapper.palette);
                if (target != m_impl) SetImpl(target);
                m_status = 0;
                result = true;
            }
        }
    }
    FreeAndNull(&expanded);
    return result;
}

// ---------------------------------------------------------------------------
// Prototypes

namespace {

struct PrototypeHolders {
    CSurface memory[5];
    CSurface dib[5];
    CSurface keptDC[5];
    CSurface directDraw;
    CSurface directDrawSystem;
    CSurface windowDC;
};

PrototypeHolders& Holders() {
    static PrototypeHolders* holders = new PrototypeHolders;  // outlives every surface
    return *holders;
}

bool g_prototypesMade = false;

}  // namespace

void CreateSurfacePrototypes() {
    PrototypeHolders& h = Holders();
    for (int i = 0; i < 5; ++i) {
        CMemorySurface* memory = new (std::nothrow) CMemorySurface;
        if (memory && !memory->Init(DepthOfFormatIndex(i))) {
            delete memory;
            memory = nullptr;
        }
        h.memory[i].SetImpl(memory);
    }
    OsCreateSurfacePrototypes({h.dib, h.keptDC, &h.directDraw, &h.directDrawSystem, &h.windowDC});
    g_prototypesMade = true;
}

void ReleaseSurfacePrototypes() {
    PrototypeHolders& h = Holders();
    for (int i = 0; i < 5; ++i) {
        h.memory[i].Release();
        h.dib[i].Release();
        h.keptDC[i].Release();
    }
    h.directDraw.Release();
    h.directDrawSystem.Release();
    h.windowDC.Release();
    g_prototypesMade = false;
}

bool SurfacePrototypesExist() { return g_prototypesMade; }

bool IsDirectDrawUsable() {
    CSurface probe;
    if (!probe.Create(32, 32, &Holders().directDraw)) return false;
    probe.Lock();
    probe.Unlock();
    return true;
}

bool SelectPixelFormat(const CSurface** holder, int32_t depth, int32_t placement, int32_t backEnd) {
    const int32_t normal = depth <= 8 ? 8 : depth <= 15 ? 15 : depth == 16 ? 16 : depth <= 24 ? 24 : 32;
    const int index = FormatIndexOfDepth(normal);
    PrototypeHolders& h = Holders();
    const CSurface* chosen = nullptr;
    if (placement == kPlaceMemory) {
        chosen = &h.memory[index];
    } else if (placement >= kPlaceDIB && placement <= kPlaceSystemMemory) {
        if (backEnd == 0) {
            chosen = placement == kPlaceKeptDC ? &h.keptDC[index] : &h.dib[index];
        } else if (backEnd == 2 && IsDirectDrawUsable()) {
            chosen = placement == kPlaceSystemMemory ? &h.directDrawSystem : &h.directDraw;
            if (chosen->GetDepth() == 0) chosen = &h.keptDC[index];
        } else {
            chosen = &h.keptDC[index];
        }
    }
    *holder = chosen;
    return chosen && depth == normal;
}

const CSurface* GetDCSurfacePrototype(int32_t depth) {
    const CSurface* holder = nullptr;
    SelectPixelFormat(&holder, depth, kPlaceKeptDC, 0);
    return holder;
}
