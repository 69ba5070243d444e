#!/usr/bin/env bash
# Runs every test: the host unit tests against the stand-in, and again under
# AddressSanitizer and UndefinedBehaviorSanitizer; the three Windows builds
# with their static checks, and the Wine suite on the x64 build (unit tests
# on the Windows side of the seam and end-to-end scenarios on the real
# executables), the signing tests, and the check tool on Linux and under
# Wine; 60 seconds of fuzzing; and the ARM64 build under Debian's ARM64 Wine
# in an emulated ARM64 machine. Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-tools.sh test

source scripts/build-preset.sh
# All builds first: the x64 Wine scenarios also run the x86 build.
for preset in host asan win64 win32 win-arm64; do
  echo "== $preset: build (log in build/$preset.log)"
  build_preset "$preset"
done
for preset in host asan win64 win32; do
  echo "== $preset: test"
  ctest --preset "$preset"
done
echo "== win-arm64: test"
ctest --preset win-arm64 -LE arm64

echo "== fuzz"
scripts/fuzz.sh "${VARNOLL_FUZZ_SECONDS:-60}"

# Last, the ARM64 build run for real in the emulated ARM64 machine (about
# 9 minutes the first time, while it makes that machine; 3 after).
echo "== win-arm64: the ARM64 suite in the emulated machine"
ctest --preset win-arm64 -L arm64
