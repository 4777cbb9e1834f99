#pragma once
// Redraw clients: windows, controls, surfaces and video objects that must be
// redrawn register as CIRefresh clients; marking one dirty asks for a redraw
// pass, which the tick period of the operation loop runs at most every refresh
// interval (CRefreshList::RefreshAll).
#include "runtime/pool_list.h"

#include <cstdint>

class CRefreshList;

class CIRefresh {
public:
    // Registers at the head (atHead) or the tail of the list and asks for a
    // redraw: a new client starts dirty.
    CIRefresh(CRefreshList& list, bool atHead);
    // Leaves the list when the owner has not done so: a dead client must
    // never be redrawn.
    virtual ~CIRefresh();
    CIRefresh(const CIRefresh&) = delete;
    CIRefresh& operator=(const CIRefresh&) = delete;

    virtual void Refresh();       // redraws; the base only clears the dirty flag
    virtual int32_t IsDirty();
    virtual int32_t SetDirty();   // dirty, and a redraw pass is asked for; 1
    virtual int32_t IsLate();     // 1: redrawn in the last pass, after the others
    // 1 for script surfaces, which are redrawn in their own pass: a surface
    // that is not dirty yet waits there for the clients drawn before it.
    virtual int32_t IsSurface();

    void Unregister();
    uint32_t GetPosition() const { return m_position; }

    int32_t m_dirty = 0;

private:
    uint32_t m_position = 0;  // 0 = not listed
    CRefreshList* m_list;
};

class CRefreshList {
public:
    static constexpr uint32_t kDefaultInterval = 50;  // ms
    static constexpr int kSurfaceRounds = 4;

    // Runs after the client passes: the group boxes and static texts of the
    // window classes redraw their visible controls there. The context is the
    // list's owner (the interpreter).
    using RedrawAllHook = void (*)(void* context);
    enum HookSlot { kGroupBoxes = 0, kStaticTexts = 1, kHookSlots = 2 };

    CRefreshList() = default;
    ~CRefreshList();
    CRefreshList(const CRefreshList&) = delete;
    CRefreshList& operator=(const CRefreshList&) = delete;

    uint32_t Add(CIRefresh* client, bool atHead);
    void Remove(uint32_t position);
    int32_t GetCount() const { return m_clients.GetCount(); }

    // The redraw pass: clients that are neither late nor surfaces, then the
    // surfaces (those not dirty yet get up to 4 more chances while the pass
    // itself asks for redraws), then the late clients, then the hooks. A call
    // while a pass runs (an error raised inside a redraw) returns at once, and
    // the refreshing flag is cleared however the pass ends.
    void RefreshAll();
    // When refresh is enabled: a redraw pass is asked for, timed from now.
    void RequestRefresh(uint32_t now);
    // True when the tick period should run a pass at now.
    bool IsDue(uint32_t now) const;
    // Resets the intervals and the flags of a new run.
    void ResetForRun();

    // The hooks are set once per process by the classes that need them; they
    // run in slot order with the context of the list.
    static void SetRedrawAllHook(HookSlot slot, RedrawAllHook hook);
    void SetHookContext(void* context) { m_hookContext = context; }

    int32_t m_requested = 0;   // set by SetDirty and RequestRefresh
    int32_t m_refreshing = 0;  // set while RefreshAll runs
    int32_t m_enabled = 1;
    uint32_t m_interval = kDefaultInterval;
    uint32_t m_lastRefresh = 0;

private:
    CPoolList m_clients;
    static RedrawAllHook s_hooks[kHookSlots];
    void* m_hookContext = nullptr;
};
