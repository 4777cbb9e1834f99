#pragma once
// Font containers: every script object that draws text (the script surface,
// and the windows and controls) holds one counted reference on its current
// font through CIFontContainer. Per interpreter there are two shared fonts,
// made by the first container that needs them (the default font, "Arial" 16,
// and the system's GUI font), and the list of live containers, so that a font
// that goes away is replaced everywhere by the default font.
//
// The font class itself (the script class "Font") lives with the windows; it
// registers the maker of the shared fonts here.
#include "runtime/classes/script_class.h"

#include <vector>

// What a container needs of a font object. The count of containers holding a
// font is part of its reference count, so that no collection takes a font
// that a container still shows.
class CIFontBase : public CIBaseClassImpl {
public:
    using CIBaseClassImpl::CIBaseClassImpl;
    // The GDI font handle (may be null: the system font).
    virtual void* GetHandle() const = 0;
};

class CIFontContainer;

// The shared fonts and the containers of one interpreter (a service of the
// interpreter; null while it is not loaded).
struct CFontState {
    CIFontBase* defaultFont = nullptr;
    CIFontBase* guiFont = nullptr;
    std::vector<CIFontContainer*> containers;
};
CFontState* FontStateOf(CInterpretor* interpretor);

// Makes a shared font with its instance number: the default font, or (gui)
// the GUI font. Registered by the font class's module; without one there are
// no shared fonts and containers hold none.
using SharedFontMaker = CIFontBase* (*)(CInterpretor* interpretor, bool gui);
void SetSharedFontMaker(SharedFontMaker maker);
void RegisterFontService();

// The shared fonts, made on first use (each holds one reference for the
// interpreter); null when they cannot be made.
CIFontBase* GetDefaultFont(CInterpretor* interpretor);
CIFontBase* GetGuiFont(CInterpretor* interpretor);

// A font going away: every container holding it takes the default font (none
// when it is the default font itself), and it stops being a shared font. The
// font deletes its handle only after this.
void ReleaseFontFromContainers(CInterpretor* interpretor, CIFontBase* font);
// A font whose handle changed: every container holding it takes it again
// (windows then send the new handle to their controls).
void ReapplyFontToContainers(CInterpretor* interpretor, CIFontBase* font);

class CIFontContainer {
public:
    // Takes the default font and joins the interpreter's container list.
    explicit CIFontContainer(CInterpretor* interpretor);
    virtual ~CIFontContainer();
    CIFontContainer(const CIFontContainer&) = delete;
    CIFontContainer& operator=(const CIFontContainer&) = delete;

    // Takes a reference on the new font, then drops the old one's. A
    // container of an interpreter that is not loaded holds no font.
    virtual void SetFont(CIFontBase* font);
    CIFontBase* GetFont() const { return m_font; }
    void* GetFontHandle() const { return m_font != nullptr ? m_font->GetHandle() : nullptr; }
    // Leaves the container list and drops the font (the destructor does it too).
    void DetachFonts();

protected:
    CInterpretor* m_fontOwner;
    CIFontBase* m_font = nullptr;
    bool m_listed = false;
};

// The font that "SetFont" of a surface, window or control takes from its
// arguments (a Font object, or face and size); registered by the font class.
// Null without one.
using FontArgumentReader = CIFontBase* (*)(CInterpretor* interpretor);
void SetFontArgumentReader(FontArgumentReader reader);
CIFontBase* FontFromArguments(CInterpretor* interpretor);
