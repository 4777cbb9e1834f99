#!/usr/bin/env bash
# One end-to-end case: packs the application folder of the case with the
# packer of this build onto the runtime executable of this build, runs it under
# Wine through the launcher, and compares what the launcher reports (message
# boxes and exit code) with the case's expect.txt, and the files the program
# wrote with the case's written/ folder.
#
# Usage: run-case.sh PACKER RUNTIME LAUNCHER CASE_DIR WORK_DIR
# A case folder holds manifest.txt and the files it names (none: the bare
# runtime runs), expect.txt (the work folder's Windows name written as WORK),
# and optionally:
#   written/  files the program must have written into its working folder;
#   cut       a byte count to cut from the end of the packed executable;
#   first     the name of another case folder packed first: this case is then
#             packed onto that packed executable (its package is replaced);
#   damage    present: one bit of the package record's check word is flipped;
#   files/    files copied into the working folder before the run;
#   steps.txt actions the launcher acts out while the program runs (see
#             launcher_main.cpp); captures it saves land in the working folder;
#   app       a path (from the case folder) of an application folder packed
#             in place of the case folder's own files;
#   args      the program's command-line arguments.
set -u
HERE=$(cd "$(dirname "$0")/../../scripts" && pwd)
packer=$1 runtime=$2 launcher=$3 case=$4 work=$5
rm -rf "$work"; mkdir -p "$work"
app=$work/app.exe

pack() {  # pack FOLDER ONTO OUT
  if ! "$HERE/wine-test.sh" "$packer" "$2" "$1" "$3"; then
    echo "run-case: packing $1 failed"; exit 1
  fi
}
source=$case
[ -f "$case/app" ] && source=$(cd "$case" && realpath "$(tr -d '\r\n' <app)")
if [ -f "$source/manifest.txt" ]; then
  base=$runtime
  if [ -f "$case/first" ]; then
    pack "$case/../$(cat "$case/first")" "$runtime" "$work/first.exe"
    base=$work/first.exe
  fi
  pack "$source" "$base" "$app"
  if [ -f "$case/first" ]; then
    # Replacing a package gives the same file as packing the bare runtime.
    pack "$case" "$runtime" "$work/direct.exe"
    if ! cmp -s "$app" "$work/direct.exe"; then
      echo "run-case: packing onto a packed executable differs from packing the runtime"
      ls -l "$app" "$work/direct.exe"; exit 1
    fi
  fi
else
  cp "$runtime" "$app"
fi
if [ -f "$case/cut" ]; then
  size=$(stat -c %s "$app")
  truncate -s $((size - $(cat "$case/cut"))) "$app"
fi

if [ -f "$case/damage" ]; then
  python3 - "$app" <<'PY' || { echo "run-case: no package record to damage"; exit 1; }
import sys
data = bytearray(open(sys.argv[1], "rb").read())
at = data.find(b"\x8fTW-PACKAGE-AT\x1a\x00")
if at < 0 or data[at + 16:at + 20] == b"\0\0\0\0":
    sys.exit(1)
data[at + 20] ^= 0x10  # the check word no longer complements the offset
open(sys.argv[1], "wb").write(data)
PY
fi

if [ -d "$case/files" ]; then cp "$case/files"/* "$work/"; fi
if [ -f "$case/steps.txt" ]; then cp "$case/steps.txt" "$work/"; fi
args=()
[ -f "$case/args" ] && read -r -a args <"$case/args"
out=$(cd "$work" && "$HERE/wine-test.sh" "$launcher" "${TW_E2E_TIMEOUT_MS:-30000}" "$app" "${args[@]}" | tr -d '\r')
# The work folder as the program sees it under Wine reads WORK in expect.txt.
winwork="Z:$(echo "$work" | tr / '\\')"
out=${out//"$winwork"/WORK}
expected=$(tr -d '\r' <"$case/expect.txt")
fail=0
if [ "$out" != "$expected" ]; then
  echo "run-case: the launcher reported:"; echo "$out"
  echo "run-case: expected:"; echo "$expected"
  fail=1
fi
if [ -d "$case/written" ]; then
  for f in "$case/written"/*; do
    name=$(basename "$f")
    if [ ! -f "$work/$name" ]; then
      echo "run-case: $name was not written"; fail=1
    elif ! cmp -s "$f" "$work/$name"; then
      echo "run-case: $name differs:"; diff "$f" "$work/$name" | head -20; fail=1
    fi
  done
fi
[ $fail -eq 0 ] && echo "run-case: $(basename "$case") ok"
exit $fail
