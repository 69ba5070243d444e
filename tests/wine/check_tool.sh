#!/usr/bin/env bash
# The real check tool under Wine, beside a present modem: the INF for it is
# reported "install" with that device, another "preinstall", the rest
# skipped with their reasons; the x86 build says the same; and the folder,
# the driver store and the registry are as they were. --detect on a package
# of that one INF says "not in place" (exit 1, nothing on standard output).
# Then the installer (Wine's own DLLs) installs the driver, the check names
# the device's INF, and --detect says "in place" (exit 0, one line), its
# JSON naming the published copy and the device using it; the x86 build
# gives the same verdict. (Wine's copy is renamed oem41.inf first, as Windows
# publishes it: only such a name is a package of the driver store.)
#   check_tool.sh DIST_DIR HELPER_DIR PREFIX_DIR
set -euo pipefail
dist=$1
helpers=$2
export WINEPREFIX="$3/prefix" WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
fail() { echo "FAIL [check tool]: $*" >&2; exit 1; }

work=$(mktemp -d /tmp/varnoll-check.XXXXXX)
instance=""
cleanup() {
  [ -z "$instance" ] || wine "$helpers/make_device.exe" --remove "$instance" >/dev/null 2>&1 </dev/null || true
  rm -f "$WINEPREFIX/drive_c/windows/inf/oem41.inf" "$WINEPREFIX/drive_c/windows/inf/oem41.pnf"
  rm -rf "$work"
}
trap cleanup EXIT

folder=$work/drivers
mkdir -p "$folder"
present_id='PCI\VEN_1F2E&DEV_0C10'
sed 's/PCI\\VEN_1F2E&DEV_0A01/PCI\\VEN_1F2E\&DEV_0C10/' "$source_dir/samples/drivers/tarvelix-v92.inf" >"$folder/a.inf"
grep -q 'DEV_0C10' "$folder/a.inf" || fail "could not make a.inf"
cp "$source_dir/samples/drivers/tarvelix-fax.inf" "$folder/b.inf"
cp "$source_dir/samples/drivers/modem-enumerator.inf" "$folder/c.inf"
# The catalogs the sample INFs name: Wine stages no INF whose catalog is missing.
cp "$source_dir"/samples/drivers/*.cat "$folder/"
iconv -f UTF-8 -t UTF-16 "$source_dir/samples/drivers/tarvelix-v92.inf" >"$folder/d.inf"
win_folder=$(printf 'Z:%s' "$folder" | tr '/' '\\')
# The package a deployment tool asks about: a.inf alone.
package=$work/package
mkdir -p "$package"
cp "$folder/a.inf" "$folder/tarvelix-v92.cat" "$package/"
win_package=$(printf 'Z:%s' "$package" | tr '/' '\\')

instance=$(wine "$helpers/make_device.exe" "$present_id" 2>/dev/null </dev/null | tr -d '\r')
[ -n "$instance" ] || fail "make_device could not register the modem"

store="$WINEPREFIX/drive_c/windows/inf"
state() {  # [NAME]: the registry exports are kept in $work/NAME-*.reg, for a diff
  (cd "$folder" && find . -printf '%p %s %m\n' | LC_ALL=C sort && find . -type f -print0 | xargs -0 sha256sum)
  (cd "$store" && find . -type f -print0 | LC_ALL=C sort -z | xargs -0 sha256sum)
  local n=0
  for key in 'HKLM\System\CurrentControlSet' 'HKLM\Software' 'HKCU\Software'; do
    rm -f "$work/export.reg"
    wine reg export "$key" "$(printf 'Z:%s' "$work/export.reg" | tr '/' '\\')" /y >/dev/null 2>&1 </dev/null ||
      fail "could not export $key"
    n=$((n + 1))
    iconv -f UTF-16 -t UTF-8 "$work/export.reg" | tee "$work/${1:-last}-$n.reg" | sha256sum
  done
}

run_check() {  # EXE ARGS...: the check's output in $work/out, its status in $check_status
  set +e
  wine "$@" >"$work/out" 2>"$work/err" </dev/null
  check_status=$?
  set -e
  if grep -q "tried to create a window" "$work/err"; then fail "$1 created a window"; fi
}

expect_json() {  # NAME DRIVER_INF(or null)
  python3 - "$work/out" "$win_folder" "$instance" "$2" <<'PY' || fail "$1: the JSON is not what was expected: $(cat "$work/out")"
import json, sys
out, folder, instance, driver = sys.argv[1:]
report = json.loads(open(out, "rb").read().decode("utf-8"))
assert report["folder"] == folder + "\\", report["folder"]
# The whole published key sets, which only Windows fills (Linux has no devices).
assert set(report) == {"folder", "files", "reenumerate"}, set(report)
for entry in report["files"]:
    # The package check's keys belong to the files that qualify.
    qualifying = {"package", "driver_ver"} if entry["qualifies"] else set()
    assert set(entry) == {"name", "hardware_id", "qualifies", "action", "reason", "note", "sha256", "store",
                          "store_copies", "devices"} | qualifying, set(entry)
    for device in entry["devices"]:
        versions = {"driver_version", "driver_date", "downgrade"} if entry["qualifies"] else set()
        assert set(device) == {"instance_id", "driver_inf", "uses_package", "started", "problem",
                               "restart_pending"} | versions, set(device)
files = {f["name"]: f for f in report["files"]}
assert list(files) == ["a.inf", "b.inf", "c.inf", "d.inf"], list(files)
a, b, c, d = (files[n] for n in ("a.inf", "b.inf", "c.inf", "d.inf"))
assert (a["action"], a["reason"], a["qualifies"]) == ("install", "ok", True), a
(device,) = a["devices"]
assert (device["instance_id"], device["driver_inf"]) == (instance, None if driver == "null" else driver), a
assert (b["action"], b["reason"], b["devices"]) == ("preinstall", "ok", []), b
assert (c["action"], c["reason"], c["hardware_id"]) == ("skip", "no-ven", "MDMGEN\\SERIAL_MODEM"), c
assert (d["action"], d["reason"], d["hardware_id"]) == ("skip", "no-marker", None), d
assert "UTF-16" in d["note"], d
assert report["reenumerate"] is True
PY
  [ "$check_status" -eq 0 ] || fail "$1 exited $check_status, expected 0"
}

# EXE VERDICT CAUSE [DRIVER]: --detect --summary on the package, as a
# Remediations detection script runs it: exactly one line on standard
# output (at most 2,048 bytes with its CR LF), nothing on standard error,
# --detect's exit status, and the verdict and cause expected.
expect_summary() {
  run_check "$1" --detect --summary "$win_package"
  [ "$check_status" -eq "$([ "$2" = in-place ] && echo 0 || echo 1)" ] ||
    fail "$1 --detect --summary exited $check_status for $2"
  [ ! -s "$work/err" ] || fail "$1 --detect --summary wrote on standard error: $(cat "$work/err")"
  python3 - "$work/out" "$2" "$3" "${4:-}" <<'PY' || fail "$1 --detect --summary: $(cat "$work/out")"
import json, sys
raw = open(sys.argv[1], "rb").read()
assert raw.endswith(b"\r\n") and raw.count(b"\n") == 1, raw
assert len(raw) <= 2048, len(raw)
line = json.loads(raw.decode("utf-8"))
assert (line["tool"], line["question"], line["arch"]) == ("varnollcheck", "detect", "amd64"), line
assert line["windows"].count(".") >= 2, line["windows"]
(inf,) = line["infs"]
# Where Windows did not take the package, a finding that fails is the cause
# (the test's a.inf is changed after signing, and Wine's trust answers vary).
causes = {sys.argv[3]} | (set(inf["findings"]) if sys.argv[3] == "not-in-store" else set())
assert line["verdict"] == sys.argv[2] and line["cause"] in causes, line
if sys.argv[4]:
    assert line["driver"] == sys.argv[4], line
assert inf["name"] == "a.inf" and inf["device_count"] == 1, inf
assert line["truncated"] is False, line
PY
  # Kept as a machine's file, for the fleet reader at the end.
  mkdir -p "$work/fleet"
  cp "$work/out" "$work/fleet/PC-$(ls "$work/fleet" | wc -l).txt"
}

expect_detect() {  # EXE in|out: --detect on the package, as a deployment tool runs it
  run_check "$1" --detect "$win_package"
  if [ "$2" = in ]; then
    [ "$check_status" -eq 0 ] || fail "$1 --detect exited $check_status, expected 0: $(cat "$work/err")"
    [ "$(wc -l <"$work/out")" -eq 1 ] || fail "$1 --detect printed not one line: $(cat "$work/out")"
    grep -q '^in place: a.inf as oem41.inf in the driver store; 1 present device uses it' "$work/out" ||
      fail "$1 --detect: $(cat "$work/out")"
  else
    [ "$check_status" -eq 1 ] || fail "$1 --detect exited $check_status, expected 1"
    [ ! -s "$work/out" ] || fail "$1 --detect printed on standard output: $(cat "$work/out")"
    grep -q '^not in place: a.inf: not in the driver store' "$work/err" || fail "$1 --detect: $(cat "$work/err")"
  fi
}

# Wine's crypt32 makes its certificate stores' registry keys on first use
# (the package check asks WinVerifyTrust); Windows has them from the start.
wine "$dist/varnollcheck64.exe" --preflight "$win_package" >/dev/null 2>&1 </dev/null || true
before=$(state before)
cp "$dist/varnollcheck64.exe" "$work/"
run_check "$work/varnollcheck64.exe" --json "$win_folder"
expect_json varnollcheck64.exe null
run_check "$work/varnollcheck64.exe" "$win_folder"
grep -q "^  device:      $(printf '%s' "$instance" | sed 's/\\/\\\\/g'), driver not installed" "$work/out" ||
  fail "the text report does not name the device: $(cat "$work/out")"
expect_detect "$work/varnollcheck64.exe" out
expect_summary "$work/varnollcheck64.exe" not-in-place not-in-store
if [ -x /usr/lib/wine/wine ]; then
  cp "$dist/varnollcheck.exe" "$work/"
  run_check "$work/varnollcheck.exe" --json "$win_folder"
  expect_json varnollcheck.exe null
  expect_detect "$work/varnollcheck.exe" out
else
  echo "x86 check skipped: 32-bit Wine (wine32:i386) is not installed"
fi
after=$(state after)
[ "$before" = "$after" ] || {
  diff <(echo "$before") <(echo "$after") >&2 || true
  # The registry keys that changed, each with its values before and after.
  python3 - "$work" <<'PY' >&2 || true
import sys
def keys(path):
    found, key = {}, None
    for line in open(path, encoding="utf-8", errors="replace"):
        if line.startswith("["):
            key = line.strip()
        elif key:
            found.setdefault(key, []).append(line.rstrip("\n"))
    return found
for n in (1, 2, 3):
    a, b = keys(f"{sys.argv[1]}/before-{n}.reg"), keys(f"{sys.argv[1]}/after-{n}.reg")
    for key in sorted(set(a) | set(b)):
        if a.get(key) != b.get(key):
            print(key, "\n  before:", a.get(key), "\n  after: ", b.get(key))
PY
  fail "the folder, the driver store or the registry changed"
}

# The installer, with Wine's own DLLs, installs a.inf's driver on the modem.
cp "$dist/varnoll64.exe" "$folder/"
wine "$folder/varnoll64.exe" >/dev/null 2>&1 </dev/null || fail "the installer failed"
rm "$folder/varnoll64.exe"
# The same snapshot does see what an installation changes.
[ "$(state)" != "$after" ] || fail "the snapshot does not see the installer's changes"
[ "$(bash "$source_dir/tests/wine/publish_as_oem.sh" a.inf 41)" = oem41.inf ] || fail "could not publish a.inf"
run_check "$work/varnollcheck64.exe" --json "$win_folder"
expect_json "varnollcheck64.exe after the install" oem41.inf
expect_detect "$work/varnollcheck64.exe" in
expect_summary "$work/varnollcheck64.exe" in-place in-place
[ ! -x /usr/lib/wine/wine ] || expect_detect "$work/varnollcheck.exe" in
run_check "$work/varnollcheck64.exe" --detect --json "$win_package"
[ "$check_status" -eq 0 ] || fail "--detect --json exited $check_status, expected 0"
python3 - "$work/out" "$instance" "$package/a.inf" <<'PY' || fail "--detect --json: $(cat "$work/out")"
import hashlib, json, sys
report = json.loads(open(sys.argv[1], "rb").read().decode("utf-8"))
assert set(report) == {"folder", "files", "reenumerate", "in_place"}, set(report)
assert report["in_place"] is True, report
(a,) = report["files"]
assert (a["store"], a["store_copies"]) == ("oem41.inf", ["oem41.inf"]), a
assert a["sha256"] == hashlib.sha256(open(sys.argv[3], "rb").read()).hexdigest(), a
(device,) = a["devices"]
assert device["instance_id"] == sys.argv[2] and device["uses_package"] is True, device
assert device["problem"] is None and device["restart_pending"] in (False, None), device
PY

# The device's driver as Windows would record a newer one: its driver key's
# DriverDate and DriverVersion. The package's forced install would go down,
# which Windows allows: a warning, not a reason to fail.
driver_key=$(wine reg query 'HKLM\System\CurrentControlSet\Control\Class\{4D36E96D-E325-11CE-BFC1-08002BE10318}' /s \
  </dev/null 2>/dev/null | tr -d '\r' | awk '/^HKEY_/ { key = $0 } $1 == "InfPath" && tolower($3) == "oem41.inf" { print key }')
[ "$(printf '%s\n' "$driver_key" | grep -c .)" -eq 1 ] || fail "no single driver key names oem41.inf: $driver_key"
wine reg add "$driver_key" /v DriverDate /t REG_SZ /d 1-15-2030 /f >/dev/null 2>&1 </dev/null &&
  wine reg add "$driver_key" /v DriverVersion /t REG_SZ /d 9.0.0.0 /f >/dev/null 2>&1 </dev/null ||
  fail "could not set the driver's date and version"
run_check "$work/varnollcheck64.exe" --preflight --json "$win_package"
python3 - "$work/out" "$instance" <<'PY' || fail "a newer driver: $(cat "$work/out")"
import json, sys
report = json.loads(open(sys.argv[1], "rb").read().decode("utf-8"))
(a,) = report["files"]
(device,) = a["devices"]
assert device["instance_id"] == sys.argv[2], device
assert (device["driver_date"], device["driver_version"], device["downgrade"]) == ("1-15-2030", "9.0.0.0", True), device
(finding,) = [f for f in a["package"]["findings"] if f["code"] == "downgrade"]
assert finding["severity"] == "warning" and "ROOT" in finding["text"], finding
PY

# The device's driver as if another package had replaced ours (Windows
# Update, an admin): its driver key names another published INF and its
# provider. --detect names them, with the date and version and that the
# driver is newer than the package's; the summary gives the cause.
wine reg add "$driver_key" /v InfPath /t REG_SZ /d oem99.inf /f >/dev/null 2>&1 </dev/null &&
  wine reg add "$driver_key" /v ProviderName /t REG_SZ /d Contoso /f >/dev/null 2>&1 </dev/null ||
  fail "could not set the driver's INF and provider"
run_check "$work/varnollcheck64.exe" --detect "$win_package"
[ "$check_status" -eq 1 ] || fail "--detect on another driver exited $check_status"
tr -d '\r' <"$work/err" | grep -qxF "not in place: a.inf: device $instance has its driver from oem99.inf (Contoso, 1-15-2030, 9.0.0.0, newer than this package's $(
  tr -d '\r' <"$package/a.inf" | sed -n 's/^DriverVer *= *\([^,]*\), *\([^ ]*\).*/\1, \2/p'))" ||
  fail "--detect did not name the other driver: $(cat "$work/err")"
expect_summary "$work/varnollcheck64.exe" not-in-place other-driver-newer oem99.inf
wine reg add "$driver_key" /v InfPath /t REG_SZ /d oem41.inf /f >/dev/null 2>&1 </dev/null || true

# The three lines, read back by the fleet reader as a folder of machines.
run_check "$dist/varnollfleet64.exe" --json "$(printf 'Z:%s' "$work/fleet" | tr '/' '\\')"
[ "$check_status" -eq 0 ] || fail "varnollfleet64.exe exited $check_status: $(cat "$work/err")"
python3 - "$work/out" <<'PY' || fail "varnollfleet64.exe: $(cat "$work/out")"
import json, sys
table = json.loads(open(sys.argv[1], "rb").read().decode("utf-8"))
assert (table["machines"], table["read"], table["unreadable"]) == (3, 3, 0), table
groups = {(g["verdict"], g["cause"]): g["examples"] for g in table["groups"]}
assert groups[("in-place", "in-place")] == ["PC-1"], groups
assert groups[("not-in-place", "other-driver-newer")] == ["PC-2"], groups
(before,) = [cause for (verdict, cause), machines in groups.items() if machines == ["PC-0"]]
assert before not in ("in-place", "other-driver-newer"), groups
PY
# The same lines as an Intune export (UTF-8 byte-order mark, CR LF, quoted
# fields), read with --csv: one row per machine, written by the Windows build.
python3 - "$work/fleet" "$work/export.csv" <<'PY'
import os, sys
folder, export = sys.argv[1:]
rows = ['"Device name","Detection status","Pre-remediation detection output"']
for name in sorted(os.listdir(folder)):
    line = open(os.path.join(folder, name), "rb").read().decode("utf-8").strip()
    rows.append('"%s","With issues","%s"' % (name[:-4], line.replace('"', '""')))
open(export, "wb").write(("\ufeff" + "\r\n".join(rows) + "\r\n").encode("utf-8"))
PY
run_check "$dist/varnollfleet64.exe" --csv "$(printf 'Z:%s' "$work/rows.csv" | tr '/' '\\')" \
  "$(printf 'Z:%s' "$work/export.csv" | tr '/' '\\')"
[ "$check_status" -eq 0 ] || fail "varnollfleet64.exe on the export exited $check_status: $(cat "$work/err")"
grep -q "^3 machines: 3 read, 0 unreadable" <(tr -d '\r' <"$work/out") || fail "varnollfleet64.exe: $(cat "$work/out")"
[ "$(sed -n 1p "$work/rows.csv" | tr -d '\r')" = "machine,verdict,cause,driver,problem" ] &&
  grep -q "^PC-2,not-in-place,other-driver-newer,oem99.inf,"$'\r'"\$" "$work/rows.csv" ||
  fail "varnollfleet64.exe --csv: $(cat "$work/rows.csv")"
echo "ok [check tool]: install, preinstall and skips as expected; nothing changed; the driver's INF is named;" \
  "--detect: not in place before the install, in place after; a newer driver on the device is a downgrade;" \
  "--detect --summary: one line each time; another driver named with its provider, DriverVer and age"
