#!/usr/bin/env bash
# Drawing benchmark, run by hand: styled shapes and rich text against the raw
# GDI calls, under Wine (the win64 build where 32-bit Wine cannot run, else
# win32).
# Usage: bench/drawing-under-wine.sh   (after a Windows build)
exec "$(dirname "$0")/run-wine-bench.sh" drawing_bench
