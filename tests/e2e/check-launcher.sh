#!/usr/bin/env bash
# The launcher reports two boxes with text and icon, then the exit code.
set -u
HERE=$(cd "$(dirname "$0")/../../scripts" && pwd)
out=$("$HERE/wine-test.sh" "$1" 20000 "$2" "hand:Error #111 at line 3." "none:second" | tr -d '\r')
expected=$'box: Boxer|Error #111 at line 3.|hand\nbox: Boxer|second|none\nexit: 7'
if [ "$out" != "$expected" ]; then
  echo "launcher output differs:"; echo "$out"; exit 1
fi
echo "launcher: ok"
