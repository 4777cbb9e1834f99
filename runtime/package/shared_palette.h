#pragma once
// Shared 256-colour palettes: 8-bit surfaces and the program container hold a
// reference to a CSharedPalette instead of a colour table of their own; one
// palette exists per distinct colour set and is shared by every holder.
//
// This is the part of the surface library that the program container needs:
// the palette record with its reference count, the default palette, the
// rearrangement that keeps the twenty static colours in place, and the lists
// of palettes that AcquireSharedPalette shares from.
//
// Palettes belong to a thread: each thread has its own palette record (its
// list of palettes and its default palette), made by the thread's first
// palette use, so tools and tests that never register with the surface
// library still share palettes. A registered thread holds references on its
// record (AddThreadPaletteReference, by the surface library's start-up); the
// last ReleaseThreadPalettes destroys every palette still in the list. A
// palette is used, released and destroyed by its own thread only.
#include <cstdint>

// One colour: red, green, blue and a flags byte (the Windows PALETTEENTRY).
struct PaletteEntry {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
    uint8_t flags;
};

constexpr uint8_t kPaletteNoCollapse = 0x04;  // PC_NOCOLLAPSE
constexpr uint16_t kPaletteVersion = 0x300;

// A logical palette of 256 entries (the Windows LOGPALETTE layout).
struct LogPalette256 {
    uint16_t version;
    uint16_t count;
    PaletteEntry entries[256];
};

class CSharedPalette {
public:
    uint16_t version;  // 0x300
    uint16_t count;    // entries in use
    PaletteEntry entries[256];
    // Index cache by 15-bit colour key ((r >> 3) << 10 | (g >> 3) << 5 | b >> 3),
    // 32768 bytes, null until first needed; a cell of 0 means "not known yet".
    uint8_t* inverseTable;
    // The GDI palette made from the entries by the surface library, or null;
    // deleted through the handle deleter when the palette is destroyed.
    void* gdiPalette;
    // Index of the entry nearest to black among entries 1 to count - 1.
    uint32_t blackIndex;
    uint32_t referenceCount;

    // Both accept null; Release destroys the palette at zero.
    static void AddRef(CSharedPalette* palette);
    static void Release(CSharedPalette* palette);
    // Makes the inverse table unless it exists: every entry's index stored at
    // its colour's key, a later entry with the same key winning. False when
    // the table cannot be allocated (it stays null).
    static bool BuildInverseTable(CSharedPalette* palette);
};

// The library's default palette: the twenty static colours at 0 to 9 and 246
// to 255, colour ramps between them (flags PC_NOCOLLAPSE).
const LogPalette256& GetDefaultLogPalette();

// A palette with these colours, with one more reference: an existing one when
// the colours match (pure black and (8,0,0) count as equal past entry 0),
// else a new one whose entries 1 to 255 have pure black turned into (8,0,0).
// Null when memory runs out.
CSharedPalette* AcquireSharedPalette(const LogPalette256& data);
// The default palette, with one more reference (made on first use).
CSharedPalette* GetDefaultSharedPalette();
// Makes (or finds) the palette of these colours the calling thread's default
// palette, in place of any default it had; returns it with one more reference.
CSharedPalette* AcquireThreadDefaultPalette(const LogPalette256& data);
// The existing palette with the same colours, or null; no reference added.
CSharedPalette* FindSharedPalette(const LogPalette256& data);
// Number of palettes alive on the calling thread (for tests).
int GetSharedPaletteCount();

// The calling thread's palette record gains a reference (made when the thread
// has none yet).
void AddThreadPaletteReference();
// Drops one reference of the calling thread's record; the last one destroys
// every palette still in the thread's list (whoever still holds them) and the
// record. Nothing when the thread holds no reference.
void ReleaseThreadPalettes();
// References the calling thread holds on its record (for tests).
int GetThreadPaletteReferences();

// Destroys a GDI palette handle; installed by the surface library, which makes
// the handles. Without one the handle field is left alone.
void SetPaletteHandleDeleter(void (*deleter)(void* handle));

// The entry nearest to the colour by dr² + dg² + db², visited in index order.
// With count 256, colour 0 gives 0 at once and any other colour is searched
// over entries 1 to 255 only; other counts search every entry. The first exact
// match ends the search; among equal inexact distances the last entry wins.
// Colours are library colours (red in the low byte; the top byte ignored).
int FindNearestColor(const PaletteEntry* entries, int count, uint32_t colour);

// A palette whose entries 0 to 9 and 246 to 255 hold the static colours where
// this palette has them (RemapPalette over a copy), with one reference: the
// palette itself when nothing moved or memory ran out. With `map`, map[i]
// tells which entry of the palette went to place i.
CSharedPalette* DeriveSharedPalette(CSharedPalette* palette, uint8_t* map);

// Four-byte colour table entries between the DIB order (blue, green, red, 0)
// and the palette order (red, green, blue, flags): red and blue swap, the
// fourth byte becomes 0. `destination` may equal `source`.
void RGBQuadsToPaletteEntries(void* destination, const void* source, int count);
void PaletteEntriesToRGBQuads(void* destination, const void* source, int count);

// Rearranges 256 entries so that the twenty static colours sit at their
// places: for each static place the nearest entry is swapped there, then the
// static places get their exact colours, near-black entries 10 to 245 become
// (8,0,0) and entries 10 to 245 get PC_NOCOLLAPSE. `out` may equal `in`; with
// `map`, map[i] tells which input entry went to place i. True when any entry
// moved.
bool RemapPalette(PaletteEntry* out, const PaletteEntry* in, uint8_t* map);
