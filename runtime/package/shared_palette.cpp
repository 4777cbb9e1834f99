// Shared palettes: the reference-counted palette records, the default palette
// and the static-colour rearrangement.
#include "runtime/package/shared_palette.h"

#include "runtime/base/sys_utils.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace {

struct Rgb {
    int r, g, b;
};

// The twenty static colours: places 0 to 9 and 246 to 255.
const Rgb kStaticLow[10] = {
    {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
    {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
};
const Rgb kStaticHigh[10] = {
    {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
    {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
};

Rgb StaticColour(int place) { return place < 10 ? kStaticLow[place] : kStaticHigh[place - 246]; }

void Set(PaletteEntry* e, Rgb c, uint8_t flags) {
    e->red = static_cast<uint8_t>(c.r);
    e->green = static_cast<uint8_t>(c.g);
    e->blue = static_cast<uint8_t>(c.b);
    e->flags = flags;
}

// Entries first..last run evenly from colour a to colour b.
void Ramp(PaletteEntry* e, int first, int last, Rgb a, Rgb b) {
    const int n = last - first;
    for (int i = 0; i <= n; ++i) {
        Rgb c = a;
        if (n > 0) {
            c.r = a.r + ((b.r - a.r) * i * 2 + (b.r >= a.r ? n : -n)) / (2 * n);
            c.g = a.g + ((b.g - a.g) * i * 2 + (b.g >= a.g ? n : -n)) / (2 * n);
            c.b = a.b + ((b.b - a.b) * i * 2 + (b.b >= a.b ? n : -n)) / (2 * n);
        }
        Set(&e[first + i], c, kPaletteNoCollapse);
    }
}

LogPalette256 MakeDefault() {
    LogPalette256 p;
    p.version = kPaletteVersion;
    p.count = 256;
    PaletteEntry* e = p.entries;
    for (int i = 10; i < 246; ++i) Set(&e[i], {8, 0, 0}, kPaletteNoCollapse);
    Ramp(e, 10, 15, {255, 167, 0}, {67, 35, 7});
    Ramp(e, 16, 30, {39, 0, 47}, {227, 0, 0});
    Ramp(e, 31, 47, {231, 19, 0}, {255, 239, 0});
    Ramp(e, 48, 64, {255, 255, 1}, {1, 255, 0});
    Ramp(e, 65, 80, {0, 243, 0}, {0, 83, 0});
    Ramp(e, 81, 95, {0, 91, 7}, {0, 243, 227});
    Ramp(e, 96, 110, {1, 255, 255}, {0, 0, 195});
    Ramp(e, 111, 119, {15, 0, 191}, {131, 0, 107});
    Ramp(e, 120, 127, {123, 0, 83}, {235, 0, 227});
    Ramp(e, 128, 151, {255, 1, 255}, {255, 0, 1});
    for (int i = 0; i < 16; ++i) Set(&e[152 + i], {254 - 16 * i, 254 - 16 * i, 254 - 16 * i}, kPaletteNoCollapse);
    Ramp(e, 169, 184, {255, 243, 231}, {135, 71, 19});
    Ramp(e, 186, 201, {251, 0, 0}, {87, 0, 47});
    const Rgb blues[5] = {{0, 0, 191}, {0, 0, 151}, {0, 0, 115}, {0, 0, 91}, {0, 0, 63}};
    for (int i = 0; i < 5; ++i) Set(&e[202 + i], blues[i], kPaletteNoCollapse);
    Ramp(e, 208, 214, {255, 0, 59}, {255, 203, 255});
    Ramp(e, 215, 222, {135, 71, 19}, {15, 7, 0});
    Ramp(e, 224, 232, {135, 195, 211}, {0, 47, 59});
    Set(&e[233], {255, 1, 255}, kPaletteNoCollapse);
    for (int i = 0; i < 10; ++i) {
        Set(&e[i], kStaticLow[i], 0);
        Set(&e[246 + i], kStaticHigh[i], 0);
    }
    return p;
}

bool IsBlack(const PaletteEntry& e) { return e.red == 0 && e.green == 0 && e.blue == 0; }
bool IsDarkRed(const PaletteEntry& e) { return e.red == 8 && e.green == 0 && e.blue == 0; }
bool SameColour(const PaletteEntry& a, const PaletteEntry& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

int Distance(const PaletteEntry& e, Rgb c) {
    return std::abs(e.red - c.r) + std::abs(e.green - c.g) + std::abs(e.blue - c.b);
}

// A thread's palette record: its palettes in the order made, its default
// palette (holding the library's reference) and the references registered
// users hold. Made by the thread's first palette use; freed when its last
// palette is gone and nobody holds a reference.
struct ThreadPalettes {
    std::vector<CSharedPalette*> palettes;
    CSharedPalette* defaultPalette = nullptr;
    int references = 0;
};

thread_local ThreadPalettes* t_record = nullptr;

void (*g_handleDeleter)(void*) = nullptr;

ThreadPalettes* Record() {
    if (!t_record) t_record = new (std::nothrow) ThreadPalettes;
    return t_record;
}

void FreeRecordWhenUnused() {
    if (t_record && t_record->palettes.empty() && t_record->references == 0) {
        delete t_record;
        t_record = nullptr;
    }
}

void Destroy(CSharedPalette* palette) {
    if (palette->gdiPalette && g_handleDeleter) g_handleDeleter(palette->gdiPalette);
    void* table = palette->inverseTable;
    FreeAndNull(&table);
    delete palette;
}

bool Matches(const CSharedPalette& p, const PaletteEntry* entries) {
    if (!SameColour(p.entries[10], entries[10])) return false;
    if (!SameColour(p.entries[0], entries[0])) return false;
    for (int i = 1; i < 256; ++i) {
        const PaletteEntry& a = p.entries[i];
        const PaletteEntry& b = entries[i];
        if (SameColour(a, b)) continue;
        if ((IsBlack(a) || IsDarkRed(a)) && (IsBlack(b) || IsDarkRed(b))) continue;
        return false;
    }
    return true;
}

}  // namespace

const LogPalette256& GetDefaultLogPalette() {
    static const LogPalette256 palette = MakeDefault();
    return palette;
}

void CSharedPalette::AddRef(CSharedPalette* palette) {
    if (palette) ++palette->referenceCount;
}

void CSharedPalette::Release(CSharedPalette* palette) {
    if (!palette || --palette->referenceCount > 0) return;
    if (ThreadPalettes* record = t_record) {
        std::vector<CSharedPalette*>& list = record->palettes;
        for (size_t i = 0; i < list.size(); ++i) {
            if (list[i] == palette) {
                list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
                break;
            }
        }
        if (palette == record->defaultPalette) record->defaultPalette = nullptr;
    }
    Destroy(palette);
    FreeRecordWhenUnused();
}

CSharedPalette* FindSharedPalette(const LogPalette256& data) {
    if (!t_record) return nullptr;
    for (CSharedPalette* p : t_record->palettes)
        if (Matches(*p, data.entries)) return p;
    return nullptr;
}

CSharedPalette* AcquireSharedPalette(const LogPalette256& data) {
    CSharedPalette* found = FindSharedPalette(data);
    if (found) {
        CSharedPalette::AddRef(found);
        return found;
    }
    ThreadPalettes* record = Record();
    if (!record) return nullptr;
    CSharedPalette* p = new (std::nothrow) CSharedPalette;
    if (!p) {
        FreeRecordWhenUnused();
        return nullptr;
    }
    p->version = data.version;
    p->count = data.count > 256 ? 256 : data.count;
    std::memcpy(p->entries, data.entries, sizeof p->entries);
    for (int i = 0; i < 256; ++i) {
        p->entries[i].flags = 0;
        if (i > 0 && IsBlack(p->entries[i])) p->entries[i].red = 8;
    }
    // Normalising may have made it equal to a palette that exists.
    for (CSharedPalette* other : record->palettes) {
        if (Matches(*other, p->entries)) {
            delete p;
            CSharedPalette::AddRef(other);
            return other;
        }
    }
    p->referenceCount = 1;
    p->inverseTable = nullptr;
    p->gdiPalette = nullptr;
    p->blackIndex = 1 + static_cast<uint32_t>(FindNearestColor(p->entries + 1, p->count - 1, 0));
    try {
        record->palettes.push_back(p);
    } catch (const std::bad_alloc&) {
        delete p;
        FreeRecordWhenUnused();
        return nullptr;
    }
    return p;
}

CSharedPalette* GetDefaultSharedPalette() {
    ThreadPalettes* record = Record();
    if (!record) return nullptr;
    if (!record->defaultPalette) {
        // The record keeps this reference; the caller gets another.
        record->defaultPalette = AcquireSharedPalette(GetDefaultLogPalette());
        if (!record->defaultPalette) return nullptr;
    }
    CSharedPalette::AddRef(record->defaultPalette);
    return record->defaultPalette;
}

CSharedPalette* AcquireThreadDefaultPalette(const LogPalette256& data) {
    ThreadPalettes* record = Record();
    if (!record) return nullptr;
    CSharedPalette* made = AcquireSharedPalette(data);
    if (!made) return nullptr;
    CSharedPalette* old = record->defaultPalette;
    if (old == made) return made;  // the record already held one reference
    record->defaultPalette = made;
    CSharedPalette::Release(old);
    CSharedPalette::AddRef(made);
    return made;
}

void AddThreadPaletteReference() {
    if (ThreadPalettes* record = Record()) ++record->references;
}

void ReleaseThreadPalettes() {
    ThreadPalettes* record = t_record;
    if (!record || record->references == 0 || --record->references > 0) return;
    std::vector<CSharedPalette*> palettes;
    palettes.swap(record->palettes);
    record->defaultPalette = nullptr;
    for (CSharedPalette* p : palettes) Destroy(p);
    FreeRecordWhenUnused();
}

int GetThreadPaletteReferences() { return t_record ? t_record->references : 0; }

void SetPaletteHandleDeleter(void (*deleter)(void* handle)) { g_handleDeleter = deleter; }

int FindNearestColor(const PaletteEntry* entries, int count, uint32_t colour) {
    const int r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
    int first = 0;
    if (count == 256) {
        if ((colour & 0xFFFFFF) == 0) return 0;
        first = 1;
    }
    int best = first;
    int bestDistance = 0x7FFFFFFF;
    for (int i = first; i < count; ++i) {
        const PaletteEntry& e = entries[i];
        const int dr = e.red - r;
        int distance = dr * dr;
        if (distance > bestDistance) continue;
        const int dg = e.green - g;
        distance += dg * dg;
        if (distance > bestDistance) continue;
        const int db = e.blue - b;
        distance += db * db;
        if (distance == 0) return i;
        if (distance <= bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

bool CSharedPalette::BuildInverseTable(CSharedPalette* palette) {
    if (palette->inverseTable) return true;
    uint8_t* table = nullptr;
    if (!CallocRetry(32768, &table)) return false;
    for (int i = 0; i < 256; ++i) {
        const PaletteEntry& e = palette->entries[i];
        table[(e.red >> 3) << 10 | (e.green >> 3) << 5 | (e.blue >> 3)] = static_cast<uint8_t>(i);
    }
    palette->inverseTable = table;
    return true;
}

int GetSharedPaletteCount() { return t_record ? static_cast<int>(t_record->palettes.size()) : 0; }

bool RemapPalette(PaletteEntry* out, const PaletteEntry* in, uint8_t* map) {
    if (out != in) std::memcpy(out, in, 256 * sizeof(PaletteEntry));
    if (map)
        for (int i = 0; i < 256; ++i) map[i] = static_cast<uint8_t>(i);
    bool moved = false;
    auto place = [&](int p, int candidate) {
        if (candidate == p) return;
        PaletteEntry a = out[p];
        PaletteEntry b = out[candidate];
        out[p].red = b.red, out[p].green = b.green, out[p].blue = b.blue;
        out[candidate].red = a.red, out[candidate].green = a.green, out[candidate].blue = a.blue;
        if (map) {
            const uint8_t m = map[p];
            map[p] = map[candidate];
            map[candidate] = m;
        }
        moved = true;
    };
    // Nearest entry from `from` to 255; returns its place and its distance.
    auto nearest = [&](int from, Rgb c, int* distance) {
        int best = from, bestDistance = Distance(out[from], c);
        for (int i = from + 1; i < 256 && bestDistance > 0; ++i) {
            const int d = Distance(out[i], c);
            if (d < bestDistance) best = i, bestDistance = d;
        }
        *distance = bestDistance;
        return best;
    };
    for (int p = 0; p < 10; ++p) {
        int d;
        place(p, nearest(p, StaticColour(p), &d));
    }
    for (int p = 246; p < 256; ++p) {
        const Rgb c = StaticColour(p);
        int d;
        int candidate = nearest(p, c, &d);
        if (d > 0) {
            for (int i = 10; i < 246; ++i) {
                const int e = Distance(out[i], c);
                if (e < d) candidate = i, d = e;
            }
        }
        place(p, candidate);
    }
    for (int p = 0; p < 10; ++p) Set(&out[p], StaticColour(p), 0);
    for (int p = 246; p < 256; ++p) Set(&out[p], StaticColour(p), 0);
    for (int i = 10; i < 246; ++i) {
        if (out[i].red < 8 && out[i].green < 8 && out[i].blue < 8) out[i].red = 8, out[i].green = 0, out[i].blue = 0;
        out[i].flags = kPaletteNoCollapse;
    }
    return moved;
}

CSharedPalette* DeriveSharedPalette(CSharedPalette* palette, uint8_t* map) {
    LogPalette256 arranged;
    arranged.version = kPaletteVersion;
    arranged.count = 256;
    if (RemapPalette(arranged.entries, palette->entries, map)) {
        if (CSharedPalette* derived = AcquireSharedPalette(arranged)) return derived;
    }
    CSharedPalette::AddRef(palette);
    return palette;
}

namespace {

void SwapRedBlue(void* destination, const void* source, int count) {
    const uint8_t* in = static_cast<const uint8_t*>(source);
    uint8_t* out = static_cast<uint8_t*>(destination);
    for (int i = 0; i < count; ++i, in += 4, out += 4) {
        const uint8_t first = in[0], middle = in[1], third = in[2];
        out[0] = third;
        out[1] = middle;
        out[2] = first;
        out[3] = 0;
    }
}

}  // namespace

void RGBQuadsToPaletteEntries(void* destination, const void* source, int count) {
    SwapRedBlue(destination, source, count);
}

void PaletteEntriesToRGBQuads(void* destination, const void* source, int count) {
    SwapRedBlue(destination, source, count);
}
