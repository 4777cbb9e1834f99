// Per-interpreter services (runtime/classes/script_class.h): the process-wide
// list that modules register into, and the interpreter's loaded copies.
#include "runtime/classes/script_class.h"

#include "runtime/interp/interpretor.h"

#include <vector>

namespace {

std::vector<CInterpreterService>& Services() {
    static std::vector<CInterpreterService> services;
    return services;
}

}  // namespace

void RegisterInterpreterService(const CInterpreterService& service) {
    for (CInterpreterService& known : Services()) {
        if (known.id == service.id) {
            known = service;
            return;
        }
    }
    Services().push_back(service);
}

void* GetInterpreterService(CInterpretor* in, int32_t id) {
    if (in == nullptr)
        return nullptr;
    for (const CInterpretor::CLoadedService& loaded : in->m_services)
        if (loaded.service.id == id)
            return loaded.object;
    return nullptr;
}

int CInterpretor::LoadServices() {
    UnloadServices();
    for (const CInterpreterService& service : Services()) {
        void* object = service.load != nullptr ? service.load(this) : nullptr;
        if (object == nullptr) {
            UnloadServices();
            return 0;
        }
        m_services.push_back({service, object});
    }
    return 1;
}

void CInterpretor::UnloadServices() {
    while (!m_services.empty()) {
        CLoadedService last = m_services.back();
        m_services.pop_back();
        if (last.service.unload != nullptr)
            last.service.unload(this, last.object);
    }
}
