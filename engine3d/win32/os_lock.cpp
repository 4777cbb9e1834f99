#include <windows.h>

#include "engine3d/os_lock.h"

LRecursiveLock::LRecursiveLock() : m_impl(new CRITICAL_SECTION) {
    InitializeCriticalSection(static_cast<CRITICAL_SECTION*>(m_impl));
}

LRecursiveLock::~LRecursiveLock() {
    DeleteCriticalSection(static_cast<CRITICAL_SECTION*>(m_impl));
    delete static_cast<CRITICAL_SECTION*>(m_impl);
}

void LRecursiveLock::Enter() { EnterCriticalSection(static_cast<CRITICAL_SECTION*>(m_impl)); }

void LRecursiveLock::Leave() { LeaveCriticalSection(static_cast<CRITICAL_SECTION*>(m_impl)); }
