#pragma once
// Shared 256-colour palettes: 8-bit surfaces and the program container hold a
// reference to a CSharedPalette instead of a colour table of their own; one
// palette exists per distinct colour set and is shared by every holder.
//
// This is the part of the surface library that the program container needs:
// the palette record with its reference count, the default palette, the
// rearrangement that keeps the twenty static colours in place, and the list of
// palettes that AcquireSharedPalette shares from. The library is used by the
// GUI thread only; the list is the process's, not one per thread.
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
// The existing palette with the same colours, or null; no reference added.
CSharedPalette* FindSharedPalette(const LogPalette256& data);
// Number of palettes alive (for tests).
int GetSharedPaletteCount();

// Rearranges 256 entries so that the twenty static colours sit at their
// places: for each static place the nearest entry is swapped there, then the
// static places get their exact colours, near-black entries 10 to 245 become
// (8,0,0) and entries 10 to 245 get PC_NOCOLLAPSE. `out` may equal `in`; with
// `map`, map[i] tells which input entry went to place i. True when any entry
// moved.
bool RemapPalette(PaletteEntry* out, const PaletteEntry* in, uint8_t* map);
