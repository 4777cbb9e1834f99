#include "runtime/base/name_table.h"

#include <cstring>
#include <new>

#include "runtime/base/sys_utils.h"

namespace {

const int32_t kGrowBy = 32;
const int32_t kMaxPerBucket = 0x10000;  // the index has 16 bits in an id

unsigned char FoldCase(unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c; }

}  // namespace

CNameTable::CNameTable(int32_t caseSensitive) : m_caseSensitive(caseSensitive) {
    for (Bucket& b : m_buckets) b = Bucket{nullptr, 0, 0};
}

CNameTable::~CNameTable() { Clear(); }

int CNameTable::Hash(const char* name) const {
    // Bytes are summed unsigned: high-bit characters must not drive the sum
    // negative and pick a bucket outside the table.
    uint32_t sum = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p; ++p) sum += *p & ~0x20u;
    return static_cast<int>(sum % kBucketCount);
}

bool CNameTable::Matches(const char* stored, const char* name) const {
    if (m_caseSensitive) return std::strcmp(stored, name) == 0;
    const unsigned char* a = reinterpret_cast<const unsigned char*>(stored);
    const unsigned char* b = reinterpret_cast<const unsigned char*>(name);
    for (; *a && FoldCase(*a) == FoldCase(*b); ++a, ++b) {
    }
    return FoldCase(*a) == FoldCase(*b);
}

std::string CNameTable::Key(const char* name) const {
    std::string key(name);
    if (!m_caseSensitive)
        for (char& c : key) c = static_cast<char>(FoldCase(static_cast<unsigned char>(c)));
    return key;
}

int32_t CNameTable::Intern(const char* name) {
    if (!name) return -1;
    int bucketIndex = Hash(name);
    Bucket& b = m_buckets[bucketIndex];
    std::string key;
    if (m_indexed) {
        try {
            key = Key(name);
            auto found = m_index.find(key);
            if (found != m_index.end()) return found->second;
        } catch (const std::bad_alloc&) {
            m_index.clear();
            m_indexed = false;
        }
    }
    if (!m_indexed) {
        for (int32_t i = 0; i < b.count; ++i) {
            if (Matches(b.names[i], name)) return (bucketIndex << 16) | i;
        }
    }
    if (b.count >= kMaxPerBucket) return -1;
    if (b.count == b.capacity) {
        // Doubling: a bucket of many names is copied a logarithmic number of times.
        int32_t capacity = b.capacity < kGrowBy ? kGrowBy : b.capacity * 2;
        if (capacity > kMaxPerBucket) capacity = kMaxPerBucket;
        char** grown = b.names;
        if (!ReallocRetry(sizeof(char*) * static_cast<std::size_t>(capacity), &grown)) return -1;
        b.names = grown;
        b.capacity = capacity;
    }
    char* copy = nullptr;
    if (!AssignStringBuffer(&copy, name)) return -1;
    b.names[b.count] = copy;
    const int32_t id = (bucketIndex << 16) | b.count++;
    if (m_indexed) {
        try {
            m_index.emplace(std::move(key), id);
        } catch (const std::bad_alloc&) {
            m_index.clear();
            m_indexed = false;
        }
    }
    return id;
}

const char* CNameTable::GetName(int32_t id) const {
    if (id < 0) return nullptr;
    int bucketIndex = id >> 16;
    int32_t index = id & 0xFFFF;
    if (bucketIndex >= kBucketCount) return nullptr;
    const Bucket& b = m_buckets[bucketIndex];
    return index < b.count ? b.names[index] : nullptr;
}

void CNameTable::Clear() {
    for (Bucket& b : m_buckets) {
        for (int32_t i = 0; i < b.count; ++i) FreeAndNull(&b.names[i]);
        FreeAndNull(&b.names);
        b = Bucket{nullptr, 0, 0};
    }
    m_index.clear();
    m_indexed = true;
}
