#pragma once
// String resources of the program's own module.

// Copies the string resource `id` into buf (size bytes, terminator included) and
// returns the number of bytes copied without the terminator: at most size - 1,
// 0 when the resource does not exist or size is below 1.
int OsLoadString(unsigned id, char* buf, int size);
