#!/usr/bin/env bash
# The test command: sets up what is missing, builds every preset, runs the native
# tests under AddressSanitizer and UBSan and the Windows tests under Wine on Xvfb,
# and ends with one summary line.
set -uo pipefail
cd "$(dirname "$0")/.."
HERE=$PWD/scripts
. "$HERE/wine-env.sh"

step() { echo "== $*"; }
fail=0

step "set-up"
bash "$HERE/setup.sh" || exit 1

arch=$(tw_wine_arch)
wpreset=$(tw_windows_preset)

for preset in native win32 $([ "$wpreset" = win64 ] && echo win64); do
  step "build $preset"
  cmake --preset "$preset" >/dev/null || exit 1
  cmake --build --preset "$preset" || exit 1
done

results=$PWD/build/test-results
rm -rf "$results" build/*/Testing/Temporary/LastTestsFailed.log
mkdir -p "$results/native" "$results/wine" "$results/wine16"

step "native tests (sanitizers)"
GTEST_OUTPUT="xml:$results/native/" ctest --preset native || fail=1

step "Windows tests under Wine ($arch)"
# Wine sees the Linux root as drive Z:, and GoogleTest needs a Windows path.
GTEST_OUTPUT="xml:Z:$(echo "$results/wine/" | tr / '\\')" "$HERE/with-display.sh" "$arch" ctest --preset "$wpreset" || fail=1

step "DirectDraw surfaces and render drivers on a 16-bit screen ($arch)"
# The DirectDraw cases, the drivers' catalogues and the depth probe once more
# with the X screen at 16 bits (5-6-5; the run above has it at 24).
wine16="Z:$(echo "$results/wine16/" | tr / '\\')"
TW_SCREEN_DEPTH=16 "$HERE/with-display.sh" "$arch" bash -c '
  "$1/wine-test.sh" "build/$2/tests/graphics2d_platform_tests.exe" --gtest_filter="DDSurface*" "--gtest_output=xml:$3dd_surface.xml" || exit 1
  "$1/wine-test.sh" "build/$2/tests/render_platform_tests.exe" "--gtest_output=xml:$3render.xml"' _ "$HERE" "$wpreset" "$wine16" || fail=1

step "summary"
# A test executable that crashed or timed out leaves no report of its own: count
# each failed ctest entry too.
failed_runs=0
for f in build/native/Testing/Temporary/LastTestsFailed.log build/$wpreset/Testing/Temporary/LastTestsFailed.log; do
  [ -f "$f" ] && failed_runs=$((failed_runs + $(grep -c . "$f")))
done
python3 "$HERE/summarize-tests.py" "$results" "$failed_runs"
exit $fail
