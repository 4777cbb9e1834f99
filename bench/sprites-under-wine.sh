#!/usr/bin/env bash
# Sprite benchmark, run by hand: our sprite cycles under Wine (the win64 build
# where 32-bit Wine cannot run, else win32), with the native run's figures and
# its pixman and SDL2 references beside them (from the `bench` preset's
# sprites_bench when it is built; pixman and SDL2 are not built for Windows).
# Usage: bench/sprites-under-wine.sh   (after a Windows build, and the bench build for the references)
set -euo pipefail
cd "$(dirname "$0")/.."
native=${TW_BENCH_NATIVE_BUILD:-build/bench}/bench/sprites_bench
if [ -x "$native" ]; then
  echo "== native (Linux, optimised), with the references"
  "$native"
else
  echo "== no native references: build the bench preset for them ($native)"
fi
echo "== under Wine"
bench/run-wine-bench.sh sprites_bench
