#!/usr/bin/env bash
# Runs every test: the host unit tests against the stand-in, then both Windows
# builds with their static checks, and the Wine suite on the x64 build (unit
# tests on the Windows side of the seam and end-to-end scenarios on the real
# executable). Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-tools.sh

mkdir -p build
run_preset() {
  local preset=$1 log="build/$1.log"
  echo "== $preset: build (log in $log)"
  if ! { cmake --preset "$preset" && cmake --build --preset "$preset"; } >"$log" 2>&1; then
    cat "$log"
    exit 1
  fi
  ctest --preset "$preset"
}

run_preset host
run_preset win64
run_preset win32
