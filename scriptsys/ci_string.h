#pragma once
// CIString: the script class "String", one text with text operations and
// HTML tag wrappers. Every member answers a new value; the text itself never
// changes through a member. The interpreter's global String object is handed
// the text of a literal or variable before a member is called on it
// ("abc".Length), and "New String(x)" answers the text, not the object.
#include "runtime/classes/script_class.h"
#include "runtime/interp/script_value.h"

#include <string>

class CIString : public CIBaseClassImpl, public CITextSubject {
public:
    explicit CIString(CInterpretor* interpretor, const char* text = nullptr);

    void CallMember(int32_t memberId) override;
    void Destroy(int32_t releaseAll) override;
    // One argument names an element of the package's string bank: a text by
    // name, an integer by index (runtime error 79 when there is none or it
    // cannot be read). A text that names no element is taken as it is.
    void ConstructFromArgs() override;

    // Null clears the text (a missing text, read as empty).
    void SetText(const char* text);
    const char* GetText() const { return m_value.GetText(); }
    void LoadText(const char* text) override { SetText(text); }
    // Shares the text of a value (no copy).
    void LoadValue(const CValue& text) override;
    const char* GetTextValue() override { return Text(); }

private:
    int32_t Big();
    int32_t Bold();
    int32_t FontColor();
    int32_t FontSize();
    int32_t Italics();
    int32_t Small();
    int32_t Strike();
    int32_t Sub();
    int32_t Sup();
    int32_t ToLowerCase();
    int32_t ToUpperCase();
    int32_t CharAt();
    int32_t IndexOf();
    int32_t LastIndexOf();
    int32_t SubString();
    int32_t Length();
    int32_t GetFloat();
    int32_t GetInt();
    int32_t GetAscii();
    int32_t CompareNoCase();

    void ResultText(const std::string& text);
    void Wrap(const char* tag);

    bool HasText() const { return m_value.GetText() != nullptr; }
    const char* Text() const { return HasText() ? m_value.GetText() : ""; }

    CValue m_value;  // the text, or integer 0 for none
};
