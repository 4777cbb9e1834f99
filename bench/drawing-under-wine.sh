#!/usr/bin/env bash
# Drawing benchmark, run by hand: styled shapes and rich text against the raw
# GDI calls, under Wine (the win64 build where 32-bit Wine cannot run, else
# win32).
# Usage: bench/drawing-under-wine.sh   (after a Windows build)
set -euo pipefail
cd "$(dirname "$0")/.."
HERE=$PWD/scripts
. "$HERE/wine-env.sh"
arch=$(tw_wine_arch)
wpreset=$(tw_windows_preset)
build=${TW_BENCH_WINDOWS_BUILD:-build/$wpreset}
"$HERE/with-display.sh" "$arch" "$HERE/wine-test.sh" "$build/bench/wine/drawing_bench.exe" | tr -d '\r'
