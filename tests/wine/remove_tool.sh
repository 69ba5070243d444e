#!/usr/bin/env bash
# The real removal program under Wine.
# 1. Staged only: varnoll64.exe pre-installs an INF (a newdev stand-in answers
#    "no such device", Wine's own SetupCopyOEMInfA copies it into
#    C:\windows\inf, renamed oem51.inf as Windows names a published
#    package); varnollremove64.exe, on Wine's own DLLs (no
#    DiUninstallDriver there, so SetupUninstallOEMInfA with SUOI_FORCEDELETE),
#    removes it: exit 0, the INF gone, --detect says not in place; a second
#    run, by way of the x86 build's hand-off, exits 0 and removes nothing.
# 2. A root-enumerated modem whose driver varnoll64.exe installed (Wine's own
#    DLLs) uses the package: without DiUninstallDriver the package is left,
#    the device named, exit 1 (through the x86 hand-off too).
# 3. DiUninstallDriver, from a stand-in newdev.dll put in System32 for
#    varnollremove64.exe only: the call with the published INF's path, the
#    copy gone, exit 3010 when it asks for a restart; exit 1 when it leaves
#    the copy.
# The package folder is never changed, and no program makes a window.
#   remove_tool.sh DIST_DIR STANDIN_DIR HELPER_DIR PREFIX_DIR
set -euo pipefail
dist=$1
standins=$2
helpers=$3
export WINEPREFIX="$4/prefix" WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
fail() { echo "FAIL [removal]: $*" >&2; exit 1; }

work=$(mktemp -d /tmp/varnoll-remove.XXXXXX)
store="$WINEPREFIX/drive_c/windows/inf"
system32="$WINEPREFIX/drive_c/windows/system32"
instance=""
override_key='HKCU\Software\Wine\AppDefaults\varnollremove64.exe\DllOverrides'
cleanup() {
  [ -z "$instance" ] || wine "$helpers/make_device.exe" --remove "$instance" >/dev/null 2>&1 </dev/null || true
  if [ -f "$work/newdev.dll.orig" ]; then cp "$work/newdev.dll.orig" "$system32/newdev.dll"; fi
  wine reg delete "$override_key" /f >/dev/null 2>&1 </dev/null || true
  rm -f "$store/oem51.inf" "$store/oem51.pnf" "$store/oem52.inf" "$store/oem52.pnf"
  rm -rf "$work"
}
trap cleanup EXIT
to_windows() { printf 'Z:%s' "$1" | tr '/' '\\'; }

# Each package gets its own hardware ID, so that its bytes are its own.
make_package() {  # FOLDER NAME DEVICE_SUFFIX
  mkdir -p "$1"
  sed "s/PCI\\\\VEN_1F2E&DEV_0A01/PCI\\\\VEN_1F2E\\&DEV_$3/" "$source_dir/samples/drivers/tarvelix-v92.inf" >"$1/$2"
  grep -q "DEV_$3" "$1/$2" || fail "could not make $2"
  cp "$source_dir/samples/drivers/tarvelix-v92.cat" "$1/"  # Wine stages no INF without its catalog
}
snapshot() { (cd "$1" && find . -printf '%p %s %m\n' | LC_ALL=C sort && find . -type f -print0 | xargs -0 sha256sum); }

tools=$work/tools
mkdir -p "$tools"
cp "$dist/varnollremove64.exe" "$dist/varnollcheck64.exe" "$tools/"
have_x86=""
if [ -x /usr/lib/wine/wine ]; then cp "$dist/varnollremove.exe" "$tools/" && have_x86=1; fi

run() {  # EXE ARGS...: output in $work/out and $work/err, status in $status
  set +e
  env "${run_env[@]}" wine "$@" >"$work/out" 2>"$work/err" </dev/null
  status=$?
  set -e
  if grep -q "tried to create a window" "$work/err"; then fail "$1 created a window"; fi
  # Through exit_status.exe, the whole Windows exit status.
  if [ "$(basename "$1")" = exit_status.exe ]; then
    status=$(tr -d '\r' <"$work/err" | sed -n 's/^exit status //p')
  fi
  tr -d '\r' <"$work/out" >"$work/out.txt"
}
run_env=()
expect() {  # STATUS WORDS: the status, and WORDS on standard output
  [ "$status" -eq "$1" ] || fail "exit status $status, expected $1; it said: $(cat "$work/out.txt") $(head -c 500 "$work/err")"
  grep -qF -- "$2" "$work/out.txt" || fail "the output lacks '$2': $(cat "$work/out.txt")"
}

# 1. Staged only.
staged=$work/staged
make_package "$staged" varnoll-remove-staged.inf 0D31
cp "$dist/varnoll64.exe" "$standins/newdev.dll" "$staged/"
wine "$staged/varnoll64.exe" >/dev/null 2>&1 </dev/null || fail "the pre-install failed"
rm "$staged/varnoll64.exe" "$staged/newdev.dll"
[ -f "$store/varnoll-remove-staged.inf" ] || fail "the pre-install put nothing into the driver store"
bash "$source_dir/tests/wine/publish_as_oem.sh" varnoll-remove-staged.inf 51 >/dev/null
before=$(snapshot "$staged")
run "$tools/varnollremove64.exe" "$(to_windows "$staged")"
expect 0 "varnoll-remove-staged.inf: removed oem51.inf from the driver store"
[ "$(wc -l <"$work/out.txt")" -eq 1 ] || fail "not one line for one INF: $(cat "$work/out.txt")"
[ ! -e "$store/oem51.inf" ] || fail "the INF is still in the driver store"
run "$tools/varnollcheck64.exe" --detect "$(to_windows "$staged")"
[ "$status" -eq 1 ] || fail "--detect exited $status after the removal, expected 1"
if [ -n "$have_x86" ]; then
  run "$tools/varnollremove.exe" "$(to_windows "$staged")"
else
  run "$tools/varnollremove64.exe" "$(to_windows "$staged")"
fi
expect 0 "varnoll-remove-staged.inf: not in the driver store: nothing to remove"
[ "$(snapshot "$staged")" = "$before" ] || fail "the package folder changed"

# 2. A device uses the package, and Wine has no DiUninstallDriver.
used=$work/used
make_package "$used" varnoll-remove-used.inf 0D32
instance=$(wine "$helpers/make_device.exe" 'PCI\VEN_1F2E&DEV_0D32' 2>/dev/null </dev/null | tr -d '\r')
[ -n "$instance" ] || fail "make_device could not register the modem"
cp "$dist/varnoll64.exe" "$used/"
wine "$used/varnoll64.exe" >/dev/null 2>&1 </dev/null || fail "the install failed"
rm "$used/varnoll64.exe"
[ -f "$store/varnoll-remove-used.inf" ] || fail "the install put nothing into the driver store"
bash "$source_dir/tests/wine/publish_as_oem.sh" varnoll-remove-used.inf 52 >/dev/null
remover="$tools/varnollremove64.exe"
[ -z "$have_x86" ] || remover="$tools/varnollremove.exe"
run "$remover" "$(to_windows "$used")"
expect 1 "oem52.inf left in the driver store: present device $instance uses it"
[ -f "$store/oem52.inf" ] || fail "the package was removed from under the device"

# 3. DiUninstallDriver, from the stand-in in System32.
cp "$system32/newdev.dll" "$work/newdev.dll.orig"
cp "$standins/newdev.dll" "$system32/newdev.dll"
wine reg add "$override_key" /v newdev /d native /f >/dev/null 2>&1 </dev/null
log=$work/calls.log
run_env=(VARNOLL_STANDIN_LOG="$(to_windows "$log")" VARNOLL_STANDIN_UNINSTALL_KEEP=1)
run "$tools/varnollremove64.exe" "$(to_windows "$used")"
expect 1 "but the driver store still holds it as oem52.inf"
run_env=(VARNOLL_STANDIN_LOG="$(to_windows "$log")" VARNOLL_STANDIN_UNINSTALL_REBOOT=1)
run "$helpers/exit_status.exe" "$tools/varnollremove64.exe" "$(to_windows "$used")"
expect 3010 "removed oem52.inf from the driver store; a restart completes the removal"
[ ! -e "$store/oem52.inf" ] || fail "the INF is still in the driver store"
call='newdev DiUninstallDriverA(null, "C:\windows\INF\oem52.inf", 0x0, non-null)'
[ "$(grep -c -F "$call" "$log")" -eq 2 ] || fail "the calls were not as expected: $(cat "$log")"
echo "ok [removal]: staged copy removed (exit 0) and gone for --detect; a second run removes nothing;" \
  "a package a device uses is left without DiUninstallDriver (exit 1); with it, removed (3010) or left (1)"
