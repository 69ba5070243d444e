#!/usr/bin/env bash
# Runs every test: the host unit tests against the stand-in, and again under
# AddressSanitizer and UndefinedBehaviorSanitizer; the three Windows builds
# with their static checks, and the Wine suite on the x64 build (unit tests
# on the Windows side of the seam and end-to-end scenarios on the real
# executables), the signing tests, and the check tool on Linux and under
# Wine; then 60 seconds of fuzzing. Installs what it needs first. The ARM64
# build's run under emulation is scripts/test-arm64.sh.
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
for preset in host asan win64 win32; do
  echo "== $preset: test"
  ctest --preset "$preset"
done
# The ARM64 build's static checks here; its run in the emulated ARM64
# machine is scripts/test-arm64.sh.
echo "== win-arm64: test"
ctest --preset win-arm64 -LE arm64

echo "== fuzz"
scripts/fuzz.sh "${VARNOLL_FUZZ_SECONDS:-60}"
