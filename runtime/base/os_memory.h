#pragma once
// Heap services the portable core needs from the operating system.

// Returns unused heap memory to the system so that a failed allocation can be
// retried once; a no-op where the C library has no such service.
void OsCompactHeap();
