#include "runtime/package/bank_writer.h"

#include "runtime/package/bank.h"
#include "runtime/io/byte_vector_writer.h"

#include <cstring>

CBankWriter::CBankWriter(uint32_t type, const char* name)
    : m_type(type), m_name(name ? name : ""), m_version(kBankVersion2) {}

uint32_t CBankWriter::EncodeData(Item* item, const void* data, int32_t size, bool compress) {
    if (size < 0 || (size > 0 && !data)) return kIoGeneralFailure;
    std::vector<uint8_t>& body = item->body;
    Put32(&body, static_cast<uint32_t>(size));
    return PutPacked(&body, data, size, compress);
}

uint32_t CBankWriter::AddData(const char* name, const char* group, const void* data, int32_t size, bool compress) {
    Item item;
    item.empty = false;
    item.name = name ? name : "";
    item.group = group ? group : "";
    uint32_t status = EncodeData(&item, data, size, compress);
    if (status == kIoOk) m_items.push_back(std::move(item));
    return status;
}

uint32_t CBankWriter::AddAnimation(const char* name, const char* group, uint16_t hotSpotX, uint16_t hotSpotY,
                                   const void* data, int32_t size, bool compress) {
    Item item;
    item.empty = false;
    item.hasHotSpot = true;
    item.name = name ? name : "";
    item.group = group ? group : "";
    item.hotSpotX = hotSpotX;
    item.hotSpotY = hotSpotY;
    uint32_t status = EncodeData(&item, data, size, compress);
    if (status == kIoOk) m_items.push_back(std::move(item));
    return status;
}

uint32_t CBankWriter::AddRaw(const char* name, const char* group, const void* body, int32_t size) {
    if (size < 0 || (size > 0 && !body)) return kIoGeneralFailure;
    Item item;
    item.empty = false;
    item.name = name ? name : "";
    item.group = group ? group : "";
    const uint8_t* bytes = static_cast<const uint8_t*>(body);
    item.body.assign(bytes, bytes + size);
    m_items.push_back(std::move(item));
    return kIoOk;
}

void CBankWriter::AddEmptySlot() { m_items.push_back(Item()); }

void CBankWriter::AddPalette(const uint8_t* palette) {
    m_palettes.insert(m_palettes.end(), palette, palette + 1024);
}

uint32_t CBankWriter::Write(COutStream* out, bool withVersion) const {
    if (!out || m_name.size() > 259) return kIoGeneralFailure;
    const uint32_t version = withVersion ? m_version : kBankVersion1;
    const bool hotSpots = version >= kBankVersion2;

    std::vector<uint8_t> head;
    Put32(&head, m_type);
    PutCounted(&head, m_name);  // at most 259 characters, checked above
    if (withVersion) Put32(&head, m_version);
    const size_t paletteWord = head.size();
    if (m_type == kBankPictures) Put32(&head, 0);
    Put32(&head, static_cast<uint32_t>(m_items.size()));
    const size_t table = head.size();
    head.resize(head.size() + 4 * m_items.size());

    std::vector<uint8_t> elements;
    for (size_t i = 0; i < m_items.size(); ++i) {
        const Item& item = m_items[i];
        if (item.empty) continue;
        if (item.name.size() > 0xFFFF || item.group.size() > 0xFFFF) return kIoGeneralFailure;
        const uint64_t offset = head.size() + elements.size();
        if (offset > 0x7FFFFFFF) return kIoGeneralFailure;
        uint8_t* slot = &head[table + 4 * i];
        for (int k = 0; k < 4; ++k) slot[k] = static_cast<uint8_t>(offset >> (8 * k));
        PutCounted(&elements, item.name);
        PutCounted(&elements, item.group);
        if (item.hasHotSpot && hotSpots) {
            Put16(&elements, item.hotSpotX);
            Put16(&elements, item.hotSpotY);
        }
        elements.insert(elements.end(), item.body.begin(), item.body.end());
    }
    if (m_type == kBankPictures && !m_palettes.empty()) {
        // The palette table goes behind the elements; its word holds the
        // distance from the word itself.
        const uint64_t distance = head.size() + elements.size() - paletteWord;
        if (distance > 0x7FFFFFFF) return kIoGeneralFailure;
        for (int k = 0; k < 4; ++k) head[paletteWord + k] = static_cast<uint8_t>(distance >> (8 * k));
        Put32(&elements, static_cast<uint32_t>(m_palettes.size() / 1024));
        elements.insert(elements.end(), m_palettes.begin(), m_palettes.end());
    }
    if (head.size() + elements.size() > 0x7FFFFFFF) return kIoGeneralFailure;
    uint32_t status = out->Write(head.data(), static_cast<int32_t>(head.size()));
    if (status == kIoOk && !elements.empty())
        status = out->Write(elements.data(), static_cast<int32_t>(elements.size()));
    return status;
}
