#pragma once
// Native stand-in for the module's string table: tests fill it.

// Sets the text of string resource `id`; a null text removes the resource.
void OsSetTestString(unsigned id, const char* text);
