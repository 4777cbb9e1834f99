#include "scriptsys/string_bank_text.h"

#include "runtime/package/bank.h"
#include "runtime/package/program_container.h"
#include "runtime/interp/script_value.h"

#include <cstring>

namespace {

// Loads and locks the element while its text is copied.
bool ReadElement(CElement* element, std::string* text) {
    CStringElement* strings = dynamic_cast<CStringElement*>(element);
    CBank* bank = element ? element->GetBank() : nullptr;
    if (!strings || !bank) return false;
    const int32_t index = element->GetIndex();
    if (!bank->LoadElement(index, 0) || !bank->LockElement(index)) return false;
    const char* data = reinterpret_cast<const char*>(strings->GetData());
    const int32_t size = strings->GetSize();
    if (data && size > 0) {
        const void* zero = std::memchr(data, 0, static_cast<size_t>(size));
        text->assign(data, zero ? static_cast<const char*>(zero) - data : size);
    } else {
        text->clear();
    }
    bank->UnlockElement(index);
    return true;
}

}  // namespace

bool ReadStringElementByName(CProgramContainer* container, const char* name, std::string* text) {
    if (!container || !name) return false;
    return ReadElement(container->FindElement(name, kBankStrings), text);
}

bool ReadStringElementByIndex(CProgramContainer* container, int32_t index, std::string* text) {
    if (!container) return false;
    return ReadElement(container->GetElement(index, kBankStrings), text);
}

bool ReadStringElement(CProgramContainer* container, const CValue* argument, std::string* text) {
    if (argument->GetTag() == CValue::kText) return ReadStringElementByName(container, argument->GetText(), text);
    if (argument->GetTag() == CValue::kInt || argument->GetTag() == CValue::kDouble)
        return ReadStringElementByIndex(container, argument->GetInt(), text);
    return false;
}
