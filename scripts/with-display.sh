#!/usr/bin/env bash
# Runs a command with one Xvfb display and one persistent wineserver for all the
# Wine processes it starts; both are stopped afterwards.
set -u
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/wine-env.sh"

exec 3>&- 2>/dev/null || true
fifo=$(mktemp -u); mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
xvfb_pid=$!
read -r -t 20 display <"$fifo" || { echo "with-display: Xvfb did not start" >&2; kill $xvfb_pid; exit 1; }
rm -f "$fifo"
export DISPLAY=:$display

tw_wine_prefix
wineserver -p >/dev/null 2>&1

"$@"
rc=$?

wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
kill $xvfb_pid 2>/dev/null; wait $xvfb_pid 2>/dev/null
exit $rc
