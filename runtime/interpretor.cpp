#include "runtime/interpretor.h"

#include "runtime/os_memory.h"
#include "runtime/script_array.h"

#include <cstdlib>
#include <new>

// The interpreter is itself the script object of class 0, never listed.
CInterpretor::CInterpretor() : CIBaseClassImpl(this, nullptr, 0, false) {
    m_statementStrings.reserve(256);
}

CInterpretor::~CInterpretor() {
    m_releaseAll = 1;
    ReleaseArrays();
    FreeStatementStrings();
}

void CInterpretor::RaiseError(int32_t code, int32_t detail) {
    throw CIError(code, detail);
}

char* CInterpretor::AllocStatementString(std::size_t size) {
    if (size == 0)
        size = 1;
    void* p = std::malloc(size);
    if (p == nullptr) {
        OsCompactHeap();
        p = std::malloc(size);
    }
    if (p == nullptr)
        RaiseError(15);
    try {
        m_statementStrings.push_back(static_cast<char*>(p));
    } catch (const std::bad_alloc&) {
        std::free(p);
        RaiseError(15);
    }
    return static_cast<char*>(p);
}

void CInterpretor::FreeStatementStrings() {
    for (char* p : m_statementStrings)
        std::free(p);
    m_statementStrings.clear();
}

CScriptArray* CInterpretor::GetArray(uint32_t handle) const {
    return reinterpret_cast<CScriptArray*>(m_arrayList.GetAt(handle));
}

void CInterpretor::ReleaseArrays() {
    int32_t saved = m_releaseAll;
    m_releaseAll = 1;
    for (uint32_t p = m_arrayList.GetHeadPosition(); p != 0; p = m_arrayList.GetHeadPosition())
        GetArray(p)->Free();
    m_releaseAll = saved;
}
