#include "scriptsys/ci_string.h"

#include "runtime/class_registry.h"
#include "runtime/interpretor.h"
#include "runtime/number_literal.h"
#include "runtime/script_value.h"
#include "runtime/value_numbers.h"
#include "scriptsys/script_class_support.h"
#include "scriptsys/string_bank_text.h"
#include "scriptsys/string_functions.h"

CIString::CIString(CInterpretor* interpretor, const char* text)
    : CIBaseClassImpl(interpretor, ClassRecordOf(interpretor, kClassString), kClassString, true) {
    SetText(text);
}

void CIString::Destroy(int32_t) {
    UnlinkFromClassList();
    delete this;
}

void CIString::SetText(const char* text) {
    m_hasText = text != nullptr;
    m_text.assign(text ? text : "");
}

void CIString::ConstructFromArgs() {
    // One argument names an element of the string bank; it is never the text itself.
    if (m_interpretor->GetArgCount() == 1) {
        std::string text;
        if (!ReadStringElement(PackageOf(m_interpretor), m_interpretor->GetArg(0), &text))
            m_interpretor->RaiseError(79, CIError::kNoDetail);
        SetText(text.c_str());
    }
    AssignInstanceNumber();
}

void CIString::CallMember(int32_t memberId) {
    static const CDispatchEntry<CIString> kHandlers[] = {
        {1, &CIString::Big},
        {2, &CIString::Bold},
        {3, &CIString::FontColor},
        {4, &CIString::FontSize},
        {5, &CIString::Italics},
        {6, &CIString::Small},
        {7, &CIString::Strike},
        {8, &CIString::Sub},
        {9, &CIString::Sup},
        {10, &CIString::ToLowerCase},
        {11, &CIString::ToUpperCase},
        {12, &CIString::CharAt},
        {13, &CIString::IndexOf},
        {14, &CIString::LastIndexOf},
        {15, &CIString::SubString},
        {16, &CIString::Length},
        {17, &CIString::GetFloat},
        {18, &CIString::GetInt},
        {19, &CIString::GetAscii},
        {20, &CIString::CompareNoCase},
    };
    DispatchMember(this, kHandlers, memberId);
}

void CIString::ResultText(const std::string& text) { m_interpretor->Result()->SetString(text.c_str(), 0); }

void CIString::Wrap(const char* tag) { ResultText(tw::strings::WrapInTag(m_text.c_str(), tag)); }

int32_t CIString::Big() { Wrap("BIG"); return 0; }
int32_t CIString::Bold() { Wrap("B"); return 0; }
int32_t CIString::Italics() { Wrap("I"); return 0; }
int32_t CIString::Small() { Wrap("SMALL"); return 0; }
int32_t CIString::Strike() { Wrap("STRIKE"); return 0; }
int32_t CIString::Sub() { Wrap("SUB"); return 0; }
int32_t CIString::Sup() { Wrap("SUP"); return 0; }

int32_t CIString::FontColor() {
    ResultText(tw::strings::WrapFontColor(m_text.c_str(), m_interpretor->GetArgInt(0)));
    return 0;
}

int32_t CIString::FontSize() {
    ResultText(tw::strings::WrapFontSize(m_text.c_str(), m_interpretor->GetArgInt(0)));
    return 0;
}

int32_t CIString::ToLowerCase() { ResultText(tw::strings::ToLowerCase(m_text.c_str())); return 0; }
int32_t CIString::ToUpperCase() { ResultText(tw::strings::ToUpperCase(m_text.c_str())); return 0; }

int32_t CIString::CharAt() { ResultText(tw::strings::CharAt(m_text.c_str(), m_interpretor->GetArgInt(0))); return 0; }

int32_t CIString::IndexOf() {
    const int32_t start = m_interpretor->IsArgDefault(1) ? 0 : m_interpretor->GetArgInt(1);
    m_interpretor->Result()->SetInt(tw::strings::IndexOf(m_text.c_str(), ArgTextOrNull(m_interpretor, 0), start));
    return 0;
}

int32_t CIString::LastIndexOf() {
    m_interpretor->Result()->SetInt(tw::strings::LastIndexOf(m_text.c_str(), ArgTextOrNull(m_interpretor, 0)));
    return 0;
}

int32_t CIString::SubString() {
    const int32_t start = m_interpretor->IsArgDefault(0) ? 0 : m_interpretor->GetArgInt(0);
    const int32_t count = m_interpretor->IsArgDefault(1) ? tw::strings::Length(m_text.c_str())
                                                          : m_interpretor->GetArgInt(1);
    ResultText(tw::strings::SubString(m_text.c_str(), start, count));
    return 0;
}

int32_t CIString::Length() { m_interpretor->Result()->SetInt(tw::strings::Length(m_text.c_str())); return 0; }

int32_t CIString::GetFloat() {
    m_interpretor->Result()->SetDouble(m_hasText ? ParseNumberLiteral(m_text.c_str()) : 0.0);
    return 0;
}

int32_t CIString::GetInt() {
    m_interpretor->Result()->SetInt(m_hasText ? tw::TruncateToInt(ParseNumberLiteral(m_text.c_str())) : 0);
    return 0;
}

int32_t CIString::GetAscii() {
    const int32_t index = m_interpretor->IsArgDefault(0) ? 0 : m_interpretor->GetArgInt(0);
    m_interpretor->Result()->SetInt(tw::strings::AsciiAt(m_text.c_str(), index));
    return 0;
}

int32_t CIString::CompareNoCase() {
    if (m_interpretor->IsArgDefault(0)) m_interpretor->RaiseError(115, CIError::kNoDetail);
    const char* other = m_interpretor->GetArgString(0);
    m_interpretor->Result()->SetInt(m_hasText ? tw::strings::CompareNoCase(m_text.c_str(), other) : 0);
    return 0;
}
