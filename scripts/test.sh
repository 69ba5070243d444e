#!/usr/bin/env bash
# Runs every test: the host unit tests against the stand-in, and again under
# AddressSanitizer and UndefinedBehaviorSanitizer; the three Windows builds
# with their static checks, and the Wine suite on the x64 build (unit tests
# on the Windows side of the seam and end-to-end scenarios on the real
# executables); then 60 seconds of fuzzing. Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-tools.sh

mkdir -p build
# All builds first: the x64 Wine scenarios also run the x86 build.
for preset in host asan win64 win32 win-arm64; do
  log="build/$preset.log"
  echo "== $preset: build (log in $log)"
  if ! { cmake --preset "$preset" && cmake --build --preset "$preset"; } >"$log" 2>&1; then
    cat "$log"
    exit 1
  fi
done
for preset in host asan win64 win32 win-arm64; do
  echo "== $preset: test"
  ctest --preset "$preset"
done

echo "== fuzz"
scripts/fuzz.sh "${VARNOLL_FUZZ_SECONDS:-60}"
