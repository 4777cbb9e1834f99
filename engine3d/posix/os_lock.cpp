#include "engine3d/os_lock.h"

#include <mutex>

LRecursiveLock::LRecursiveLock() : m_impl(new std::recursive_mutex) {}

LRecursiveLock::~LRecursiveLock() { delete static_cast<std::recursive_mutex*>(m_impl); }

void LRecursiveLock::Enter() { static_cast<std::recursive_mutex*>(m_impl)->lock(); }

void LRecursiveLock::Leave() { static_cast<std::recursive_mutex*>(m_impl)->unlock(); }
