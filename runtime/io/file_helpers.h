#pragma once
// File helpers built on the file layer (runtime/io/os_file.h): length-prefixed
// strings, extension changes and temporary file names.
#include "runtime/io/os_file.h"

#include <cstddef>
#include <cstdint>

class CRefString;

// Reads a 16-bit little-endian length and that many bytes into a new
// zero-terminated block (free it with std::free). A length larger than what
// is left in the file is refused before anything is allocated (kIoEndOfData).
// Returns 0, the failing read status, or kIoGeneralFailure when out of memory;
// *text is null on failure.
uint32_t ReadCountedString(FileHandle handle, char** text);

// Replaces the extension of the path in a buffer of `size` bytes: the
// extension gets a leading "." unless it has one; when the path's last "." has
// no folder separator after it, everything from that "." is replaced,
// otherwise the extension is appended. The result is cut to size - 1 chars.
void ChangeFileExtension(char* path, size_t size, const char* extension);
// The same on a string: a non-empty path is split into drive, folder, base
// name and extension and rebuilt with the new extension (with a leading "."
// unless it has one); an empty extension leaves the path without one.
void ChangeFileExtensionString(CRefString& path, const char* extension);

// Finds an unused file name "<folder>\\<prefix><n>.<extension>" for n = start
// + 1, start + 2, ... by creating the file; the system's temporary folder when
// folder is null or empty, "tmp" when extension is null or empty (a leading
// "." is dropped). The winning name goes to `name`; the created empty file is
// deleted again unless `keep` is set. Returns the number used, or -1 (name
// empty) when the folder is missing or cannot take new files, the name does
// not fit, or the numbers run out.
int32_t MakeTempFileName(const char* folder, const char* prefix, char* name, size_t nameSize,
                         const char* extension, int keep, int32_t start);
