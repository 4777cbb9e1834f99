#pragma once
// Where the application package starts in the runtime's own executable file.
//
// The runtime's initialised data holds a record of a 16-byte marker, the
// package's file offset and a check word (the offset's complement). The packer
// finds the record by its marker in the executable's data section and patches
// the two words; the runtime reads them through a volatile access, so that the
// compiler cannot fold the unpatched values into the code. The marker occurs
// exactly once in the executable: nothing but the record spells it out.
#include <cstdint>

// The marker, for the packer: the 15 characters of this literal and its
// terminating zero (16 bytes).
#define TW_PACKAGE_MARKER "\x8fTW-PACKAGE-AT\x1a"
constexpr int kPackageMarkerSize = 16;
// Byte offsets of the two words from the start of the marker.
constexpr int kPackageOffsetField = 16;
constexpr int kPackageCheckField = 20;

// The stored package offset: 0 when the executable carries no package, and
// also when the check word does not match (a damaged word means no package).
uint32_t GetStoredPackageOffset();
