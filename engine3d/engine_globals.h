#pragma once
// Process-wide state of the 3D engine: the engine lock, the registry of render
// drivers and the global triangle of the world's frame drawing.
//
// Each is a function-local static, made on first use and destroyed at exit in
// the reverse order of construction: the registry takes the lock while it is
// built, so the lock is made before it and outlives it.
//
// The driver kinds are render's driver table (render/driver.h); engine3d sees
// a driver only through LDriverLink, and render builds the one registry over
// its table (RenderAPIRegistry in render/driver.h).
#include "engine3d/data_link.h"
#include "engine3d/os_lock.h"

#include <cstdint>

class LDriverLink;
class LPolygon;

// One record of the driver table: the tag's four characters in memory
// order, a create function (null on failure), the availability probe and the
// display name.
struct LDriverKind {
    uint32_t tag;
    LDriverLink* (*create)();
    int32_t (*probe)();
    const char* name;
};

// Guards the registry's two lists only.
LRecursiveLock& EngineLock();

// One LPolygon without owner or material, capacity hint 2; the first world
// that draws a frame gives it vertices and a default material.
LPolygon& GlobalTriangle();

class L3DRenderAPIRegistry {
public:
    // Lists the kinds in table order (the records are not copied).
    L3DRenderAPIRegistry(const LDriverKind* kinds, int32_t count);
    // Destroys every live driver (each under the lock), then the lists.
    ~L3DRenderAPIRegistry();
    L3DRenderAPIRegistry(const L3DRenderAPIRegistry&) = delete;
    L3DRenderAPIRegistry& operator=(const L3DRenderAPIRegistry&) = delete;

    // The kind at a table position, or null.
    const LDriverKind* Kind(int32_t position);
    // Under the lock: the kind's new driver, listed as live; null for a
    // position without kind or a failed creation.
    LDriverLink* Create(int32_t position);
    // Under the lock: the kind's probe answer; 0 for a position without kind.
    int32_t Query(int32_t position);
    // Under the lock: a live driver is unlisted and released; others are left.
    void Destroy(LDriverLink* driver);

    int32_t GetKindCount() const { return m_kinds.GetCount(); }
    LDataLink& GetLiveDrivers() { return m_live; }

private:
    LDataLink m_kinds;
    LDataLink m_live;
};
