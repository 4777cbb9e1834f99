#pragma once
// Folder listings of the operating system, as the directory scan needs them.
// Names use "\\" as the folder separator; the native layer reads "/" too.
//
// The native stand-in lists a folder with opendir/readdir: "*.*" and "*" give
// every entry, other name patterns are filtered with MatchWildcard. It has no
// drive letters (its one root is "/") and no keyboard: Escape is a flag that
// tests set (runtime/posix/escape_key_stand_in.h).
#include <cstddef>
#include <cstdint>

typedef intptr_t FindHandle;
const FindHandle kNoFindHandle = -1;

const uint32_t kFindAttributeReadOnly = 0x1;
const uint32_t kFindAttributeDirectory = 0x10;
const uint32_t kFindAttributeArchive = 0x20;

// One entry of a listing, as the system's find record: times in 100 ns units
// since 1601-01-01 UTC, a name of at most 259 characters.
struct FindRecord {
    uint32_t attributes;
    uint64_t creationTime;
    uint64_t accessTime;
    uint64_t writeTime;
    uint64_t size;
    char name[260];
};

// What a listing must fill in: everything, or only names and attributes (a
// scan that needs no sizes or times spares the native layer a stat per entry;
// size and times may then be 0).
enum FindDetail { kFindEverything, kFindNamesAndKinds };

// Starts a listing of the entries that match pattern (a folder, "\\", and a
// name pattern with "*" and "?") and fills record with the first one; returns
// the handle, or kNoFindHandle when nothing matches or the folder is missing.
FindHandle FindFirstEntry(const char* pattern, FindRecord* record, FindDetail detail = kFindEverything);
// Fills record with the next entry: false at the end.
bool FindNextEntry(FindHandle handle, FindRecord* record);
void FindCloseEntry(FindHandle handle);

// The full path of a (possibly relative) path into buffer; returns its
// length, or 0 when it fails or does not fit with its terminator.
size_t GetFullPathOf(const char* path, char* buffer, size_t size);

// The roots of the logical drives ("C:\\" ...) into buffer as NUL-terminated
// strings ended by an empty one. Returns the length written without the last
// NUL; when the buffer is too small, the size it needs (nothing written);
// 0 on failure.
size_t GetLogicalDriveRoots(char* buffer, size_t size);

// Whether the Escape key is held down at this moment.
bool IsEscapeKeyDown();
