#!/usr/bin/env bash
# The main command: sets up what is missing, builds everything, packs the
# example application (examples/bouncing) onto the runtime executable and runs
# it under Wine on Xvfb. The launcher reports every message box the program
# shows and its exit code; a clean run reports only "exit: 0".
#
# The example runs as its end-to-end test drives it: it is held after a fixed
# number of frames, a picture of its window is saved beside the packed
# program, and its "End" button is clicked. Another folder named on the
# command line is packed and run as it is.
set -euo pipefail
# An application folder given on the command line, taken from where it was named.
example=$(realpath "${1:-$(dirname "$0")/../examples/bouncing}")
drive=$(realpath "$(dirname "$0")/../tests/e2e/cases/bouncing-example")
[ $# -gt 0 ] && drive=
cd "$(dirname "$0")/.."
HERE=$PWD/scripts
. "$HERE/wine-env.sh"
bash "$HERE/setup.sh"

# The Windows build that can run here: the product's win32 build under 32-bit
# Wine, or the same sources built for win64 where 32-bit processes cannot run.
arch=$(tw_wine_arch)
wpreset=$(tw_windows_preset)
for preset in native win32 $([ "$wpreset" = win64 ] && echo win64); do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

name=$(basename "$example")
work=$PWD/build/example/$name
app=$work/$name.exe
rm -rf "$work"; mkdir -p "$work"
# The native packer, onto the runtime executable of the build that runs.
build/native/tools/twpack "build/$wpreset/runtime/win32/shipped/tarnwheel.exe" "$example" "$app"
echo "== packed $example into $app"
# The example's arguments and the launcher's steps are its end-to-end case's.
args=()
if [ -n "$drive" ]; then
  read -r -a args <"$drive/args"
  cp "$drive/steps.txt" "$work/"
fi
echo "== running under Wine ($arch)"
launcher=$PWD/build/$wpreset/tests/e2e/launcher.exe
out=$(cd "$work" && "$HERE/with-display.sh" "$arch" "$HERE/wine-test.sh" "$launcher" 60000 "$app" "${args[@]}" |
      tr -d '\r')
echo "$out"
for picture in "$work"/*.bmp; do
  [ -f "$picture" ] && echo "== a picture of its window: $picture"
done
[ "$out" = "exit: 0" ]
