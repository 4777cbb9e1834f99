// The record the packer patches: marker, package offset, check word. It is
// written to and never read as a whole; the words are read volatile.
#include "runtime/package/package_location.h"

#include <cstddef>

namespace {

struct PackageLocation {
    char marker[kPackageMarkerSize];
    uint32_t offset;
    uint32_t check;
};

static_assert(sizeof(TW_PACKAGE_MARKER) == kPackageMarkerSize, "marker is 16 bytes");
static_assert(offsetof(PackageLocation, offset) == kPackageOffsetField, "offset word follows the marker");
static_assert(offsetof(PackageLocation, check) == kPackageCheckField, "check word follows the offset");

// Not const: it must live in the initialised data that the packer patches.
volatile PackageLocation g_packageLocation = {TW_PACKAGE_MARKER, 0u, 0xFFFFFFFFu};

}  // namespace

uint32_t GetStoredPackageOffset() {
    const uint32_t offset = g_packageLocation.offset;
    const uint32_t check = g_packageLocation.check;
    return (offset ^ check) == 0xFFFFFFFFu ? offset : 0;
}
