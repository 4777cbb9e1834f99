#pragma once
#include <cstdint>
// Texts of operating-system error codes.

// Writes the system's message for error code `code` (a GetLastError value) in
// the user's default language into buf (size bytes, terminator included);
// returns the number of bytes written without the terminator, 0 when the system
// has no text for the code.
int OsSystemErrorText(uint32_t code, char* buf, int size);

// The calling thread's last system error code (GetLastError).
uint32_t OsLastError();
