#pragma once
// CIFont: the script class "Font", a GDI font described by a LOGFONT. The
// shared default font ("Arial" 16) and GUI font of an interpreter are fonts
// of this class too, made through the maker it registers with the font
// containers (graphics2d/font_container.h).
#include "graphics2d/font_container.h"
#include "graphics2d/os_gdi.h"

#include <cstdint>

class CIFont : public CIFontBase {
public:
    explicit CIFont(CInterpretor* interpretor);

    void CallMember(int32_t memberId) override;
    // Containers holding the font take the default font, then the handle goes.
    void Destroy(int32_t releaseAll) override;
    // "New Font(args)": see ApplyArguments.
    void ConstructFromArgs() override;
    // Makes the handle from the LOGFONT, then the base numbering.
    uint32_t AssignInstanceNumber() override;
    void* GetHandle() const override { return m_handle; }

    // Reads the constructor's arguments from `first` on: a string is the face
    // (at most 31 characters), an integer with top bits 00 the size, one with
    // top bits 11 flags (0x1 italic, 0x2 underline, 0x4 strike-out, 0x8
    // fixed pitch, 0x10 variable pitch, 0x20 anti-aliased), any other integer
    // the weight (its low 30 bits).
    void ApplyArguments(int32_t first);
    // Copies the description and makes the handle again.
    void SetLogFont(const LogFontA& font);
    // Face (at most 31 characters) and size (lfHeight = -size), then the handle.
    void SetFaceAndSize(const char* face, int32_t size);
    // The handle from the LOGFONT: the new one replaces an owned old one,
    // which is deleted only after the containers hold the new one.
    void CreateHandle();
    // The handle and its description, not owned (the GUI font).
    void AdoptStockHandle(void* handle);
    const LogFontA& GetLogFont() const { return m_logFont; }

    // The font for "SetFont" of windows, controls and surfaces: argument 0
    // when it is a Font object, else a new font of face and size taken from
    // arguments 0 and 1 (a string the face, a number the size; "Arial" and 16
    // when omitted).
    static CIFont* NewFromArguments(CInterpretor* interpretor);

private:
    int32_t GetFaceName();
    int32_t GetHeight();
    int32_t GetWeight();
    int32_t IsItalic();
    int32_t IsUnderline();
    int32_t IsStrikeOut();
    void SetFace(const char* face);
    int32_t Answer(int32_t value);

    LogFontA m_logFont;
    void* m_handle = nullptr;
    int32_t m_owned = 0;
};

void RegisterFontClass();
