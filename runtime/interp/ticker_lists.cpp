#include "runtime/interp/ticker_lists.h"

#include <vector>

uint32_t CTickerLists::Add(CPoolList& list, CITickClient* client) {
    uint32_t position = list.AddHead(reinterpret_cast<uintptr_t>(client));
    if (position != 0)
        ++m_active;
    return position;
}

void CTickerLists::Remove(CPoolList& list, uint32_t position) {
    if (list.GetAt(position) == 0)
        return;
    list.RemoveAt(position);
    --m_active;
}

uint32_t CTickerLists::AddAnimation(CITickClient* object, uint32_t now) {
    object->m_lastTick = now;
    return Add(m_animations, object);
}

void CTickerLists::RemoveAnimation(uint32_t position) {
    Remove(m_animations, position);
}

uint32_t CTickerLists::AddMovement(CITickClient* movement) {
    return Add(m_movements, movement);
}

void CTickerLists::RemoveMovement(uint32_t position) {
    Remove(m_movements, position);
}

void CTickerLists::RemoveMovementsOf(const void* location) {
    std::vector<CITickClient*> doomed;
    for (uint32_t p = m_movements.GetHeadPosition(); p != 0;) {
        uint32_t at = p;
        CITickClient* movement = reinterpret_cast<CITickClient*>(m_movements.GetNext(p));
        if (movement->InvolvesObject(location)) {
            m_movements.RemoveAt(at);
            --m_active;
            doomed.push_back(movement);
        }
    }
    for (CITickClient* movement : doomed)
        delete movement;
}

uint32_t CTickerLists::AddTickObject(CITickClient* cursor, uint32_t now) {
    cursor->m_lastTick = now;
    return Add(m_cursors, cursor);
}

int32_t CTickerLists::RemoveTickObject(uint32_t position) {
    Remove(m_cursors, position);
    return m_active;
}

void CTickerLists::RunList(CPoolList& list, uint32_t now, bool stamp) {
    std::vector<CITickClient*> clients;
    for (uint32_t p = list.GetHeadPosition(); p != 0;)
        clients.push_back(reinterpret_cast<CITickClient*>(list.GetNext(p)));
    for (CITickClient* client : clients) {
        // A client removed (and perhaps freed) by an earlier one is skipped.
        if (list.Find(reinterpret_cast<uintptr_t>(client)) == 0)
            continue;
        client->Tick(now);
        if (stamp && list.Find(reinterpret_cast<uintptr_t>(client)) != 0)
            client->m_lastTick = now;
    }
}

void CTickerLists::RunTickers(uint32_t now) {
    RunList(m_animations, now, true);
    RunList(m_movements, now, false);
    RunList(m_cursors, now, false);
}

void CTickerLists::RemoveAll() {
    m_animations.RemoveAll();
    m_movements.RemoveAll();
    m_cursors.RemoveAll();
    m_active = 0;
}
