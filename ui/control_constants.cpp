#include "ui/control_constants.h"

const uint32_t kCommonConstantTable[] = {0x2, 0x10000, 0x20000, 0x200000, 0x100000, 0x1, 0x800000, 0xFFFFFFFFu};
const uint32_t kWindowConstantTable[] = {0x4,   0x8,   0x10,   0x20,   0x40,   0x80,   0x100,      0x200,
                                         0x400, 0x800, 0x1000, 0x2000, 0x4000, 0x8000, 0xFFFFFFFFu};

void CConstantTables::Add(const uint32_t* table, uint32_t id) {
    if (m_count >= 2 || table == nullptr)
        return;
    uint32_t length = 0;
    while (table[length] != 0xFFFFFFFFu)
        ++length;
    m_tables[m_count++] = Table{table, id, length};
}

CConstantTables::LookupResult CConstantTables::Lookup(uint32_t constant, uint32_t* value, uint32_t* kind) const {
    const uint32_t id = constant >> 20;
    for (int32_t i = 0; i < m_count; ++i) {
        const Table& table = m_tables[i];
        if (table.id != id)
            continue;
        const uint32_t index = constant & 0xFFFF;
        const uint32_t k = (constant >> 16) & 0xF;
        if (index >= table.length || k > kKindOptions2)
            return kBadConstant;
        *value = table.values[index];
        *kind = k;
        return kFound;
    }
    return kNoTable;
}
