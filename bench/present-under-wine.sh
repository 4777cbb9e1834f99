#!/usr/bin/env bash
# Presentation benchmark, run by hand: a 640x480 32-bit surface shown in a
# window 500 times through the library against the raw GDI calls, under Wine
# (the win64 build where 32-bit Wine cannot run, else win32).
# Usage: bench/present-under-wine.sh   (after a Windows build)
set -euo pipefail
cd "$(dirname "$0")/.."
HERE=$PWD/scripts
. "$HERE/wine-env.sh"
arch=$(tw_wine_arch)
wpreset=$(tw_windows_preset)
build=${TW_BENCH_WINDOWS_BUILD:-build/$wpreset}
"$HERE/with-display.sh" "$arch" "$HERE/wine-test.sh" "$build/bench/wine/present_bench.exe" | tr -d '\r'
