#!/usr/bin/env bash
# Builds the executables of every preset and makes the release package of
# them, or refuses.
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

# The package holds the builds of one commit, all made by this run: a work
# tree that differs from its commit is refused, and the shipped programs are
# taken out of dist/ before the builds, so that each preset links its own
# anew from these sources and none is left over from an earlier build or
# copied in by hand.
source="this source tree (not a git checkout)"
if git rev-parse --git-dir >/dev/null 2>&1; then
  changes=$(git status --porcelain)
  if [ -n "$changes" ]; then
    echo "package.sh: not packaging: the work tree differs from its commit, so the package would be" >&2
    echo "the build of no commit. Commit or stash these first:" >&2
    echo "$changes" | head -20 | sed 's/^/  /' >&2
    exit 1
  fi
  source="commit $(git rev-parse --short HEAD)"
fi
rm -f dist/*.exe
[ -z "$signed" ] || scripts/ensure-tools.sh sign
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
echo "$zip, the builds of $source:"
python3 -m zipfile -l "$zip"
