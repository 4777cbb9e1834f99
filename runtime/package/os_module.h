#pragma once
// The program's own module: the instance handle the entry stores (used for
// resources, window classes and the program's own file name).
#include <cstdint>

// Stores the module instance given to the program entry (a Windows HINSTANCE
// in the Windows build; null stands for the program's own module).
void OsSetModuleInstance(void* instance);
void* OsGetModuleInstance();

// The full name of the program's own executable file, cut to size - 1
// characters; returns its length, 0 on failure (the buffer then holds "").
int32_t OsGetProgramFileName(char* buffer, int32_t size);
