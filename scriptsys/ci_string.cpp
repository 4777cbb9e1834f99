#include "scriptsys/ci_string.h"
#include "scriptsys/ci_string_members.h"

#include "runtime/classes/class_registry.h"
#include "runtime/classes/script_class.h"
#include "runtime/base/number_literal.h"
#include "runtime/interp/script_value.h"
#include "runtime/interp/value_numbers.h"
#include "runtime/classes/script_class.h"
#include "scriptsys/string_bank_text.h"
#include "scriptsys/string_functions.h"

CIString::CIString(CInterpretor* interpretor, const char* text)
    : CIBaseClassImpl(interpretor, ClassRecordOf(interpretor, kClassString), kClassString, true),
      m_value(interpretor) {
    SetText(text);
}

void CIString::Destroy(int32_t) {
    UnlinkFromClassList();
    delete this;
}

void CIString::SetText(const char* text) {
    if (text == nullptr)
        m_value.Clear();
    else
        m_value.SetString(text, 0);
}

void CIString::LoadValue(const CValue& text) {
    if (text.GetText() == nullptr)
        SetText(text.GetTag() == CValue::kText ? "" : nullptr);
    else
        m_value.Assign(text);
}

void CIString::ConstructFromArgs() {
    // One argument names an element of the string bank; it is never the text itself.
    if (GetArgCount(m_interpretor) == 1) {
        std::string text;
        if (!ReadStringElement(PackageOf(m_interpretor), GetArg(m_interpretor, 0), &text))
            RaiseError(m_interpretor, 79, CIError::kNoDetail);
        SetText(text.c_str());
    }
    AssignInstanceNumber();
}

void CIString::CallMember(int32_t memberId) {
    static const CDispatchEntry<CIString> kHandlers[] = {
        TW_MEMBER(String, Big),
        TW_MEMBER(String, Bold),
        TW_MEMBER(String, FontColor),
        TW_MEMBER(String, FontSize),
        TW_MEMBER(String, Italics),
        TW_MEMBER(String, Small),
        TW_MEMBER(String, Strike),
        TW_MEMBER(String, Sub),
        TW_MEMBER(String, Sup),
        TW_MEMBER(String, ToLowerCase),
        TW_MEMBER(String, ToUpperCase),
        TW_MEMBER(String, CharAt),
        TW_MEMBER(String, IndexOf),
        TW_MEMBER(String, LastIndexOf),
        TW_MEMBER(String, SubString),
        TW_MEMBER(String, Length),
        TW_MEMBER(String, GetFloat),
        TW_MEMBER(String, GetInt),
        TW_MEMBER(String, GetAscii),
        TW_MEMBER(String, CompareNoCase),
    };
    DispatchMember(this, kHandlers, memberId);
}

void CIString::ResultText(const std::string& text) { Result(m_interpretor)->SetString(text.c_str(), 0); }

void CIString::Wrap(const char* tag) { ResultText(tw::strings::WrapInTag(Text(), tag)); }

int32_t CIString::Big() { Wrap("BIG"); return 0; }
int32_t CIString::Bold() { Wrap("B"); return 0; }
int32_t CIString::Italics() { Wrap("I"); return 0; }
int32_t CIString::Small() { Wrap("SMALL"); return 0; }
int32_t CIString::Strike() { Wrap("STRIKE"); return 0; }
int32_t CIString::Sub() { Wrap("SUB"); return 0; }
int32_t CIString::Sup() { Wrap("SUP"); return 0; }

int32_t CIString::FontColor() {
    ResultText(tw::strings::WrapFontColor(Text(), GetArgInt(m_interpretor, 0)));
    return 0;
}

int32_t CIString::FontSize() {
    ResultText(tw::strings::WrapFontSize(Text(), GetArgInt(m_interpretor, 0)));
    return 0;
}

int32_t CIString::ToLowerCase() { ResultText(tw::strings::ToLowerCase(Text())); return 0; }
int32_t CIString::ToUpperCase() { ResultText(tw::strings::ToUpperCase(Text())); return 0; }

int32_t CIString::CharAt() { ResultText(tw::strings::CharAt(Text(), GetArgInt(m_interpretor, 0))); return 0; }

int32_t CIString::IndexOf() {
    const int32_t start = IsArgDefault(m_interpretor, 1) ? 0 : GetArgInt(m_interpretor, 1);
    Result(m_interpretor)->SetInt(tw::strings::IndexOf(Text(), ArgTextOrNull(m_interpretor, 0), start));
    return 0;
}

int32_t CIString::LastIndexOf() {
    Result(m_interpretor)->SetInt(tw::strings::LastIndexOf(Text(), ArgTextOrNull(m_interpretor, 0)));
    return 0;
}

int32_t CIString::SubString() {
    const int32_t start = IsArgDefault(m_interpretor, 0) ? 0 : GetArgInt(m_interpretor, 0);
    const int32_t count = IsArgDefault(m_interpretor, 1) ? tw::strings::Length(Text())
                                                          : GetArgInt(m_interpretor, 1);
    ResultText(tw::strings::SubString(Text(), start, count));
    return 0;
}

int32_t CIString::Length() { Result(m_interpretor)->SetInt(tw::strings::Length(Text())); return 0; }

int32_t CIString::GetFloat() {
    Result(m_interpretor)->SetDouble(HasText() ? ParseNumberLiteral(Text()) : 0.0);
    return 0;
}

int32_t CIString::GetInt() {
    Result(m_interpretor)->SetInt(HasText() ? tw::TruncateToInt(ParseNumberLiteral(Text())) : 0);
    return 0;
}

int32_t CIString::GetAscii() {
    const int32_t index = IsArgDefault(m_interpretor, 0) ? 0 : GetArgInt(m_interpretor, 0);
    Result(m_interpretor)->SetInt(tw::strings::AsciiAt(Text(), index));
    return 0;
}

int32_t CIString::CompareNoCase() {
    if (IsArgDefault(m_interpretor, 0)) RaiseError(m_interpretor, 115, CIError::kNoDetail);
    const char* other = GetArgString(m_interpretor, 0);
    Result(m_interpretor)->SetInt(HasText() ? tw::strings::CompareNoCase(Text(), other) : 0);
    return 0;
}
