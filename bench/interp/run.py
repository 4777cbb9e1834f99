#!/usr/bin/env python3
"""Interpreter benchmark: the programs of this folder in the script language,
Lua 5.4 and Python 3, run side by side on the native build (bench preset:
optimised, no sanitizers) and on the i686 Windows build under Wine; prints
each time, the ratio of the script's time to Lua's and to Python's (below 1:
the script is faster), their geometric means, and the bars:
no program slower than Python 3, the geometric mean at most 1.5x Lua 5.4, no
program above 3x Lua 5.4, string building linear in the number of appends
both ways (`s += x` and `t = t + x`: 1,000,000 appends under 0.1 s).

    bench/interp/run.py [--runs N] [--cpu] [--native-only | --wine-only]
                        [--native-build DIR] [--windows-build DIR]

Times are the best of N runs (default 3). Natively every program is timed
from process start to end: wall time, or with --cpu the processor time
(user and system) the process used, which a machine shared with other work
disturbs far less. Under Wine the script's time is measured inside
twrun.exe (`twrun --time`: compile and run, Wine's process start excluded,
which alone costs more than most runs, and the interpreter's Load apart:
under Wine its DirectX level probe alone takes about a third of a second,
reported once as the load time); Lua and Python run natively there
too, there is no Windows build of them here. The Windows build is the win32
preset's, or the win64 preset's where 32-bit Wine cannot run. The build
directories are configured and built (target twrun) when needed.
"""
import argparse
import math
import os
import re
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
# Each family of operators, both loop kinds, one-line and multi-line bodies,
# integer, double and text arithmetic, arrays of one and two dimensions,
# members, methods, recursion, Switch over integers and texts, text building
# both ways and a mixed game frame.
PROGRAMS = ["fib", "hanoi", "functions", "loop", "count_and", "while_loop", "parens", "bitwise",
            "compare_logic", "muldiv", "doubles", "strings", "text_plus", "text_ops", "arrays",
            "array_fill", "array2d", "members", "methods", "switch", "switch_text", "game_frame"]
# Programs that build a text by 1,000,000 appends, for the linearity check.
BUILDERS = ["strings", "text_plus"]
LUA = os.environ.get("LUA", "lua5.4")
PYTHON = os.environ.get("PYTHON", "/usr/bin/python3" if os.path.exists("/usr/bin/python3") else "python3")


def quiet(command):
    done = subprocess.run(command, cwd=ROOT, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    if done.returncode != 0:
        sys.exit(f"run: {' '.join(command)} failed:\n{done.stdout.decode(errors='replace')}")


def build(preset, directory, exe):
    if not os.path.exists(os.path.join(directory, "build.ninja")):
        quiet(["cmake", "--preset", preset, "-B", directory])
    quiet(["cmake", "--build", directory, "--target", "twrun"])
    path = os.path.join(directory, "tools", exe)
    if not os.path.exists(path):
        sys.exit(f"run: {path} was not built")
    return path


def wall(command, cwd=HERE):
    """Seconds from start to end of a command, which must succeed silently."""
    start = time.perf_counter()
    done = subprocess.run(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    seconds = time.perf_counter() - start
    if done.returncode != 0 or done.stdout.strip():
        sys.exit(f"run: {' '.join(command)} failed:\n{done.stdout.decode(errors='replace')}")
    return seconds


def cpu(command, cwd=HERE):
    """Processor seconds (user and system) of a command, which must succeed silently."""
    process = subprocess.Popen(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    out = process.stdout.read()
    _, status, usage = os.wait4(process.pid, 0)
    process.returncode = os.waitstatus_to_exitcode(status)
    if process.returncode != 0 or out.strip():
        sys.exit(f"run: {' '.join(command)} failed:\n{out.decode(errors='replace')}")
    return usage.ru_utime + usage.ru_stime


def inner(command, cwd=HERE):
    """The time a `twrun --time` run reports about itself (its Load not included)."""
    done = subprocess.run(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    out = done.stdout.decode(errors="replace").replace("\r", "")
    found = re.search(r"^time: ([0-9.]+)$", out, re.M)
    rest = re.sub(r"^(time|load): [0-9.]+\n?", "", out, flags=re.M).strip()
    if done.returncode != 0 or found is None or rest:
        sys.exit(f"run: {' '.join(command)} failed:\n{out}")
    return float(found.group(1))


def best(runs, measure, command, cwd=HERE):
    return min(measure(command, cwd) for _ in range(runs))


def geomean(values):
    return math.exp(sum(math.log(v) for v in values) / len(values))


def strings_source(name, appends, work):
    """A text-building program with another number of appends, for the linearity check."""
    text = open(os.path.join(HERE, f"{name}.src")).read().replace("1000000", str(appends))
    path = os.path.join(work, f"{name}_{appends}.src")
    with open(path, "w") as f:
        f.write(text)
    return path


def table(title, runs, script, measure, cwd, work, reference=wall):
    """Runs every program; returns the ratios to Lua and Python and the string times."""
    print(f"\n{title}")
    print(f"{'program':<14} {'script':>9} {'lua':>9} {'python':>9} {'x lua':>8} {'x python':>9}")
    to_lua, to_python = [], []
    for name in PROGRAMS:
        ts = best(runs, measure, script + [f"{name}.src"], cwd)
        tl = best(runs, reference, [LUA, f"{name}.lua"])
        tp = best(runs, reference, [PYTHON, f"{name}.py"])
        to_lua.append(ts / tl)
        to_python.append(ts / tp)
        print(f"{name:<14} {ts:9.3f} {tl:9.3f} {tp:9.3f} {ts / tl:8.2f} {ts / tp:9.2f}", flush=True)
    print(f"{'geo. mean':<14} {'':9} {'':9} {'':9} {geomean(to_lua):8.2f} {geomean(to_python):9.2f}")
    # Linearity: the same programs with a quarter and with all of the appends.
    building = []
    for name in BUILDERS:
        small = os.path.relpath(strings_source(name, 250000, work), cwd)
        large = os.path.relpath(strings_source(name, 1000000, work), cwd)
        t_small = best(runs, measure, script + [small], cwd)
        t_large = best(runs, measure, script + [large], cwd)
        building.append(t_large)
        print(f"string building ({name}): 250,000 appends {t_small:.3f} s, 1,000,000 appends {t_large:.3f} s "
              f"(x{t_large / t_small:.2f}; linear is x4)")
    slower = [n for n, r in zip(PROGRAMS, to_python) if r > 1]
    above = [n for n, r in zip(PROGRAMS, to_lua) if r > 3]
    print("bars: slower than Python 3: " + (", ".join(slower) if slower else "none")
          + f"; geometric mean to Lua 5.4 {geomean(to_lua):.2f} (bar 1.5)"
          + "; above 3x Lua 5.4: " + (", ".join(above) if above else "none")
          + f"; 1,000,000 appends at most {max(building):.3f} s (bar 0.1 s)")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--cpu", action="store_true", help="processor time in place of wall time natively")
    parser.add_argument("--native-only", action="store_true")
    parser.add_argument("--wine-only", action="store_true")
    parser.add_argument("--native-build", default=os.path.join(ROOT, "build", "bench"))
    parser.add_argument("--windows-build", help="default: build/win32, or build/win64 on a 64-bit-only Wine")
    args = parser.parse_args()
    wine = not args.native_only
    native = not args.wine_only

    arch = os.environ.get("TW_IBENCH_ARCH") or subprocess.run(
        ["bash", "-c", f". {ROOT}/scripts/wine-env.sh; tw_wine_arch"], stdout=subprocess.PIPE, text=True).stdout.strip()
    preset = "win32" if arch == "i686" else "win64"
    windows_build = os.path.abspath(args.windows_build or os.path.join(ROOT, "build", preset))
    if wine and "TW_IBENCH_DISPLAY" not in os.environ:
        # One Xvfb display and one wineserver for every Wine run.
        build(preset, windows_build, "twrun.exe")
        if native:
            build("bench", os.path.abspath(args.native_build), "twrun")
        env = dict(os.environ, TW_IBENCH_DISPLAY="1", TW_IBENCH_ARCH=arch)
        os.execvpe("bash", ["bash", os.path.join(ROOT, "scripts", "with-display.sh"), arch,
                            sys.executable] + sys.argv, env)

    for tool in (LUA, PYTHON):
        if shutil.which(tool) is None:
            sys.exit(f"run: {tool} is missing (scripts/setup.sh installs it)")
    work = os.path.join(os.path.abspath(args.native_build), "interp-bench")
    os.makedirs(work, exist_ok=True)
    revision = subprocess.run(["git", "-C", ROOT, "describe", "--always", "--dirty"], stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, text=True).stdout.strip() or "unknown"
    print(f"sources {revision}; best of {args.runs} runs, seconds; Lua: {LUA}, Python: {PYTHON}")
    if native:
        twrun = build("bench", os.path.abspath(args.native_build), "twrun")
        measure = cpu if args.cpu else wall
        kind = "processor" if args.cpu else "wall"
        table(f"native x86-64 ({os.path.relpath(twrun, ROOT)}, {kind} time of each process)",
              args.runs, [twrun], measure, HERE, work, measure)
    if wine:
        twrun = build(preset, windows_build, "twrun.exe")
        # Wine needs no Windows path: relative names resolve in the current folder.
        command = ["bash", os.path.join(ROOT, "scripts", "wine-test.sh"), twrun, "--time"]
        inner(command + ["fib.src"])  # the first Wine process starts the prefix's services
        load = subprocess.run(command + ["fib.src"], cwd=HERE, stdout=subprocess.PIPE, text=True).stdout
        print("interpreter Load under Wine: " + " ".join(re.findall(r"^load: ([0-9.]+)", load, re.M)) + " s")
        table(f"{arch} under Wine ({os.path.relpath(twrun, ROOT)}, wall time inside twrun.exe; "
              "Lua and Python native, wall time)", args.runs, command, inner, HERE, work)


if __name__ == "__main__":
    main()
