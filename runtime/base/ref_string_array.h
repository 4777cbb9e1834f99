#pragma once
// CRefStringArray: a list of separately allocated strings. The pointer array is
// kept at exactly the number of entries.
#include "runtime/base/ref_string.h"

class CRefStringArray {
public:
    CRefStringArray() = default;
    ~CRefStringArray() { RemoveAll(); }
    CRefStringArray(const CRefStringArray&) = delete;
    CRefStringArray& operator=(const CRefStringArray&) = delete;

    // Each returns the new index, or -1 when an allocation fails (nothing changes then).
    int Add(const CRefString& string);
    int AddChars(const char* chars);  // a value below 0x10000 is a string-resource id
    // Inserts before index (index = count appends); an index outside 0..count gives -1.
    int InsertAt(int index, const CRefString& string);
    int InsertAt(int index, const char* chars);
    // Appends the root of every logical drive ("C:\\" ...); returns the count
    // (runtime/io/logical_drives.cpp).
    int AddLogicalDrives();

    void RemoveAt(int index);  // ignored outside 0..count-1
    void RemoveAll();

    int GetSize() const { return m_count; }
    CRefString* GetAt(int index) const;  // null outside 0..count-1

private:
    int InsertNew(int index, CRefString* string);

    CRefString** m_items = nullptr;
    int32_t m_count = 0;
};
