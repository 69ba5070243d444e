#!/usr/bin/env bash
# Runs only the ARM64 suite of scripts/test.sh: the INF reading tests, the
# Wine scenarios and the check tool, built for ARM64 Windows, under Debian's
# ARM64 Wine in an emulated ARM64 Debian 12 (qemu-system-aarch64, no KVM).
# The first run makes that machine under build/arm64/ (about 6 minutes:
# debootstrap's second stage and a Wine prefix under emulation); later runs
# reuse it. Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-tools.sh arm64
source scripts/build-preset.sh
echo "== win-arm64: build (log in build/win-arm64.log)"
build_preset win-arm64
echo "== win-arm64: the ARM64 suite in the emulated machine"
ctest --preset win-arm64 -L arm64
