#!/usr/bin/env bash
# The main command: sets up what is missing, builds everything and runs the
# example. Until the packed runtime exists, the example run is the native test
# set as a smoke check.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
for preset in native win32; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
ctest --preset native
