#include "runtime/refresh_list.h"

#include <vector>

CIRefresh::CIRefresh(CRefreshList& list, bool atHead) : m_list(&list) {
    m_dirty = 1;
    m_list->m_requested = 1;
    m_position = m_list->Add(this, atHead);
}

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
    m_list->m_requested = 1;
    return 1;
}

int32_t CIRefresh::IsLate() {
    return 0;
}

int32_t CIRefresh::IsSurface() {
    return 0;
}

void CIRefresh::Unregister() {
    if (m_position != 0)
        m_list->Remove(m_position);
    m_position = 0;
}

CRefreshList::~CRefreshList() {
    // Clients that outlive the list must not reach back into it.
    for (uint32_t p = m_clients.GetHeadPosition(); p != 0;) {
        CIRefresh* client = reinterpret_cast<CIRefresh*>(m_clients.GetNext(p));
        client->Unregister();
    }
}

uint32_t CRefreshList::Add(CIRefresh* client, bool atHead) {
    uintptr_t item = reinterpret_cast<uintptr_t>(client);
    return atHead ? m_clients.AddHead(item) : m_clients.AddTail(item);
}

void CRefreshList::Remove(uint32_t position) {
    m_clients.RemoveAt(position);
}

namespace {

// Clears the refreshing flag however the pass ends.
struct RefreshingScope {
    int32_t& flag;
    explicit RefreshingScope(int32_t& f) : flag(f) { flag = 1; }
    ~RefreshingScope() { flag = 0; }
};

}  // namespace

void CRefreshList::RefreshAll() {
    if (m_refreshing)
        return;
    RefreshingScope scope(m_refreshing);
    m_requested = 0;

    // A client's Refresh may create or drop clients: each pass works on a
    // snapshot and skips a client that has left the list meanwhile.
    std::vector<CIRefresh*> clients;
    for (uint32_t p = m_clients.GetHeadPosition(); p != 0;)
        clients.push_back(reinterpret_cast<CIRefresh*>(m_clients.GetNext(p)));
    auto listed = [this](CIRefresh* c) { return m_clients.Find(reinterpret_cast<uintptr_t>(c)) != 0; };

    for (CIRefresh* c : clients)
        if (listed(c) && !c->IsLate() && !c->IsSurface() && c->IsDirty())
            c->Refresh();

    std::vector<CIRefresh*> waiting;
    for (CIRefresh* c : clients) {
        if (!listed(c) || c->IsLate() || !c->IsSurface())
            continue;
        if (c->IsDirty())
            c->Refresh();
        else
            waiting.push_back(c);
    }
    for (int round = 0; round < kSurfaceRounds && !waiting.empty() && m_requested; ++round) {
        m_requested = 0;
        std::vector<CIRefresh*> still;
        for (CIRefresh* c : waiting) {
            if (!listed(c))
                continue;
            if (c->IsDirty())
                c->Refresh();
            else
                still.push_back(c);
        }
        waiting.swap(still);
    }

    for (CIRefresh* c : clients)
        if (listed(c) && c->IsLate() && c->IsDirty())
            c->Refresh();

    m_requested = 0;
    for (RedrawAllHook hook : s_hooks)
        if (hook != nullptr)
            hook(m_hookContext);
}

void CRefreshList::RequestRefresh(uint32_t now) {
    if (!m_enabled)
        return;
    m_requested = 1;
    m_lastRefresh = now + m_interval;
}

bool CRefreshList::IsDue(uint32_t now) const {
    return m_requested && m_enabled && now - m_lastRefresh >= m_interval;
}

void CRefreshList::ResetForRun() {
    m_interval = kDefaultInterval;
    m_enabled = 1;
    m_refreshing = 0;
}

CRefreshList::RedrawAllHook CRefreshList::s_hooks[kHookSlots] = {};

void CRefreshList::SetRedrawAllHook(HookSlot slot, RedrawAllHook hook) {
    if (slot >= 0 && slot < kHookSlots)
        s_hooks[slot] = hook;
}
