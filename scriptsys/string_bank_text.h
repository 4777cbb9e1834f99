#pragma once
// Texts of the package's string bank (bank type 5), as the string and program
// script classes read them: an element is named by its name in the current
// program's string bank (or by a full name), or by its index in that bank.
#include <cstdint>
#include <string>

class CProgramContainer;
class CValue;

// The element's text (up to its first zero byte). False when there is no
// such element, it is not a text element, or its data cannot be loaded.
bool ReadStringElementByName(CProgramContainer* container, const char* name, std::string* text);
bool ReadStringElementByIndex(CProgramContainer* container, int32_t index, std::string* text);
// The element a script argument names: a text by its name, a number by its
// index; any other value names nothing.
bool ReadStringElement(CProgramContainer* container, const CValue* argument, std::string* text);
