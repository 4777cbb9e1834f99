#pragma once
// The order in which a redraw pass visits the redraw clients (CIRefresh):
//  1. every dirty client that is neither late nor a script surface;
//  2. the script surfaces: a dirty one is redrawn, the others wait;
//  3. up to 4 rounds, while surfaces wait and the previous round asked for
//     redraws again (a surface drawn into by another): the waiting surfaces
//     that became dirty are redrawn;
//  4. every dirty late client.
// A client's redraw may add or remove clients (even delete one): each pass
// works on a snapshot and skips a client that has left the list meanwhile.
#include "runtime/base/pool_list.h"

#include <cstdint>
#include <vector>

constexpr int kRefreshSurfaceRounds = 4;

// Client: has Refresh(), IsDirty() and IsLate(). isSurface(client) tells the
// script surfaces apart. requested is the flag that SetDirty raises; it is
// cleared first and used to see whether a round asked for more.
template <class Client, class IsSurface>
void RunRefreshPasses(const CPoolList& clients, int32_t& requested, IsSurface isSurface) {
    requested = 0;
    std::vector<Client*> snapshot;
    for (uint32_t p = clients.GetHeadPosition(); p != 0;)
        snapshot.push_back(reinterpret_cast<Client*>(clients.GetNext(p)));
    auto listed = [&clients](Client* c) { return clients.Find(reinterpret_cast<uintptr_t>(c)) != 0; };

    for (Client* c : snapshot)
        if (listed(c) && !c->IsLate() && !isSurface(c) && c->IsDirty())
            c->Refresh();

    std::vector<Client*> waiting;
    for (Client* c : snapshot) {
        if (!listed(c) || c->IsLate() || !isSurface(c))
            continue;
        if (c->IsDirty())
            c->Refresh();
        else
            waiting.push_back(c);
    }
    for (int round = 0; round < kRefreshSurfaceRounds && !waiting.empty() && requested; ++round) {
        requested = 0;
        std::vector<Client*> still;
        for (Client* c : waiting) {
            if (!listed(c))
                continue;
            if (c->IsDirty())
                c->Refresh();
            else
                still.push_back(c);
        }
        waiting.swap(still);
    }

    for (Client* c : snapshot)
        if (listed(c) && c->IsLate() && c->IsDirty())
            c->Refresh();
    requested = 0;
}
