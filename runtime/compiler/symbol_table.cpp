#include "runtime/compiler/symbol_table.h"

#include <cstring>
#include <new>

namespace {

unsigned char FoldCase(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - ('a' - 'A')) : c;
}

const CMemberRecord* RecordOf(uintptr_t item) {
    return reinterpret_cast<const CMemberRecord*>(item);
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

bool CSymbolTable::Add(const CMemberRecord* record) {
    if (record == nullptr || record->name == nullptr)
        return false;
    CPoolList& byName = m_byName[HashName(record->name)];
    uint32_t namePosition = byName.AddTail(reinterpret_cast<uintptr_t>(record));
    if (namePosition == 0)
        return false;
    if (m_byId[record->memberId & 0xFFu].AddTail(reinterpret_cast<uintptr_t>(record)) == 0) {
        byName.RemoveAt(namePosition);
        return false;
    }
    return true;
}

const CMemberRecord* CSymbolTable::Find(const char* name) const {
    if (name == nullptr)
        return nullptr;
    const CPoolList& bucket = m_byName[HashName(name)];
    for (uint32_t position = bucket.GetHeadPosition(); position != 0;) {
        const CMemberRecord* record = RecordOf(bucket.GetNext(position));
        if (record != nullptr && NameMatches(record->name, name))
            return record;
    }
    return nullptr;
}

const CMemberRecord* CSymbolTable::FindWithGlobalCode(const char* name) const {
    if (name == nullptr)
        return nullptr;
    const CPoolList& bucket = m_byName[HashName(name)];
    for (uint32_t position = bucket.GetHeadPosition(); position != 0;) {
        const CMemberRecord* record = RecordOf(bucket.GetNext(position));
        if (record != nullptr && record->globalCode != 0 && NameMatches(record->name, name))
            return record;
    }
    return nullptr;
}

const CMemberRecord* CSymbolTable::FindById(uint32_t memberId) const {
    const CPoolList& bucket = m_byId[memberId & 0xFFu];
    for (uint32_t position = bucket.GetHeadPosition(); position != 0;) {
        const CMemberRecord* record = RecordOf(bucket.GetNext(position));
        if (record != nullptr && record->memberId == memberId)
            return record;
    }
    return nullptr;
}

void CSymbolTable::RemoveAll() {
    for (int i = 0; i < kBucketCount; ++i) {
        m_byId[i].RemoveAll();
        m_byName[i].RemoveAll();
    }
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
