#!/usr/bin/env bash
# Builds the three installers and makes the release package:
# build/package/varnoll-<version>-windows.zip.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh >/dev/null
cpack --config build/win64/CPackConfig.cmake >build/package.log 2>&1 || { cat build/package.log; exit 1; }
zip=$(ls build/package/varnoll-*-windows.zip)
echo "$zip:"
python3 -m zipfile -l "$zip"
