#pragma once
// Native stand-in for the module's string table: the texts of runtime.rc that
// portable code reads are built in; tests may set more.

// Sets the text of string resource `id`; a null text removes the resource.
void OsSetTestString(unsigned id, const char* text);
