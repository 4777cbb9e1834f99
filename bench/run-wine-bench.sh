#!/usr/bin/env bash
# Runs one benchmark of bench/wine/ under Wine, from the Windows build this
# machine's Wine runs (win32, or win64 where 32-bit Wine cannot run;
# TW_BENCH_WINDOWS_BUILD names another build folder).
# Usage: bench/run-wine-bench.sh NAME   (runs bench/wine/NAME.exe of that build)
set -euo pipefail
cd "$(dirname "$0")/.."
HERE=$PWD/scripts
. "$HERE/wine-env.sh"
build=${TW_BENCH_WINDOWS_BUILD:-build/$(tw_windows_preset)}
"$HERE/with-display.sh" "$(tw_wine_arch)" "$HERE/wine-test.sh" "$build/bench/wine/$1.exe" | tr -d '\r'
