#include "engine3d/engine_globals.h"

#include "engine3d/polygon.h"
#include "engine3d/render_link.h"

LRecursiveLock& EngineLock() {
    static LRecursiveLock lock;
    return lock;
}

LPolygon& GlobalTriangle() {
    static LPolygon triangle(nullptr, 2, nullptr);
    return triangle;
}

L3DRenderAPIRegistry::L3DRenderAPIRegistry(const LDriverKind* kinds, int32_t count) : m_kinds(0), m_live(0) {
    LLockScope hold(EngineLock());
    for (int32_t i = 0; i < count; ++i) m_kinds.InsertAfter(const_cast<LDriverKind*>(&kinds[i]), nullptr);
}

L3DRenderAPIRegistry::~L3DRenderAPIRegistry() {
    while (LDataNode* head = m_kinds.GetHead()) m_kinds.RemoveNode(head, 1);
    while (LDataNode* head = m_live.GetHead()) {
        auto* driver = static_cast<LDriverLink*>(head->value);
        LLockScope hold(EngineLock());
        m_live.RemoveNode(head, 1);
        driver->Release();
    }
}

const LDriverKind* L3DRenderAPIRegistry::Kind(int32_t position) {
    return static_cast<const LDriverKind*>(m_kinds.GetValueAt(position));
}

// Create and Query enter the lock twice: once around the kind lookup and once
// around the call, so that the create or probe function runs under the lock
// and may itself come back to the registry.
LDriverLink* L3DRenderAPIRegistry::Create(int32_t position) {
    LLockScope hold(EngineLock());
    const LDriverKind* kind;
    {
        LLockScope lookup(EngineLock());
        kind = Kind(position);
    }
    if (!kind || !kind->create) return nullptr;
    LDriverLink* driver = kind->create();
    if (driver && !m_live.InsertAfter(driver, nullptr)) {
        driver->Release();
        return nullptr;
    }
    return driver;
}

int32_t L3DRenderAPIRegistry::Query(int32_t position) {
    LLockScope hold(EngineLock());
    const LDriverKind* kind;
    {
        LLockScope lookup(EngineLock());
        kind = Kind(position);
    }
    return kind && kind->probe ? kind->probe() : 0;
}

void L3DRenderAPIRegistry::Destroy(LDriverLink* driver) {
    LLockScope hold(EngineLock());
    LDataNode* node = driver ? m_live.FindNode(driver) : nullptr;
    if (!node) return;
    m_live.RemoveNode(node, 1);
    driver->Release();
}
