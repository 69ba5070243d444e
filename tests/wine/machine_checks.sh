#!/usr/bin/env bash
# The machine's part of the check under Wine, with the values written into
# the prefix's registry as Group Policy and Windows would write them, and
# removed again afterwards (also when the test fails):
# 1. DenyDeviceClasses listing the modem class: the x64 tool's plain report
#    names the finding and the value, --preflight on the sample package
#    exits 1 naming DenyDeviceClasses and the class, and --detect on a
#    package not yet in place gives the block as a reason (exit 1).
# 2. A pending restart (Component Based Servicing RebootPending, Windows
#    Update RebootRequired): --detect keeps its exit status and changes its
#    words, in place (0, one line) and not in place (1, a line saying a
#    restart may finish it); --json lists the marks; the x86 build, when
#    built, reads the same 64-bit keys. A PendingFileRenameOperations with
#    a name in it is a pending restart, an empty one is not.
# It makes a prefix of its own: the shared one holds the devices and driver
# store entries other scenarios leave (a modem with the sample's ID among
# them), which would change every verdict this test compares.
#   machine_checks.sh DIST_DIR
set -euo pipefail
dist=$1
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d /tmp/varnoll-machine.XXXXXX)
bash "$source_dir/tests/wine/prefix.sh" setup "$work/wine" >/dev/null
export WINEPREFIX="$work/wine/prefix" WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY
source "$source_dir/tests/wine/detect_checks.sh"
source "$source_dir/tests/wine/registry.sh"
fail() { echo "FAIL [machine checks]: $*" >&2; exit 1; }

check="$dist/varnollcheck64.exe"
restrictions='HKLM\SOFTWARE\Policies\Microsoft\Windows\DeviceInstall\Restrictions'
servicing='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Component Based Servicing\RebootPending'
update='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\WindowsUpdate\Auto Update\RebootRequired'
session='HKLM\SYSTEM\CurrentControlSet\Control\Session Manager'
modem_class='{4D36E96D-E325-11CE-BFC1-08002BE10318}'
store="$WINEPREFIX/drive_c/windows/inf"
published=""
# In the 64-bit view, where Windows keeps these and the tools read them:
# Wine's reg writes the 32-bit view by default, where SOFTWARE\Microsoft is
# redirected.
reg_quiet() { wine reg "$@" /reg:64 >/dev/null 2>&1 </dev/null; }
remove_values() {
  reg_quiet delete "$restrictions" /f || true
  reg_quiet delete "$servicing" /f || true
  reg_quiet delete "$update" /f || true
  reg_quiet delete "$session" /v PendingFileRenameOperations /f || true
}
cleanup() {
  remove_values
  [ -z "$published" ] || rm -f "$store/$published"
  bash "$source_dir/tests/wine/prefix.sh" cleanup "$work/wine" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
to_windows() { printf 'Z:%s' "$1" | tr '/' '\\'; }

# Nothing of ours may be there before: the test would remove what it did not write.
for key in "$restrictions" "$servicing" "$update"; do
  if reg_quiet query "$key"; then fail "$key is already in the prefix"; fi
done
if reg_quiet query "$session" /v PendingFileRenameOperations; then
  fail "PendingFileRenameOperations is already in the prefix"
fi

sample=$work/sample
cp -r "$source_dir/samples/drivers" "$sample"
package=$work/package
mkdir -p "$package"
cp "$source_dir/samples/drivers/tarvelix-v92.inf" "$source_dir/samples/drivers/tarvelix-v92.cat" "$package/"

# The verdicts without policy or restart, to compare with.
run_tool "$check" --preflight "$(to_windows "$sample")"
before_status=$tool_status
grep -q "blocked-by-policy" "$work/tool.err" && fail "--preflight found a policy before any was written"
run_tool "$check" --detect "$(to_windows "$package")"
[ "$tool_status" -eq 1 ] || fail "--detect before staging exited $tool_status, expected 1"
tr -d '\r' <"$work/tool.err" >"$work/not-in-place.err"

# 1. The modem class denied.
reg_quiet add "$restrictions" /v DenyDeviceClasses /t REG_DWORD /d 1 /f || fail "could not write DenyDeviceClasses"
reg_quiet add "$restrictions\\DenyDeviceClasses" /v 1 /t REG_SZ /d "$modem_class" /f ||
  fail "could not write the class list"
[ "$(reg_value "$restrictions" DenyDeviceClasses)" = 0x1 ] || fail "the prefix does not hold DenyDeviceClasses"
words="blocked by device-installation policy (DenyDeviceClasses: $modem_class)"

run_tool "$check" "$(to_windows "$sample")"
grep -qF "  finding:     [fails] blocked-by-policy: $words for hardware ID PCI\\VEN_1F2E&DEV_0A01" "$work/tool.out" ||
  fail "the plain report does not name the policy: $(head -c 3000 "$work/tool.out")"
grep -q "^Machine: no restart pending; device-installation policy: DenyDeviceClasses$" "$work/tool.out" ||
  fail "the plain report's machine line: $(grep '^Machine' "$work/tool.out")"

run_tool "$check" --preflight "$(to_windows "$sample")"
[ "$tool_status" -eq 1 ] || fail "--preflight with DenyDeviceClasses exited $tool_status, expected 1"
[ ! -s "$work/tool.out" ] || fail "--preflight printed on standard output: $(cat "$work/tool.out")"
grep -qF "tarvelix-v92.inf: [fails] blocked-by-policy: $words" "$work/tool.err" ||
  fail "--preflight does not name the value: $(cat "$work/tool.err")"
echo "--preflight with the modem class denied: exit 1 (was $before_status), DenyDeviceClasses named"

expect_not_in_place "$check" "$(to_windows "$package")" \
  "not in place: tarvelix-v92.inf: $words for hardware ID PCI\\VEN_1F2E&DEV_0A01 (no device present yet)"
remove_values
run_tool "$check" --preflight "$(to_windows "$sample")"
[ "$tool_status" -eq "$before_status" ] || fail "--preflight after the policy was removed exited $tool_status"
grep -q "blocked-by-policy" "$work/tool.err" && fail "--preflight still finds a policy once it is removed"

# 2. A pending restart, not in place: the same status, one more reason.
reg_quiet add "$servicing" /f || fail "could not write RebootPending"
run_tool "$check" --detect "$(to_windows "$package")"
[ "$tool_status" -eq 1 ] || fail "--detect with a restart pending exited $tool_status, expected 1"
tr -d '\r' <"$work/tool.err" | grep -vxF -f "$work/not-in-place.err" >"$work/new.err" || true
[ "$(cat "$work/new.err")" = "not in place: the machine waits for a restart (Component Based Servicing RebootPending): a restart may finish it" ] ||
  fail "--detect's new words: $(cat "$work/tool.err")"

# In place (the package's bytes published as oem<N>.inf, no device present).
published="oem$(free_oem_number).inf"
cp "$package/tarvelix-v92.inf" "$store/$published"
reg_quiet add "$update" /f || fail "could not write RebootRequired"
expect_in_place "$check" "$(to_windows "$package")" \
  "in place: tarvelix-v92.inf as $published in the driver store; 0 present devices use it; the machine waits for a restart (Component Based Servicing RebootPending, Windows Update RebootRequired)"
# The x86 build reads the same keys: it opens them in the 64-bit view, not
# the 32-bit one Windows would redirect it to.
if [ -f "$dist/varnollcheck.exe" ] && [ -x /usr/lib/wine/wine ]; then
  expect_in_place "$dist/varnollcheck.exe" "$(to_windows "$package")" \
    "in place: tarvelix-v92.inf as $published in the driver store; 0 present devices use it; the machine waits for a restart (Component Based Servicing RebootPending, Windows Update RebootRequired)"
else
  echo "x86 build not checked: dist/varnollcheck.exe or 32-bit Wine missing"
fi
run_tool "$check" --detect --json "$(to_windows "$package")"
[ "$tool_status" -eq 0 ] || fail "--detect --json exited $tool_status"
python3 - "$work/tool.out" <<'PY' || fail "the JSON's restart marks: $(head -c 2000 "$work/tool.out")"
import json, sys
report = json.loads(open(sys.argv[1], "rb").read().decode("utf-8"))
assert report["in_place"] is True, report["in_place"]
assert report["restart_pending"] == ["component-based-servicing", "windows-update"], report["restart_pending"]
assert report["device_install_policy"] == [], report["device_install_policy"]
PY
# The deployment console's line carries the same marks, and the verdict.
run_tool "$check" --detect --summary "$(to_windows "$package")"
[ "$tool_status" -eq 0 ] || fail "--detect --summary exited $tool_status"
python3 - "$work/tool.out" <<'PY' || fail "the summary's restart marks: $(head -c 2100 "$work/tool.out")"
import json, sys
(line,) = open(sys.argv[1], "rb").read().decode("utf-8").splitlines()
summary = json.loads(line)
assert summary["verdict"] == "in-place", summary["verdict"]
assert summary["machine_restart"] == ["component-based-servicing", "windows-update"], summary["machine_restart"]
PY
remove_values
expect_in_place "$check" "$(to_windows "$package")" \
  "in place: tarvelix-v92.inf as $published in the driver store; 0 present devices use it"

# A file waiting to be replaced at the next start counts; an empty list
# does not.
machine_line() {
  run_tool "$check" "$(to_windows "$package")"
  grep '^Machine: ' "$work/tool.out" || true
}
reg_quiet add "$session" /v PendingFileRenameOperations /t REG_MULTI_SZ /d '\??\C:\varnoll-machine-test.tmp\0' /f ||
  fail "could not write PendingFileRenameOperations"
[ "$(machine_line)" = "Machine: restart pending (PendingFileRenameOperations); device-installation policy: none set" ] ||
  fail "a pending rename: $(machine_line)"
reg_quiet add "$session" /v PendingFileRenameOperations /t REG_MULTI_SZ /d '' /f ||
  fail "could not write an empty PendingFileRenameOperations"
[ "$(machine_line)" = "Machine: no restart pending; device-installation policy: none set" ] ||
  fail "an empty rename list: $(machine_line)"
remove_values

# Clean-up happened: none of the values is left in the prefix.
for key in "$restrictions" "$servicing" "$update"; do
  if reg_quiet query "$key"; then fail "$key is still in the prefix"; fi
done
if reg_quiet query "$session" /v PendingFileRenameOperations; then fail "PendingFileRenameOperations is still there"; fi
echo "policy and restart values written, seen and removed"
