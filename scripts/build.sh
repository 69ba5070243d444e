#!/usr/bin/env bash
# Builds both Windows executables into dist/: varnoll64.exe (x64) and
# varnoll.exe (x86), with the test-only helpers beside them in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-tools.sh
mkdir -p build
for preset in win64 win32; do
  log="build/$preset.log"
  if ! { cmake --preset "$preset" && cmake --build --preset "$preset"; } >"$log" 2>&1; then
    cat "$log"
    exit 1
  fi
done
ls -l dist/varnoll64.exe dist/varnoll.exe
