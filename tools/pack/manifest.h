#pragma once
// The manifest of an application folder: what the packer puts in the package.
//
//   # comment (also ";")
//   title = My Game             settings, before the first bank
//   speed = 100                 message pump speed, percent
//   background = 0xFFFFFF       default window colour
//   release = 1                 sound3d = 1     flags = 0     extra = 0
//   setting_f = 1               setting_g = 1
//   palette = default           or a file: 1024 bytes (red, green, blue,
//                               flags per entry) or an 8-bit BMP
//   startup = init.txt          start-up text, compiled as "InitSource"
//   gameinput = controls.txt    game-input settings
//   gameinput_words = 0 1 0     words A, B and C of the game-input block
//   followon = next             folder of a follow-on application
//   compress = 1                zlib-compress texts and elements when smaller
//
//   [sources Main]              one bank: kind and name; kinds are sources,
//   main.src                    pictures, animations, sounds, music, strings,
//   util.src                    3d, binary, or a type number
//   [pictures Pictures]
//   logo.bmp                    element named as its file
//   title/splash = splash.png   element "splash" in group "title"
//   arrow = arrow.png | 3 4     with hot spot (pictures and animations)
//   @palette = level.bmp        pictures: a palette of the bank's palette
//                               table (numbered from 0 in order), 1024 bytes
//                               or an 8-bit BMP, as the program palette
//   tile = tile.png | raw 8 palette 0 mask
//                               pictures: stored as raw rows instead of the
//                               file (runtime/package/picture_element.h):
//                               "raw" with an optional depth (8, 15, 16, 24,
//                               32; default the file's own, 24 for files of
//                               less than 8 bits); "palette N" the table's
//                               palette N, which 8-bit rows index (required
//                               for them); "mask" adds the alpha plane (255
//                               where the file has none). A hot spot comes
//                               first: "| 3 4 raw 24".
//
// A source bank is one module; its elements, in order, are the module's parts.
// Every file and folder named lies inside the manifest's folder (after symbolic
// links are resolved): an absolute name or one that climbs out with ".." is
// refused, and so is an element name that is absolute or has a ".." part.
#include <cstdint>
#include <string>
#include <vector>

struct ManifestEntry {
    std::string name;
    std::string group;
    std::string file;
    bool hasHotSpot = false;
    int32_t hotSpotX = 0;
    int32_t hotSpotY = 0;
    // Raw-row picture options.
    bool raw = false;
    int32_t rawDepth = 0;  // 0: the file's own
    int64_t palette = -1;  // -1: none
    bool mask = false;
    int line = 0;
};

struct ManifestPalette {
    std::string file;
    int line = 0;
};

struct ManifestBank {
    uint32_t type = 0;
    std::string name;
    std::vector<ManifestEntry> entries;
    std::vector<ManifestPalette> palettes;  // the palette table of a picture bank
    int line = 0;
};

struct Manifest {
    std::string title;
    uint32_t flags = 0;
    std::string palette;  // empty: the default palette
    uint16_t speed = 100;
    uint32_t backgroundColor = 0xFFFFFF;
    uint16_t releaseFlag = 1;
    uint16_t sound3DFlag = 1;
    uint32_t extraWord = 0;
    uint16_t settingF = 1;
    uint16_t settingG = 1;
    std::string startup;
    std::string gameInput;
    uint16_t gameInputA = 0;
    uint16_t gameInputB = 1;
    uint32_t gameInputC = 0;
    std::string followOn;
    // Manifest lines of the four settings above that name files or folders.
    int paletteLine = 0;
    int startupLine = 0;
    int gameInputLine = 0;
    int followOnLine = 0;
    bool compress = true;
    std::vector<ManifestBank> banks;
};

extern const char* const kManifestName;  // "manifest.txt"

// Parses manifest text; false with "line N: ..." in error.
bool ParseManifest(const std::string& text, Manifest* manifest, std::string* error);
