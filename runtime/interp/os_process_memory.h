#pragma once
// The process-memory query: how much memory the running program uses. The query
// functions of the operating system are bound when the service is opened, and
// the service is shared by a use count (the sound timer thread may use it too).
#include <cstddef>

// Prepares the lock of the service; called once at start-up (later calls do
// nothing). Opening the service without it is still safe.
void InitProcessMemoryLock();

// Opens the service (binding the query functions on first use); every call adds
// one use. 1 when a query function is available, else 0.
int LoadProcessMemoryApi();

// Drops one use; the last one unbinds the query functions. Answers 1.
int FreeProcessMemoryApi();

// Bytes of memory the process uses now; 0 when the service is not open or the
// figure cannot be had.
std::size_t GetProcessUsedMemory();
