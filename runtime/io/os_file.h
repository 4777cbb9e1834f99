#pragma once
// File handles of the operating system, as the streams, the package and bank
// readers and the file script classes use them. A handle is a plain integer,
// -1 when there is none: a Win32 handle in the Windows build, a descriptor in
// the native one. Names use "\\" as the folder separator; the native layer
// reads either separator.
//
// Every operation is 32-bit: offsets, sizes and counts are signed 32-bit byte
// counts, as in the file formats the runtime reads.
#include <cstddef>
#include <cstdint>

typedef intptr_t FileHandle;
const FileHandle kNoFileHandle = -1;

// Opens an existing file. Mode 0: read, shared for reading. 1: write, no
// sharing. 2: read and write, shared for reading. Other modes act as 0.
// A folder is not a file: opening one fails. Returns the handle or -1.
FileHandle OpenFileHandle(const char* name, int mode);
// Creates (or truncates) a file for reading and writing, no sharing; or -1.
FileHandle CreateFileHandle(const char* name);
// Creates a file that must not exist yet (read and write, no sharing); -1
// when it exists or cannot be created.
FileHandle CreateNewFileHandle(const char* name);
void CloseFileHandle(FileHandle handle);

// Reads exactly count bytes: 0; kIoEndOfData when fewer arrived; kIoReadFailed
// for any other failure.
uint32_t ReadFileChecked(FileHandle handle, void* buffer, int32_t count);
// Reads up to count bytes; returns the number read (0 on failure).
int32_t ReadFileCount(FileHandle handle, void* buffer, int32_t count);
// Writes exactly count bytes: 0; kIoWriteIncomplete when fewer were written or
// the disk is full; kIoWriteFailed for any other failure.
uint32_t WriteFileChecked(FileHandle handle, const void* buffer, int32_t count);

// File pointer operations; each returns the new pointer, or -1 on failure.
int32_t TellFileHandle(FileHandle handle);
int32_t SeekFileAbsolute(FileHandle handle, int32_t offset);
int32_t SeekFileRelative(FileHandle handle, int32_t offset);
int32_t SeekFileFromEnd(FileHandle handle, int32_t offset);
// Size of an open file (the file pointer does not move); -1 on failure.
int32_t GetFileHandleSize(FileHandle handle);

// Size of a named file; 0 when it does not exist or is a folder.
int32_t GetPathFileSize(const char* name);
// 1 when the name is an existing folder, else 0.
int IsDirectoryPath(const char* name);
// 1 when anything of that name exists, else 0.
int PathExists(const char* name);
// Deletes a file, or else an empty folder of that name: 0, or -1 on failure.
int DeletePathFile(const char* name);
// Renames existingName to newName (the new name first): 0, or -1.
int RenamePathFile(const char* newName, const char* existingName);
// Creates a folder: 0, or -1.
int CreateDirectoryPath(const char* name);
// Kind of drive of a root such as "C:\\": the Windows drive type numbers
// (1 no such root, 2 removable, 3 fixed, 4 remote, 5 CD-ROM, 6 RAM disk).
int GetDriveKind(const char* root);
// The system's folder for temporary files, as given by the system (it may end
// with a separator); returns its length, 0 on failure or when it does not fit.
int32_t GetTempFolder(char* buffer, size_t size);
