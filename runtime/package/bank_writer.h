#pragma once
// Writes bank files in the layout runtime/package/bank.h reads: the packer builds its
// banks with it. Elements are collected first and written in one pass, so the
// offset table needs no patching and the output stream may be sequential.
#include "runtime/io/stream.h"

#include <cstdint>
#include <string>
#include <vector>

class CBankWriter {
public:
    // Bank version 0x16740002 unless set otherwise.
    CBankWriter(uint32_t type, const char* name);

    void SetVersion(uint32_t version) { m_version = version; }

    // An element whose data is `size` bytes: written as size, compressed size
    // and the bytes. With `compress` the bytes are stored as a zlib stream when
    // that is smaller. Returns 0 or the compressor's status.
    uint32_t AddData(const char* name, const char* group, const void* data, int32_t size, bool compress);
    // An animation element: AddData with a hot spot in its header (written
    // only when the bank has a version field of 0x16740002 or later).
    uint32_t AddAnimation(const char* name, const char* group, uint16_t hotSpotX, uint16_t hotSpotY,
                          const void* data, int32_t size, bool compress);
    // An element whose bytes after its name and group are given whole (the
    // picture elements, whose fields their own layer formats).
    uint32_t AddRaw(const char* name, const char* group, const void* body, int32_t size);
    // A slot without element (offset 0).
    void AddEmptySlot();
    // A palette of 1024 bytes for the palette table of a picture bank.
    void AddPalette(const uint8_t* palette);

    int32_t GetCount() const { return static_cast<int32_t>(m_items.size()); }

    // Writes the bank at the stream's position. Without the version field
    // (programs older than package version 0x44550002) readers assume version
    // 0x16740001, so hot spots are then left out. Names longer than the format
    // holds give kIoGeneralFailure, and nothing is written.
    uint32_t Write(COutStream* out, bool withVersion) const;

private:
    struct Item {
        bool empty = true;
        bool hasHotSpot = false;
        std::string name;
        std::string group;
        uint16_t hotSpotX = 0;
        uint16_t hotSpotY = 0;
        std::vector<uint8_t> body;
    };
    uint32_t EncodeData(Item* item, const void* data, int32_t size, bool compress);

    uint32_t m_type;
    std::string m_name;
    uint32_t m_version;
    std::vector<Item> m_items;
    std::vector<uint8_t> m_palettes;
};
