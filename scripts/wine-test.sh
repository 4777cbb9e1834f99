#!/usr/bin/env bash
# Runs one Windows test executable under Wine with a time-out. Wine's output goes
# to a file first (its helper processes would hold a pipe open for seconds).
# A crash that Wine reports but ends with exit 0 still counts as a failure.
set -u
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/wine-env.sh"
arch=$(tw_pe_arch "$1")
if [ -z "${DISPLAY:-}" ]; then
  exec "$HERE/with-display.sh" "$arch" "$0" "$@"
fi
tw_wine_select "$arch"
tw_wine_prefix

log=$(mktemp)
timeout -k 5 "${TW_WINE_TIMEOUT:-300}" "$WINELOADER" "$@" >"$log" 2>&1
rc=$?
cat "$log"
if [ $rc -eq 0 ] && grep -q 'wine: Unhandled' "$log"; then
  echo "wine-test: unhandled exception reported with exit code 0" >&2
  rc=1
fi
[ $rc -eq 124 ] && echo "wine-test: timed out" >&2
rm -f "$log"
exit $rc
