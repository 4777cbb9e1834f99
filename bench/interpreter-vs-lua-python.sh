#!/bin/sh
# Interpreter benchmark: the programs of bench/interp in the script language,
# Lua 5.4 and Python 3, run side by side; prints each time and the ratio of
# the script's time to Lua's and to Python's (below 1: the script is faster).
#
#   bench/interpreter-vs-lua-python.sh [twrun] [runs]
#
# twrun defaults to the optimised native build (cmake --preset bench -B
# build/bench; cmake --build build/bench --target twrun). Each program runs
# `runs` times (default 3) and its best time counts. Under Wine, pass a
# command such as "wine build/win32/tools/twrun.exe" (quoted).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
twrun=${1:-$here/../build/bench/tools/twrun}
runs=${2:-3}
lua=${LUA:-lua5.4}
python=${PYTHON:-python3}

best() {  # best wall time in seconds of a command, over $runs runs
    b=""
    i=0
    while [ $i -lt "$runs" ]; do
        s=$(date +%s.%N)
        "$@" > /dev/null || { echo "FAILED: $*" >&2; exit 1; }
        e=$(date +%s.%N)
        t=$(echo "$e - $s" | bc -l)
        if [ -z "$b" ] || [ "$(echo "$t < $b" | bc -l)" = 1 ]; then b=$t; fi
        i=$((i + 1))
    done
    echo "$b"
}

printf '%-10s %9s %9s %9s %9s %9s\n' program script lua python "x lua" "x python"
logsum_lua=0
logsum_py=0
n=0
for name in fib loop strings arrays methods switch; do
    # shellcheck disable=SC2086
    ts=$(best $twrun "$here/interp/$name.src")
    tl=$(best "$lua" "$here/interp/$name.lua")
    tp=$(best "$python" "$here/interp/$name.py")
    rl=$(echo "$ts / $tl" | bc -l)
    rp=$(echo "$ts / $tp" | bc -l)
    logsum_lua=$(echo "$logsum_lua + l($rl)" | bc -l)
    logsum_py=$(echo "$logsum_py + l($rp)" | bc -l)
    n=$((n + 1))
    printf '%-10s %9.3f %9.3f %9.3f %9.2f %9.2f\n' "$name" "$ts" "$tl" "$tp" "$rl" "$rp"
done
printf '%-10s %9s %9s %9s %9.2f %9.2f\n' "geo. mean" "" "" "" \
    "$(echo "e($logsum_lua / $n)" | bc -l)" "$(echo "e($logsum_py / $n)" | bc -l)"
