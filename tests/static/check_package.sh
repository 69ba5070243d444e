#!/usr/bin/env bash
# Makes the release package into a scratch folder and checks what it holds:
# the three installers, the three check tools, the fleet reader (x64) and
# the three removal programs, byte for byte as built,
# and the admin guide.
#   check_package.sh CPACK_CONFIG DIST_DIR VERSION
set -euo pipefail
source "$(dirname "$0")/../cannot_run.sh"
config=$1
dist=$2
version=$3
programs="varnoll.exe varnoll64.exe varnollarm64.exe varnollcheck.exe varnollcheck64.exe varnollcheckarm64.exe
  varnollfleet64.exe varnollremove.exe varnollremove64.exe varnollremovearm64.exe"
for exe in $programs; do
  [ -f "$dist/$exe" ] || cannot_run "$dist/$exe has not been built"
done
work=$(mktemp -d /tmp/varnoll-package.XXXXXX)
trap 'rm -rf "$work"' EXIT
cpack --config "$config" -B "$work" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }
zip="$work/varnoll-$version-windows.zip"
[ -f "$zip" ] || { echo "FAIL: no $(basename "$zip")" >&2; exit 1; }
mkdir "$work/unpacked"
python3 -m zipfile -e "$zip" "$work/unpacked"
listing=$(cd "$work/unpacked" && find . -type f | LC_ALL=C sort | tr '\n' ' ')
expected="./ADMIN-GUIDE.txt $(for exe in $programs; do printf './%s ' "$exe"; done)"
[ "$listing" = "$expected" ] || { echo "FAIL: the package holds $listing" >&2; exit 1; }
for exe in $programs; do cmp "$work/unpacked/$exe" "$dist/$exe"; done
grep -q "Varnoll $version" "$work/unpacked/ADMIN-GUIDE.txt" || { echo "FAIL: the guide does not name version $version" >&2; exit 1; }
echo "ok $(basename "$zip"): $programs ADMIN-GUIDE.txt"
