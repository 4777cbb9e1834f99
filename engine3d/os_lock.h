#pragma once
// A recursive lock: the engine lock of the driver registry, and the render
// lock of the back ends' frames. The owning thread may enter it again; each
// Enter is paired with one Leave. A critical section on Windows (the mingw
// toolchain of the Windows build has no std::mutex), a std::recursive_mutex
// natively.
class LRecursiveLock {
public:
    LRecursiveLock();
    ~LRecursiveLock();
    LRecursiveLock(const LRecursiveLock&) = delete;
    LRecursiveLock& operator=(const LRecursiveLock&) = delete;

    void Enter();
    void Leave();

private:
    void* m_impl;
};

// Holds a lock for one scope.
class LLockScope {
public:
    explicit LLockScope(LRecursiveLock& lock) : m_lock(lock) { m_lock.Enter(); }
    ~LLockScope() { m_lock.Leave(); }
    LLockScope(const LLockScope&) = delete;
    LLockScope& operator=(const LLockScope&) = delete;

private:
    LRecursiveLock& m_lock;
};
