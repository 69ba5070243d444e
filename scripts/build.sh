#!/usr/bin/env bash
# Builds the Windows executables into dist/: varnoll64.exe (x64),
# varnoll.exe (x86) and varnollarm64.exe (ARM64), with the test-only helpers
# beside them in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-tools.sh
mkdir -p build
for preset in win64 win32 win-arm64; do
  log="build/$preset.log"
  if ! { cmake --preset "$preset" && cmake --build --preset "$preset"; } >"$log" 2>&1; then
    cat "$log"
    exit 1
  fi
done
ls -l dist/varnoll64.exe dist/varnoll.exe dist/varnollarm64.exe
