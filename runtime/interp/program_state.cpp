// The program state's DirectX version and 3D sound switches, settled when
// first read (runtime/classes/script_class.h).
#include "runtime/classes/script_class.h"

void CProgramState::DeferDirectXVersion(uint32_t (*probe)()) { m_directXProbe = probe; }

void CProgramState::SettleDirectXVersion() {
    if (m_directXProbe == nullptr)
        return;
    m_directXVersion = m_directXProbe();
    m_directXProbe = nullptr;
    // What the Load would have set: the request has not changed since, as
    // every change of it settles first.
    m_sound3DUsed = m_sound3DRequested && m_directXVersion >= 0x600 ? 1 : 0;
}

uint32_t CProgramState::DirectXVersion() {
    SettleDirectXVersion();
    return m_directXVersion;
}

int32_t CProgramState::Sound3DUsed() {
    SettleDirectXVersion();
    return m_sound3DUsed;
}

void CProgramState::SetSound3DRequested(int32_t requested) {
    SettleDirectXVersion();
    m_sound3DRequested = requested ? 1 : 0;
    m_sound3DUsed = m_sound3DRequested && m_directXVersion >= 0x600 ? 1 : 0;
}
