#include "graphics2d/font_container.h"

#include <algorithm>
#include <new>

namespace {

SharedFontMaker g_fontMaker = nullptr;

void* LoadFontState(CInterpretor*) { return new (std::nothrow) CFontState(); }
void UnloadFontState(CInterpretor*, void* state) { delete static_cast<CFontState*>(state); }

CIFontBase* Shared(CInterpretor* interpretor, bool gui) {
    CFontState* state = FontStateOf(interpretor);
    if (state == nullptr)
        return nullptr;
    CIFontBase*& slot = gui ? state->guiFont : state->defaultFont;
    if (slot == nullptr && g_fontMaker != nullptr) {
        slot = g_fontMaker(interpretor, gui);
        if (slot != nullptr)
            ++slot->m_refCount;  // the interpreter's reference
    }
    return slot;
}

}  // namespace

CFontState* FontStateOf(CInterpretor* interpretor) {
    return static_cast<CFontState*>(GetInterpreterService(interpretor, kServiceFonts));
}

void SetSharedFontMaker(SharedFontMaker maker) { g_fontMaker = maker; }

void RegisterFontService() {
    CInterpreterService service;
    service.id = kServiceFonts;
    service.load = LoadFontState;
    service.unload = UnloadFontState;
    RegisterInterpreterService(service);
}

CIFontBase* GetDefaultFont(CInterpretor* interpretor) { return Shared(interpretor, false); }
CIFontBase* GetGuiFont(CInterpretor* interpretor) { return Shared(interpretor, true); }

void ReleaseFontFromContainers(CInterpretor* interpretor, CIFontBase* font) {
    CFontState* state = FontStateOf(interpretor);
    if (state == nullptr || font == nullptr)
        return;
    for (CIFontBase** shared : {&state->defaultFont, &state->guiFont})
        if (*shared == font) {
            *shared = nullptr;
            --font->m_refCount;
        }
    // The default font as it stands (none when it is the one going): no font
    // is made while fonts are being destroyed.
    CIFontBase* replacement = state->defaultFont;
    // A container's SetFont may do anything a window does: work on a copy.
    const std::vector<CIFontContainer*> containers = state->containers;
    for (CIFontContainer* c : containers)
        if (c->GetFont() == font &&
            std::find(state->containers.begin(), state->containers.end(), c) != state->containers.end())
            c->SetFont(replacement);
}

void ReapplyFontToContainers(CInterpretor* interpretor, CIFontBase* font) {
    CFontState* state = FontStateOf(interpretor);
    if (state == nullptr || font == nullptr)
        return;
    const std::vector<CIFontContainer*> containers = state->containers;
    for (CIFontContainer* c : containers)
        if (c->GetFont() == font)
            c->SetFont(font);
}

CIFontContainer::CIFontContainer(CInterpretor* interpretor) : m_fontOwner(interpretor) {
    CFontState* state = FontStateOf(interpretor);
    if (state == nullptr)
        return;
    try {
        state->containers.push_back(this);
        m_listed = true;
    } catch (const std::bad_alloc&) {
        return;
    }
    GetGuiFont(interpretor);
    CIFontContainer::SetFont(GetDefaultFont(interpretor));
}

CIFontContainer::~CIFontContainer() { DetachFonts(); }

void CIFontContainer::DetachFonts() {
    if (m_listed) {
        if (CFontState* state = FontStateOf(m_fontOwner)) {
            auto& list = state->containers;
            list.erase(std::remove(list.begin(), list.end(), this), list.end());
        }
        m_listed = false;
    }
    if (m_font != nullptr)
        --m_font->m_refCount;
    m_font = nullptr;
}

void CIFontContainer::SetFont(CIFontBase* font) {
    // A container outside the interpreter's list (an interpreter not loaded)
    // would not hear of a font going away: it holds none.
    if (!m_listed)
        return;
    if (font != nullptr)
        ++font->m_refCount;
    CIFontBase* old = m_font;
    m_font = font;
    if (old != nullptr)
        --old->m_refCount;
}

namespace {
FontArgumentReader g_fontReader = nullptr;
}

void SetFontArgumentReader(FontArgumentReader reader) { g_fontReader = reader; }

CIFontBase* FontFromArguments(CInterpretor* interpretor) {
    return g_fontReader != nullptr ? g_fontReader(interpretor) : nullptr;
}
