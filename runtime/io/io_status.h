#pragma once
// Status words of the file, stream, compression and bank layers. 0 is success;
// every failure is a distinct word so that callers can pass it on unchanged.
#include <cstdint>

enum : uint32_t {
    kIoOk = 0,
    kIoGeneralFailure = 0x40000000,  // out of memory, or any other failure
    kIoReadFailed = 0x40000001,      // a read failed for a reason other than end of file
    kIoEndOfData = 0x40000002,       // fewer bytes were available than requested
    kIoWriteFailed = 0x40000003,     // a write failed for a reason other than a full disk
    kIoWriteIncomplete = 0x40000004, // a write was incomplete (disk full)
    kIoCannotOpen = 0x40000005,      // a file could not be opened
    kIoCannotCreate = 0x40000006,    // a file could not be created
    kIoOutputFull = 0x40000007,      // a fixed-size memory output stream is full
    kIoCorruptData = 0x40000009,     // compressed data is corrupt, or the compressor failed
};
