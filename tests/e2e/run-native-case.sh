#!/usr/bin/env bash
# The native half of a case marked `native`: the native runner runs the case's
# main.src in an empty work folder, and every file of the case's written/
# folder must come out byte for byte the same as under Wine.
# Usage: run-native-case.sh TWRUN CASE_DIR WORK_DIR
set -u
twrun=$1 case=$2 work=$3
rm -rf "$work"; mkdir -p "$work"
if ! (cd "$work" && "$twrun" "$case/main.src"); then
  echo "run-native-case: $case/main.src failed"; exit 1
fi
fail=0
for f in "$case/written"/*; do
  name=$(basename "$f")
  if [ ! -f "$work/$name" ]; then
    echo "run-native-case: $name was not written"; fail=1
  elif ! cmp -s "$f" "$work/$name"; then
    echo "run-native-case: $name differs"; cmp "$f" "$work/$name" | head -3; fail=1
  fi
done
[ $fail -eq 0 ] && echo "run-native-case: $(basename "$case") ok"
exit $fail
