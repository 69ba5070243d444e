#!/usr/bin/env bash
# Builds the executables and makes the release package.
#   scripts/package.sh           build/package/varnoll-<version>-windows.zip
#   scripts/package.sh --signed  signs them first (scripts/sign.sh, which says
#                                what it needs) and packs the signed copies:
#                                build/package/varnoll-<version>-windows-signed.zip
set -euo pipefail
cd "$(dirname "$0")/.."
signed=""
case "${1:-}" in
  "") ;;
  --signed) signed=1 ;;
  *) echo "usage: scripts/package.sh [--signed]" >&2; exit 2 ;;
esac

scripts/build.sh >/dev/null
if [ -z "$signed" ]; then
  cpack --config build/win64/CPackConfig.cmake >build/package.log 2>&1 || { cat build/package.log; exit 1; }
  zip=$(ls build/package/varnoll-*-windows.zip)
else
  scripts/sign.sh
  source scripts/version.sh
  version=$(project_version)
  zip=build/package/varnoll-$version-windows-signed.zip
  mkdir -p build/package
  # The same files as the unsigned package, the executables signed.
  python3 - "$zip" build/win64/ADMIN-GUIDE.txt dist/signed/*.exe <<'PY'
import os, sys, zipfile
target, *files = sys.argv[1:]
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as package:
    for path in sorted(files, key=os.path.basename):
        package.write(path, os.path.basename(path))
PY
fi
echo "$zip:"
python3 -m zipfile -l "$zip"
