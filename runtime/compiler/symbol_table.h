#pragma once
// Member index of one registry entry (CSymbolTable) and the indexes of the
// whole class registry (CRegistryIndex), as the compiler builds them at start-up.
#include <cstdint>
#include <memory>

#include "runtime/classes/class_registry.h"

class CSymbolTable {
public:
    static constexpr int kBucketCount = 256;

    // exactCase non-zero compares names byte for byte; the runtime always
    // passes 0 (names match without regard to ASCII case).
    explicit CSymbolTable(int32_t exactCase = 0);
    CSymbolTable(const CSymbolTable&) = delete;
    CSymbolTable& operator=(const CSymbolTable&) = delete;

    // Sum of the name's bytes, each with bit 5 cleared, modulo 256.
    static uint32_t HashName(const char* name);

    // Appends the record to its id bucket and its name bucket; false when a
    // bucket cannot grow (nothing is added then).
    bool Add(const CMemberRecord* record);

    // The first record added under that name; null when none.
    const CMemberRecord* Find(const char* name) const;

    // The first record added under that name whose global code is not 0.
    const CMemberRecord* FindWithGlobalCode(const char* name) const;

    // The first record added with that member id; null when none.
    const CMemberRecord* FindById(uint32_t memberId) const;

    void RemoveAll();

private:
    bool NameMatches(const char* stored, const char* name) const;
    bool Reserve(uint32_t count);

    // The records in the order they were added (entry 0 unused), each on two
    // chains of entry numbers in that order: its id bucket (member id AND
    // 0xFF) and its name bucket (HashName). One block for the whole table, so
    // that building the registry's 74 tables at start-up costs a few
    // allocations instead of one per bucket.
    struct Entry {
        const CMemberRecord* record;
        uint32_t nextById;
        uint32_t nextByName;
    };
    struct Chain {
        uint32_t head;
        uint32_t tail;
    };
    Entry* m_entries = nullptr;
    uint32_t m_count = 0;  // entries used, entry 0 included once any is added
    uint32_t m_capacity = 0;
    Chain m_byId[kBucketCount] = {};
    Chain m_byName[kBucketCount] = {};
    int32_t m_exactCase;

public:
    ~CSymbolTable() { RemoveAll(); }
};

// One CSymbolTable per registry entry. Entry 0 holds the keyword and operator
// table and the head record of every class, so that class names are tokens
// (their token id is the class id). Entry k holds the members of class k; the
// head record stays out of it, so that no member answers to the class name.
class CRegistryIndex {
public:
    CRegistryIndex() = default;
    CRegistryIndex(const CRegistryIndex&) = delete;
    CRegistryIndex& operator=(const CRegistryIndex&) = delete;

    // Builds every index from the registry; false when memory runs out (the
    // indexes are then left empty).
    bool Build();
    bool IsBuilt() const { return m_tables != nullptr; }

    // Index of registry entry 0 to 73; null for another entry or before Build.
    const CSymbolTable* GetTable(int entry) const;

    // A keyword, punctuation or operator token, or a class head record.
    const CMemberRecord* FindKeyword(const char* name) const;

    // A member of class classId by name or by id; null when there is none.
    const CMemberRecord* FindMember(int classId, const char* name) const;
    const CMemberRecord* FindMemberById(int classId, uint32_t memberId) const;

    // The first member of that name, in registry order, whose global code is
    // not 0; classId (optional) receives its class. Null when there is none.
    const CMemberRecord* FindGlobalMember(const char* name, int* classId = nullptr) const;

private:
    std::unique_ptr<CSymbolTable[]> m_tables;
};

// The member indexes of the registry, built once for every interpreter and
// compiler of the process (the registry does not change); built again at
// the next call when memory ran out (IsBuilt answers false until then).
const CRegistryIndex& SharedRegistryIndex();
