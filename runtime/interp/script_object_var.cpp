// CIBaseObjectVar (script objects with variables) and CIRefresh (redraw
// clients).
#include "runtime/interp/interpretor.h"

#include <new>

CIBaseObjectVar::CIBaseObjectVar(CInterpretor* interpretor, CClassRecord* classRecord, uint32_t classId, bool link)
    : CIBaseClassImpl(interpretor, classRecord, classId, link) {
    // The interpreter (under construction here) stamps its own table itself.
    if (interpretor != nullptr && static_cast<CIBaseObjectVar*>(interpretor) != this)
        m_stamp = ++interpretor->m_variableGeneration;
}

CIBaseObjectVar::~CIBaseObjectVar() {
    // No notice to the interpreter: it may be the one being destroyed.
    FreeVariables();
}

void CIBaseObjectVar::VariablesChanged() {
    if (m_interpretor != nullptr) {
        m_stamp = ++m_interpretor->m_variableGeneration;
        m_interpretor->NoteVariablesChanged(this);
    }
}

void CIBaseObjectVar::ReleaseVariables() {
    VariablesChanged();
    FreeVariables();
}

void CIBaseObjectVar::FreeVariables() {
    for (int bucket = 0; bucket < m_variables.GetBucketCount(); ++bucket) {
        uint32_t position = m_variables.GetBucketHead(bucket);
        while (position != 0) {
            CVariable* variable = m_variables.GetNext(position);
            delete variable;
        }
    }
    m_variables.RemoveAll();
}

void CIBaseObjectVar::Destroy(int32_t) {
    ReleaseVariables();
    UnlinkFromClassList();
    delete this;
}

int32_t CIBaseObjectVar::OnObjectDeleted(CIBaseClassImpl* object) {
    for (int bucket = 0; bucket < m_variables.GetBucketCount(); ++bucket) {
        uint32_t position = m_variables.GetBucketHead(bucket);
        while (position != 0) {
            CVariable* variable = m_variables.GetNext(position);
            if (variable != nullptr)
                variable->value.ClearReferencesTo(object);
        }
    }
    return 0;
}

CVariable* CIBaseObjectVar::AddVariable(uint32_t nameRef, int32_t level) {
    CVariable* variable = m_interpretor->NewVariable();
    if (variable == nullptr)
        m_interpretor->RaiseError(15);
    variable->level = level;
    VariablesChanged();
    if (m_variables.Add(variable, nameRef) == 0) {
        m_interpretor->RecycleVariable(variable);
        m_interpretor->RaiseError(15);
    }
    return variable;
}

void CIBaseObjectVar::DropVariablesFrom(int32_t level) {
    // Stops once the table is empty (a call's few parameters lie in the
    // first buckets).
    for (int bucket = 0; bucket < m_variables.GetBucketCount() && m_variables.GetCount() != 0; ++bucket) {
        uint32_t position = m_variables.GetBucketHead(bucket);
        while (position != 0) {
            uint32_t at = position;
            CVariable* variable = m_variables.GetNext(position);
            if (variable != nullptr && variable->level >= level) {
                VariablesChanged();
                m_variables.RemoveAt(at);
                m_interpretor->RecycleVariable(variable);
            }
        }
    }
    m_variables.m_maxLevel = level - 1;
}

// ---- CIRefresh ----

CIRefresh::CIRefresh(CInterpretor* interpretor, bool atHead) : m_refreshOwner(interpretor) {
    if (interpretor == nullptr)
        return;
    uintptr_t item = reinterpret_cast<uintptr_t>(this);
    m_redrawPosition = atHead ? interpretor->m_redrawList.AddHead(item) : interpretor->m_redrawList.AddTail(item);
    interpretor->m_refreshRequested = 1;
}

// A client that goes without unregistering must not stay in the list, where
// the next redraw pass would call it.
CIRefresh::~CIRefresh() {
    Unregister();
}

void CIRefresh::Refresh() {
    m_dirty = 0;
}

int32_t CIRefresh::IsDirty() {
    return m_dirty;
}

int32_t CIRefresh::SetDirty() {
    m_dirty = 1;
    if (m_refreshOwner != nullptr)
        m_refreshOwner->m_refreshRequested = 1;
    return 1;
}

int32_t CIRefresh::IsLate() {
    return 0;
}

void CIRefresh::Unregister() {
    if (m_refreshOwner != nullptr && m_redrawPosition != 0)
        m_refreshOwner->m_redrawList.RemoveAt(m_redrawPosition);
    m_redrawPosition = 0;
}
