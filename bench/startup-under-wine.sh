#!/usr/bin/env bash
# Start-up benchmark, run by hand: the time from process start to the first
# statement of a packaged program with 1 MB of script source, against an
# empty Win32 program started the same way, both under Wine. Two more
# references show where the time goes: an empty program that loads the same
# system libraries as the runtime, and the runtime without a package.
#
# The package holds about 1 MB of function definitions in several modules.
# The first part of the first module is the main program: its first statement
# is the one statement that runs, and its end of module ends the run (the other
# parts only contribute functions), so the process ends right after its first
# statement. All programs are started by a small Windows timer (CreateProcess
# to process end, median of RUNS runs).
#
# Usage: bench/startup-under-wine.sh [RUNS]   (after a Windows build: the
# win64 preset where 32-bit Wine cannot run, else win32; and a native build)
set -euo pipefail
cd "$(dirname "$0")/.."
HERE=$PWD/scripts
. "$HERE/wine-env.sh"
runs=${1:-15}
arch=$(tw_wine_arch)
wpreset=$(tw_windows_preset)
build=${TW_BENCH_WINDOWS_BUILD:-build/$wpreset}
packer=${TW_BENCH_PACKER:-build/native/tools/twpack}
work=build/bench-startup
rm -rf "$work"; mkdir -p "$work/app"

# About 1 MB of script in 8 modules of 4 parts.
python3 - "$work/app" <<'PY'
import os, sys
out = sys.argv[1]
size = 0
lines = ["title = Startup", "speed = 100"]
n = 0
for m in range(8):
    lines.append(f"[sources Module{m}]")
    for p in range(4):
        name = f"m{m}p{p}.src"
        body = ["Var done = 1;\n"] if m == 0 and p == 0 else []
        while sum(len(x) for x in body) < 32 * 1024:
            body.append(f"Function F{n}(a, b) {{\n    Var c = a * {n} + b;\n"
                        f"    If (c > 100) {{ c = c - 100; }}\n    Return c;\n}}\n")
            n += 1
        text = "".join(body)
        size += len(text)
        open(os.path.join(out, name), "w").write(text)
        lines.append(name)
open(os.path.join(out, "manifest.txt"), "w").write("\n".join(lines) + "\n")
print(f"script source: {size} bytes, {n} functions")
PY

"$packer" "$build/runtime/win32/shipped/tarnwheel.exe" "$work/app" "$work/startup.exe"
cxx=$arch-w64-mingw32-g++-posix
$cxx -O2 -static -o "$work/startup_timer.exe" bench/wine/startup_timer.cpp
$cxx -O2 -static -mwindows -o "$work/empty.exe" bench/wine/empty_program.cpp
$cxx -O2 -static -mwindows -o "$work/empty_gui.exe" bench/wine/empty_gui_program.cpp -lcomctl32 -lwinmm
# The packed program must run clean (a failure box would stall the timer).
check=$("$HERE/with-display.sh" "$arch" "$HERE/wine-test.sh" "$build/tests/e2e/launcher.exe" 60000 \
        "$PWD/$work/startup.exe" | tr -d '\r')
if [ "$check" != "exit: 0" ]; then
  echo "the packed benchmark program does not run clean:"; echo "$check"; exit 1
fi
echo "A: packed runtime with 1 MB of script; B: empty Win32 program;"
echo "C: empty Win32 program loading the runtime's system libraries; D: runtime without package"
"$HERE/with-display.sh" "$arch" "$HERE/wine-test.sh" "$work/startup_timer.exe" "$runs" \
  "$PWD/$work/startup.exe" "$PWD/$work/empty.exe" "$PWD/$work/empty_gui.exe" "$(realpath "$build/runtime/win32/shipped/tarnwheel.exe")"
