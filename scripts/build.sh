#!/usr/bin/env bash
# Builds the Windows executables into dist/: the installers varnoll64.exe
# (x64), varnoll.exe (x86) and varnollarm64.exe (ARM64), the check tools
# varnollcheck64.exe, varnollcheck.exe and varnollcheckarm64.exe and the
# removal programs varnollremove64.exe, varnollremove.exe and
# varnollremovearm64.exe, and the fleet reader varnollfleet64.exe, with the
# test-only helpers beside them in build/; and the Linux check tool and
# fleet reader, build/host/varnollcheck and build/host/varnollfleet.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-tools.sh build
source scripts/build-preset.sh
for preset in win64 win32 win-arm64; do
  build_preset "$preset"
done
build_preset host --target varnollcheck varnollfleet
ls -l dist/*.exe build/host/varnollcheck build/host/varnollfleet
