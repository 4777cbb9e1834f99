#pragma once
// Writes application packages in the layout CProgramContainer reads: the
// packer builds its output with it, and tests build packages to read back.
// The package is built in memory; banks come ready-made from CBankWriter.
#include <cstdint>
#include <string>
#include <vector>

struct PackageProgram {
    std::string title;
    uint32_t flags = 0;  // bit 0: the program's palette flag
    uint8_t palette[1024] = {};  // 256 entries of red, green, blue, flags
    uint32_t extraWord = 0;
    uint16_t speed = 100;
    uint32_t backgroundColor = 0xFFFFFF;
    uint16_t releaseFlag = 1;
    uint16_t sound3DFlag = 1;
    uint16_t settingF = 1;
    uint16_t settingG = 1;
    // Compiled first, as the module "InitSource".
    std::string startupText;
    // Game-input settings text; written when hasGameInput is set.
    bool hasGameInput = false;
    uint16_t gameInputA = 0;
    uint16_t gameInputB = 0;
    uint32_t gameInputC = 0;
    std::string gameInput;
    // Store the start-up text and game input zlib-compressed when smaller.
    bool compress = false;
    // Complete bank files (CBankWriter output), in list order.
    std::vector<std::vector<uint8_t>> banks;
};

struct PackageDescription {
    uint32_t version = 0x44550004;
    std::vector<PackageProgram> programs;
    // A complete package of a follow-on program, nested in chunk 0x1001.
    std::vector<uint8_t> followOn;
};

// Appends one chunk: its header and data.
void AppendChunk(std::vector<uint8_t>* out, uint16_t id, const std::vector<uint8_t>& data);

// The package as bytes. Programs of versions before 0x44550004 keep the
// start-up text and the game input in their settings chunk. Returns 0, or
// kIoGeneralFailure when a field does not fit its format (a title or an
// older text over 65535 bytes).
uint32_t WritePackage(const PackageDescription& package, std::vector<uint8_t>* out);
