#include "ui/ci_font.h"

#include "ui/ci_font_members.h"

#include <cstring>
#include <new>

namespace {

// Top two bits of a constructor integer: 00 size, 11 flags, else weight.
constexpr uint32_t kTopBits = 0xC0000000u;
constexpr uint32_t kFlagBits = 0xC0000000u;

LogFontA DefaultLogFont() {
    LogFontA f{};
    f.lfHeight = -16;
    f.lfWeight = 400;               // FW_NORMAL
    f.lfCharSet = 1;                // DEFAULT_CHARSET
    f.lfQuality = OsIsFirstWindows95() ? 0 : 3;  // NONANTIALIASED_QUALITY
    f.lfPitchAndFamily = 2;         // VARIABLE_PITCH
    std::strcpy(f.lfFaceName, "Arial");
    return f;
}

CIFontBase* MakeSharedFont(CInterpretor* interpretor, bool gui) {
    CIFont* font = new (std::nothrow) CIFont(interpretor);
    if (font == nullptr)
        return nullptr;
    if (gui) {
        font->AdoptStockHandle(OsGetGuiFont());
        font->CIBaseClassImpl::AssignInstanceNumber();
    } else {
        font->AssignInstanceNumber();
    }
    return font;
}

}  // namespace

CIFont::CIFont(CInterpretor* interpretor)
    : CIFontBase(interpretor, ClassRecordOf(interpretor, kClassFont), kClassFont, true),
      m_logFont(DefaultLogFont()) {}

void CIFont::CallMember(int32_t memberId) {
    static const CDispatchEntry<CIFont> kHandlers[] = {
        TW_MEMBER(Font, GetFaceName), TW_MEMBER(Font, GetHeight),   TW_MEMBER(Font, GetWeight),
        TW_MEMBER(Font, IsItalic),    TW_MEMBER(Font, IsUnderline), TW_MEMBER(Font, IsStrikeOut),
    };
    DispatchMember(this, kHandlers, memberId);
}

void CIFont::Destroy(int32_t) {
    // Controls may still draw with the handle until they hold another font.
    ReleaseFontFromContainers(m_interpretor, this);
    if (m_owned)
        OsDeleteFont(m_handle);
    m_handle = nullptr;
    m_owned = 0;
    UnlinkFromClassList();
    delete this;
}

void CIFont::ConstructFromArgs() {
    int32_t first = 0;
    if (GetArgCount(m_interpretor) > 0 && GetArg(m_interpretor, 0)->IsObjectOfClass(kClassFont)) {
        m_logFont = static_cast<CIFont*>(GetArgObject(m_interpretor, 0))->m_logFont;
        first = 1;
    }
    ApplyArguments(first);
    AssignInstanceNumber();
}

void CIFont::ApplyArguments(int32_t first) {
    const int32_t count = GetArgCount(m_interpretor);
    for (int32_t i = first; i < count; ++i) {
        if (IsArgDefault(m_interpretor, i))
            continue;
        const CValue* arg = GetArg(m_interpretor, i);
        if (arg->GetTag() == CValue::kText) {
            SetFace(GetArgString(m_interpretor, i));
            continue;
        }
        const uint32_t value = static_cast<uint32_t>(GetArgInt(m_interpretor, i));
        if ((value & kTopBits) == 0) {
            m_logFont.lfHeight = -static_cast<int32_t>(value);
        } else if ((value & kTopBits) == kFlagBits) {
            if (value & 0x1) m_logFont.lfItalic = 1;
            if (value & 0x2) m_logFont.lfUnderline = 1;
            if (value & 0x4) m_logFont.lfStrikeOut = 1;
            if (value & 0x8) m_logFont.lfPitchAndFamily = static_cast<uint8_t>((m_logFont.lfPitchAndFamily & ~3) | 1);
            if (value & 0x10) m_logFont.lfPitchAndFamily = static_cast<uint8_t>((m_logFont.lfPitchAndFamily & ~3) | 2);
            if (value & 0x20) m_logFont.lfQuality = 4;  // ANTIALIASED_QUALITY
        } else {
            m_logFont.lfWeight = static_cast<int32_t>(value & 0x3FFFFFFFu);
        }
    }
}

uint32_t CIFont::AssignInstanceNumber() {
    CreateHandle();
    return CIBaseClassImpl::AssignInstanceNumber();
}

void CIFont::CreateHandle() {
    void* old = m_owned ? m_handle : nullptr;
    m_handle = OsCreateFont(&m_logFont);
    m_owned = 1;
    if (old != nullptr) {
        ReapplyFontToContainers(m_interpretor, this);
        OsDeleteFont(old);
    }
}

void CIFont::AdoptStockHandle(void* handle) {
    if (m_owned)
        OsDeleteFont(m_handle);
    m_handle = handle;
    m_owned = 0;
    OsGetFontDescription(handle, &m_logFont);
}

void CIFont::SetLogFont(const LogFontA& font) {
    m_logFont = font;
    CreateHandle();
}

void CIFont::SetFace(const char* face) {
    std::strncpy(m_logFont.lfFaceName, face != nullptr ? face : "", 31);
    m_logFont.lfFaceName[31] = 0;
}

void CIFont::SetFaceAndSize(const char* face, int32_t size) {
    SetFace(face);
    m_logFont.lfHeight = -size;
    CreateHandle();
}

CIFont* CIFont::NewFromArguments(CInterpretor* interpretor) {
    if (GetArgCount(interpretor) > 0 && GetArg(interpretor, 0)->IsObjectOfClass(kClassFont))
        return static_cast<CIFont*>(GetArgObject(interpretor, 0));
    const char* face = "Arial";
    int32_t size = 16;
    for (int32_t i = 0; i < 2 && i < GetArgCount(interpretor); ++i) {
        if (IsArgDefault(interpretor, i))
            continue;
        if (GetArg(interpretor, i)->GetTag() == CValue::kText)
            face = GetArgString(interpretor, i);
        else
            size = GetArgInt(interpretor, i);
    }
    CIFont* font = new (std::nothrow) CIFont(interpretor);
    if (font == nullptr)
        RaiseError(interpretor, 15);
    font->SetFace(face);
    font->m_logFont.lfHeight = -size;
    font->AssignInstanceNumber();
    return font;
}

int32_t CIFont::Answer(int32_t value) {
    Result(m_interpretor)->SetInt(value);
    return 0;
}

int32_t CIFont::GetFaceName() {
    char face[32];
    std::memcpy(face, m_logFont.lfFaceName, 32);
    face[31] = 0;
    Result(m_interpretor)->SetString(face, 0);
    return 0;
}

int32_t CIFont::GetHeight() { return Answer(-m_logFont.lfHeight); }

// Comparable with the weight constants.
int32_t CIFont::GetWeight() {
    return Answer(static_cast<int32_t>(static_cast<uint32_t>(m_logFont.lfWeight) | 0x80000000u));
}

int32_t CIFont::IsItalic() { return Answer(m_logFont.lfItalic ? 1 : 0); }

int32_t CIFont::IsUnderline() { return Answer(m_logFont.lfUnderline ? 1 : 0); }

int32_t CIFont::IsStrikeOut() { return Answer(m_logFont.lfStrikeOut ? 1 : 0); }

void RegisterFontClass() {
    RegisterClassBinding(kClassFont, {&MakeScriptObject<CIFont>, nullptr});
    SetSharedFontMaker(&MakeSharedFont);
    SetFontArgumentReader([](CInterpretor* interpretor) -> CIFontBase* { return CIFont::NewFromArguments(interpretor); });
}
