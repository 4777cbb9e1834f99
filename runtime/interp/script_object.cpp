#include "runtime/interp/script_object.h"

#include "runtime/interp/interpretor.h"
#include "runtime/interp/script_value.h"

#include <cstdlib>

CIBaseClassImpl::CIBaseClassImpl(CInterpretor* interpretor, CClassRecord* classRecord, uint32_t classId,
                                 bool link)
    : m_interpretor(interpretor), m_classRecord(classRecord), m_classId(classId) {
    if (link && interpretor != nullptr && classId < CInterpretor::kClassSlotCount)
        m_listPosition = interpretor->m_classLists[classId].AddHead(reinterpret_cast<uintptr_t>(this));
}

CIBaseClassImpl::~CIBaseClassImpl() {
    UnlinkFromClassList();
    // No release: the values' content is this dying object, whose count no longer matters.
    for (int32_t i = 0; i < m_referrerCount; ++i)
        m_referrers[i]->SetObject(nullptr, 0);
    std::free(m_referrers);
}

void CIBaseClassImpl::CallMember(int32_t) {}

void CIBaseClassImpl::Destroy(int32_t) {
    UnlinkFromClassList();
}

int32_t CIBaseClassImpl::OnObjectDeleted(CIBaseClassImpl*) {
    return 0;
}

void CIBaseClassImpl::ConstructFromArgs() {
    AssignInstanceNumber();
}

uint32_t CIBaseClassImpl::AssignInstanceNumber() {
    if (m_interpretor != nullptr && m_classId < CInterpretor::kClassSlotCount)
        m_instanceNumber = ++m_interpretor->m_instanceCounters[m_classId];
    m_alive = 1;
    return m_instanceNumber;
}

void CIBaseClassImpl::MarkDead() {
    m_alive = 0;
}

int32_t CIBaseClassImpl::IsReferenced() {
    return m_refCount > 0;
}

int32_t CIBaseClassImpl::AddReferrer(CValue* value) {
    if (m_referrerCount == m_referrerCapacity) {
        int32_t capacity = m_referrerCapacity + 16;
        void* p = std::realloc(m_referrers, sizeof(CValue*) * static_cast<std::size_t>(capacity));
        if (p == nullptr)
            return 0;
        m_referrers = static_cast<CValue**>(p);
        m_referrerCapacity = capacity;
    }
    m_referrers[m_referrerCount++] = value;
    return 1;
}

void CIBaseClassImpl::RemoveReferrer(CValue* value) {
    // Newest first: short-lived values are usually the ones that let go.
    for (int32_t i = m_referrerCount - 1; i >= 0; --i) {
        if (m_referrers[i] == value) {
            m_referrers[i] = m_referrers[--m_referrerCount];
            return;
        }
    }
}

int32_t CIBaseClassImpl::SetBusyOnce() {
    if (m_busy)
        return 0;
    m_busy = 1;
    return 1;
}

void CIBaseClassImpl::UnlinkFromClassList() {
    if (m_listPosition == 0 || m_interpretor == nullptr || m_classId >= CInterpretor::kClassSlotCount)
        return;
    m_interpretor->m_classLists[m_classId].RemoveAt(m_listPosition);
    m_listPosition = 0;
}
