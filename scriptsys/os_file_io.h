#pragma once
// Reads and writes of the file script class that tell the platform's error
// code of a failure (the runtime error that scripts see), and tell the end of
// a file apart from a failed read.
#include "runtime/io/os_file.h"

#include <cstdint>

// Reads up to count bytes at the file pointer. Returns 0 with *got set to the
// number of bytes read (0 at the end of the file), or the platform's error
// code of a failed read (*got is then 0).
uint32_t OsReadSome(FileHandle handle, void* buffer, int32_t count, int32_t* got);

// Writes count bytes at the file pointer. Returns 0 when every byte was
// written; otherwise the platform's error code, the disk-full code when the
// platform wrote fewer bytes without naming an error. *put is the number of
// bytes actually written either way.
uint32_t OsWriteAll(FileHandle handle, const void* buffer, int32_t count, int32_t* put);

// Error code of the last failed platform call of this thread (an open or
// create); never 0: the platform's general failure code when none was set.
uint32_t OsLastFileError();
