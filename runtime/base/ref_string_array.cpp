#include "runtime/base/ref_string_array.h"

#include <cstdlib>
#include <cstring>
#include <new>

int CRefStringArray::InsertNew(int index, CRefString* string) {
    if (string == nullptr)
        return -1;
    auto* items = static_cast<CRefString**>(
        std::realloc(m_items, sizeof(CRefString*) * (static_cast<std::size_t>(m_count) + 1)));
    if (items == nullptr) {
        delete string;
        return -1;
    }
    m_items = items;
    std::memmove(m_items + index + 1, m_items + index, sizeof(CRefString*) * (m_count - index));
    m_items[index] = string;
    ++m_count;
    return index;
}

int CRefStringArray::Add(const CRefString& string) {
    return InsertAt(m_count, string);
}

int CRefStringArray::AddChars(const char* chars) {
    return InsertAt(m_count, chars);
}

int CRefStringArray::InsertAt(int index, const CRefString& string) {
    if (index < 0 || index > m_count)
        return -1;
    CRefString* copy = new (std::nothrow) CRefString();
    if (copy == nullptr)
        return -1;
    try {
        *copy = string;  // shares the block; copies (and may fail) only when it is locked
    } catch (const std::bad_alloc&) {
        delete copy;
        return -1;
    }
    return InsertNew(index, copy);
}

int CRefStringArray::InsertAt(int index, const char* chars) {
    if (index < 0 || index > m_count)
        return -1;
    CRefString* copy = new (std::nothrow) CRefString();
    if (copy == nullptr)
        return -1;
    try {
        copy->FromChars(chars);
    } catch (const std::bad_alloc&) {
        delete copy;
        return -1;
    }
    return InsertNew(index, copy);
}

void CRefStringArray::RemoveAt(int index) {
    if (index < 0 || index >= m_count)
        return;
    delete m_items[index];
    std::memmove(m_items + index, m_items + index + 1, sizeof(CRefString*) * (m_count - index - 1));
    --m_count;
    if (m_count == 0) {
        std::free(m_items);
        m_items = nullptr;
        return;
    }
    auto* items = static_cast<CRefString**>(std::realloc(m_items, sizeof(CRefString*) * m_count));
    if (items != nullptr)  // shrinking in place is fine when the block cannot move
        m_items = items;
}

void CRefStringArray::RemoveAll() {
    for (int i = 0; i < m_count; ++i)
        delete m_items[i];
    std::free(m_items);
    m_items = nullptr;
    m_count = 0;
}

CRefString* CRefStringArray::GetAt(int index) const {
    if (index < 0 || index >= m_count)
        return nullptr;
    return m_items[index];
}
