#!/usr/bin/env bash
# Runs a command with one Xvfb display and one persistent wineserver for all the
# Wine processes it starts; both are stopped afterwards.
# Usage: with-display.sh ARCH command...   (ARCH: i686 or x86_64)
# TW_SCREEN_DEPTH sets the screen's depth in bits (24 when unset).
set -u
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/wine-env.sh"
arch=$1; shift
tw_wine_select "$arch"

# One run per Wine prefix at a time: runs sharing a prefix share its wineserver,
# so a second run's windows would meet the first run's display, and the first
# run's "wineserver -k" would end the second run's processes. Only this shell
# holds the lock (fd 8 is closed for everything it starts), so a killed run
# never leaves it taken.
mkdir -p "$CACHE"
exec 8>"$CACHE/$(basename "$WINEPREFIX").run.lock"
flock 8

fifo=$(mktemp -u); mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1024x768x${TW_SCREEN_DEPTH:-24} -nolisten tcp -noreset 3>"$fifo" 8>&- >/dev/null 2>&1 &
xvfb_pid=$!
if ! read -r -t 20 display <"$fifo"; then
  echo "with-display: Xvfb did not start" >&2; kill $xvfb_pid 2>/dev/null; rm -f "$fifo"; exit 1
fi
rm -f "$fifo"
export DISPLAY=:$display

tw_wine_prefix
wineserver -p >/dev/null 2>&1 8>&-

"$@" 8>&-
rc=$?

wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
kill $xvfb_pid 2>/dev/null; wait $xvfb_pid 2>/dev/null
exit $rc
