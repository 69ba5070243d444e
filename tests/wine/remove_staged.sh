#!/usr/bin/env bash
# The removal program of one build on a package that is only staged: the
# installer pre-installs its INF (a newdev stand-in answers "no such device",
# Wine's own SetupCopyOEMInfA copies it into C:\windows\inf), the copy is
# held as Windows holds it, as oem<N>.inf, and --detect says in place. Then
# the removal program, on Wine's own DLLs (no DiUninstallDriver there, so
# SetupUninstallOEMInfA with SUOI_FORCEDELETE), removes it: exit 0, one line
# naming the published copy, the copy gone, --detect not in place; a second
# run (by SECOND_REMOVER, e.g. the x86 build's hand-off, when given) exits 0
# and removes nothing. The package folder is never changed, and no program
# makes a window.
#   remove_staged.sh DIST_DIR STANDIN_DIR BUILD PREFIX_DIR [SECOND_REMOVER]
#     BUILD: the programs' suffix, 64 or arm64 (varnoll64.exe, varnollcheck64.exe,
#            varnollremove64.exe)
set -euo pipefail
dist=$1
standins=$2
build=$3
export WINEPREFIX="$4/prefix" WINEDEBUG=-all
second_remover=${5:-varnollremove$build.exe}
unset DISPLAY WAYLAND_DISPLAY
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
fail() { echo "FAIL [staged removal, $build]: $*" >&2; exit 1; }
source "$here/detect_checks.sh"

inf=varnoll-remove-staged.inf
store="$WINEPREFIX/drive_c/windows/inf"
work=$(mktemp -d /tmp/varnoll-remove-staged.XXXXXX)
published=""
cleanup() {
  rm -f "$store/$inf" "$store/${inf%.inf}.pnf"
  [ -z "$published" ] || rm -f "$store/$published" "$store/${published%.inf}.pnf"
  rm -rf "$work"
}
trap cleanup EXIT
to_windows() { printf 'Z:%s' "$1" | tr '/' '\\'; }
snapshot() { (cd "$1" && find . -printf '%p %s %m\n' | LC_ALL=C sort && find . -type f -print0 | xargs -0 sha256sum); }

# Its own hardware ID, so that its bytes are its own.
package=$work/package
mkdir -p "$package"
sed 's/PCI\\VEN_1F2E&DEV_0A01/PCI\\VEN_1F2E\&DEV_0D31/' "$source_dir/samples/drivers/tarvelix-v92.inf" >"$package/$inf"
cp "$source_dir/samples/drivers/tarvelix-v92.cat" "$package/"  # Wine stages no INF without its catalog
grep -q DEV_0D31 "$package/$inf" || fail "could not make $inf"
win_package=$(to_windows "$package")

cp "$dist/varnoll$build.exe" "$standins/newdev.dll" "$package/"
wine "$package/varnoll$build.exe" >/dev/null 2>&1 </dev/null || fail "the pre-install failed"
rm "$package/varnoll$build.exe" "$package/newdev.dll"
[ -f "$store/$inf" ] || fail "the pre-install put nothing into the driver store"
published=$(bash "$here/publish_as_oem.sh" "$inf" "$(free_oem_number)") || fail "could not publish $inf as oem<N>.inf"

tools=$work/tools
mkdir -p "$tools"
cp "$dist/varnollremove$build.exe" "$dist/varnollcheck$build.exe" "$tools/"
[ "$second_remover" = "varnollremove$build.exe" ] || cp "$dist/$second_remover" "$tools/"
before=$(snapshot "$package")
expect_in_place "$tools/varnollcheck$build.exe" "$win_package" \
  "in place: $inf as $published in the driver store; 0 present devices use it"

run_tool "$tools/varnollremove$build.exe" "$win_package"
[ "$tool_status" -eq 0 ] || fail "exit status $tool_status, expected 0: $(cat "$work/tool.out") $(head -c 500 "$work/tool.err")"
[ "$(cat "$work/tool.out")" = "$inf: removed $published from the driver store" ] ||
  fail "the removal said: $(cat "$work/tool.out")"
[ ! -e "$store/$published" ] || fail "$published is still in the driver store"
expect_not_in_place "$tools/varnollcheck$build.exe" "$win_package" "not in place: $inf: not in the driver store"

run_tool "$tools/$second_remover" "$win_package"
[ "$tool_status" -eq 0 ] || fail "the second run exited $tool_status, expected 0"
[ "$(cat "$work/tool.out")" = "$inf: not in the driver store: nothing to remove" ] ||
  fail "the second run said: $(cat "$work/tool.out")"
[ "$(snapshot "$package")" = "$before" ] || fail "the package folder changed"
echo "ok [staged removal, $build]: in place as $published; removed by varnollremove$build.exe (exit 0)" \
  "and gone for --detect; a second run by $second_remover removes nothing"
