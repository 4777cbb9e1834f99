#include "runtime/compiler/symbol_table.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

unsigned char FoldCase(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - ('a' - 'A')) : c;
}

}  // namespace

CSymbolTable::CSymbolTable(int32_t exactCase) : m_exactCase(exactCase) {}

uint32_t CSymbolTable::HashName(const char* name) {
    uint32_t sum = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p != 0; ++p)
        sum += *p & 0xDFu;
    return sum & 0xFFu;
}

bool CSymbolTable::NameMatches(const char* stored, const char* name) const {
    if (m_exactCase != 0)
        return std::strcmp(stored, name) == 0;
    // Only letters fold: "[" and "{" differ in bit 5 as "a" and "A" do, but
    // they are different tokens.
    const unsigned char* a = reinterpret_cast<const unsigned char*>(stored);
    const unsigned char* b = reinterpret_cast<const unsigned char*>(name);
    for (;; ++a, ++b) {
        if (FoldCase(*a) != FoldCase(*b))
            return false;
        if (*a == 0)
            return true;
    }
}

bool CSymbolTable::Reserve(uint32_t count) {
    if (count <= m_capacity)
        return true;
    uint32_t capacity = m_capacity == 0 ? 32 : m_capacity * 2;
    while (capacity < count)
        capacity *= 2;
    void* block = std::realloc(m_entries, sizeof(Entry) * capacity);
    if (block == nullptr)
        return false;
    m_entries = static_cast<Entry*>(block);
    m_capacity = capacity;
    return true;
}

bool CSymbolTable::Add(const CMemberRecord* record) {
    if (record == nullptr || record->name == nullptr)
        return false;
    const uint32_t at = m_count == 0 ? 1 : m_count;
    if (!Reserve(at + 1))
        return false;
    m_entries[0] = Entry{nullptr, 0, 0};
    m_entries[at] = Entry{record, 0, 0};
    m_count = at + 1;
    auto append = [&](Chain& chain, uint32_t Entry::*next) {
        if (chain.tail != 0)
            m_entries[chain.tail].*next = at;
        else
            chain.head = at;
        chain.tail = at;
    };
    append(m_byName[HashName(record->name)], &Entry::nextByName);
    append(m_byId[record->memberId & 0xFFu], &Entry::nextById);
    return true;
}

const CMemberRecord* CSymbolTable::Find(const char* name) const {
    if (name == nullptr)
        return nullptr;
    for (uint32_t at = m_byName[HashName(name)].head; at != 0; at = m_entries[at].nextByName) {
        if (NameMatches(m_entries[at].record->name, name))
            return m_entries[at].record;
    }
    return nullptr;
}

const CMemberRecord* CSymbolTable::FindWithGlobalCode(const char* name) const {
    if (name == nullptr)
        return nullptr;
    for (uint32_t at = m_byName[HashName(name)].head; at != 0; at = m_entries[at].nextByName) {
        const CMemberRecord* record = m_entries[at].record;
        if (record->globalCode != 0 && NameMatches(record->name, name))
            return record;
    }
    return nullptr;
}

const CMemberRecord* CSymbolTable::FindById(uint32_t memberId) const {
    for (uint32_t at = m_byId[memberId & 0xFFu].head; at != 0; at = m_entries[at].nextById) {
        if (m_entries[at].record->memberId == memberId)
            return m_entries[at].record;
    }
    return nullptr;
}

void CSymbolTable::RemoveAll() {
    std::free(m_entries);
    m_entries = nullptr;
    m_count = m_capacity = 0;
    for (int i = 0; i < kBucketCount; ++i)
        m_byId[i] = m_byName[i] = Chain{0, 0};
}

bool CRegistryIndex::Build() {
    m_tables.reset();
    std::unique_ptr<CSymbolTable[]> tables(new (std::nothrow) CSymbolTable[kRegistryEntryCount]);
    if (!tables)
        return false;
    const CMemberRecord* const* registry = GetClassRegistry();
    for (const CMemberRecord* r = registry[0]; r->name != nullptr; ++r) {
        if (!tables[0].Add(r))
            return false;
    }
    for (int k = kFirstClassId; k <= kLastClassId; ++k) {
        const CMemberRecord* head = registry[k];
        if (!tables[0].Add(head))
            return false;
        for (const CMemberRecord* r = head + 1; r->name != nullptr; ++r) {
            if (!tables[k].Add(r))
                return false;
        }
    }
    m_tables = std::move(tables);
    return true;
}

const CSymbolTable* CRegistryIndex::GetTable(int entry) const {
    if (!m_tables || entry < 0 || entry >= kRegistryEntryCount)
        return nullptr;
    return &m_tables[entry];
}

const CMemberRecord* CRegistryIndex::FindKeyword(const char* name) const {
    const CSymbolTable* table = GetTable(0);
    return table != nullptr ? table->Find(name) : nullptr;
}

const CMemberRecord* CRegistryIndex::FindMember(int classId, const char* name) const {
    if (classId < kFirstClassId)
        return nullptr;
    const CSymbolTable* table = GetTable(classId);
    return table != nullptr ? table->Find(name) : nullptr;
}

const CMemberRecord* CRegistryIndex::FindMemberById(int classId, uint32_t memberId) const {
    if (classId < kFirstClassId)
        return nullptr;
    const CSymbolTable* table = GetTable(classId);
    return table != nullptr ? table->FindById(memberId) : nullptr;
}

const CMemberRecord* CRegistryIndex::FindGlobalMember(const char* name, int* classId) const {
    if (!m_tables)
        return nullptr;
    for (int k = 0; k < kRegistryEntryCount; ++k) {
        const CMemberRecord* record = m_tables[k].FindWithGlobalCode(name);
        if (record != nullptr) {
            if (classId != nullptr)
                *classId = k;
            return record;
        }
    }
    return nullptr;
}

const CRegistryIndex& SharedRegistryIndex() {
    // Never destroyed: freeing tens of thousands of small lists at exit
    // would only cost time.
    static CRegistryIndex* index = new CRegistryIndex;
    if (!index->IsBuilt())
        index->Build();
    return *index;
}
