#include "runtime/interp/message_filters.h"

CIBaseMessages::CIBaseMessages(CMessageFilters& filters) : m_filters(filters) {
    m_filters.Add(this);
}

CIBaseMessages::~CIBaseMessages() {
    m_filters.Remove(this);
}

bool CIBaseMessages::IsRegistered() const {
    return m_filters.Contains(this);
}

bool CMessageFilters::Add(CIBaseMessages* filter) {
    if (filter == nullptr || m_count >= kCapacity || Contains(filter))
        return false;
    m_filters[m_count++] = filter;
    return true;
}

void CMessageFilters::Remove(CIBaseMessages* filter) {
    for (int32_t i = 0; i < m_count; ++i) {
        if (m_filters[i] != filter)
            continue;
        for (int32_t j = i + 1; j < m_count; ++j)
            m_filters[j - 1] = m_filters[j];
        m_filters[--m_count] = nullptr;
        return;
    }
}

bool CMessageFilters::Contains(const CIBaseMessages* filter) const {
    for (int32_t i = 0; i < m_count; ++i)
        if (m_filters[i] == filter)
            return true;
    return false;
}

int32_t CMessageFilters::Offer(const OsMessage& message) {
    // By index: a filter may remove itself (or another) while it is asked.
    for (int32_t i = 0; i < m_count; ++i) {
        int32_t result = m_filters[i]->Filter(message);
        if (result != 0)
            return result;
    }
    return 0;
}
