#pragma once
// Interned identifiers of the compiler and the member call. A name's id is
// (bucket << 16) | index in the bucket; ids stay valid until the table is cleared.
#include <cstdint>
#include <string>
#include <unordered_map>

class CNameTable {
public:
    static constexpr int kBucketCount = 32;

    // caseSensitive 0: names are matched without regard to (ASCII) case.
    explicit CNameTable(int32_t caseSensitive = 0);
    ~CNameTable();
    CNameTable(const CNameTable&) = delete;
    CNameTable& operator=(const CNameTable&) = delete;

    // Id of the name, adding a copy when it is new; -1 for a null name, when
    // memory fails, or when the name's bucket is full (65536 names).
    int32_t Intern(const char* name);

    // The stored name of an id; null for an id that names nothing.
    const char* GetName(int32_t id) const;

    // Frees every name; the table stays usable and hands out ids from 0 again.
    void Clear();

private:
    struct Bucket {
        char** names;
        int32_t capacity;
        int32_t count;
    };

    int Hash(const char* name) const;
    bool Matches(const char* stored, const char* name) const;
    std::string Key(const char* name) const;  // the name as the index holds it (case folded unless sensitive)

    int32_t m_caseSensitive;
    Bucket m_buckets[kBucketCount];
    // Every name's id by its key, so that a name is found in constant time
    // however many the buckets hold; off (the buckets searched) once memory
    // for it failed.
    std::unordered_map<std::string, int32_t> m_index;
    bool m_indexed = true;
};
