#!/usr/bin/env bash
# The main command: sets up what is missing, builds everything, packs the
# example application (examples/hello) onto the runtime executable and runs it
# under Wine on Xvfb. The launcher reports every message box the program shows
# and its exit code; a clean run reports only "exit: 0".
set -euo pipefail
# An application folder given on the command line, taken from where it was named.
example=$(realpath "${1:-$(dirname "$0")/../examples/hello}")
cd "$(dirname "$0")/.."
HERE=$PWD/scripts
. "$HERE/wine-env.sh"
bash "$HERE/setup.sh"

# The Windows build that can run here: the product's win32 build under 32-bit
# Wine, or the same sources built for win64 where 32-bit processes cannot run.
arch=$(tw_wine_arch)
wpreset=win32
[ "$arch" = x86_64 ] && wpreset=win64
for preset in native win32 $([ "$wpreset" = win64 ] && echo win64); do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

app=build/example/$(basename "$example").exe
mkdir -p build/example
# The native packer, onto the runtime executable of the build that runs.
build/native/tools/twpack "build/$wpreset/runtime/win32/shipped/tarnwheel.exe" "$example" "$app"
echo "== packed $example into $app"
echo "== running under Wine ($arch)"
out=$("$HERE/with-display.sh" "$arch" "$HERE/wine-test.sh" "build/$wpreset/tests/e2e/launcher.exe" 60000 \
      "$PWD/$app" | tr -d '\r')
echo "$out"
[ "$out" = "exit: 0" ]
