#pragma once
// Test seam of the native stand-in for the Escape key (runtime/io/os_directory.h):
// the native build has no keyboard, so tests say when Escape goes down.

namespace tw {
namespace testing {

// IsEscapeKeyDown answers false for the next `checks` calls and true from then
// on; 0 holds Escape down now, -1 releases it.
void SetEscapeKeyDownAfter(int checks);

}  // namespace testing
}  // namespace tw
