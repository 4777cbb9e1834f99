#!/usr/bin/env bash
# Runs one language-test program with twrun and checks what it printed.
#   check-program.sh TWRUN PROGRAM.src
# A program whose first line is "// Expect: <error text>" must stop with that
# error ("<file>: <error text>"); any other program must run to its end and
# print nothing. A Windows twrun (*.exe) runs under Wine and is given the
# program as a Windows path.
set -u
runner=$1 program=$2
HERE=$(cd "$(dirname "$0")" && pwd)
name=$(basename "$program")
expected=$(head -n 1 "$program" | tr -d '\r' | sed -n 's|^// Expect: ||p')

case "$runner" in
  *.exe) output=$("$HERE/../../scripts/wine-test.sh" "$runner" "Z:$(echo "$program" | tr / '\\')" 2>&1) ;;
  *) output=$("$runner" "$program" 2>&1) ;;
esac
output=$(printf '%s' "$output" | tr -d '\r')

if [ -n "$expected" ]; then
  # twrun names the module by the path it was given: compare the line's end.
  want="$name: $expected"
  found=0
  while IFS= read -r line; do
    [[ "$line" == *"$want" && ( "$line" == "$want" || "$line" == *[/\\]"$want" ) ]] && found=1
  done <<<"$output"
  if [ $found -eq 0 ]; then
    printf 'expected: %s\nprinted:\n%s\n' "$want" "$output" >&2
    exit 1
  fi
elif [ -n "$output" ]; then
  printf 'expected the program to run to its end; printed:\n%s\n' "$output" >&2
  exit 1
fi
exit 0
