#!/usr/bin/env bash
# Presentation benchmark, run by hand: a 640x480 32-bit surface shown in a
# window 500 times through the library against the raw GDI calls, under Wine
# (the win64 build where 32-bit Wine cannot run, else win32).
# Usage: bench/present-under-wine.sh   (after a Windows build)
exec "$(dirname "$0")/run-wine-bench.sh" present_bench
