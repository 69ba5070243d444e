#!/usr/bin/env bash
# Builds the executables, then runs the x64 installer under Wine the way an
# admin would on Windows: dropped into a folder of driver INF files on a
# machine with a modem plugged in. Prints what happened, and cleans up.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

# The compilers and 64-bit Wine: no 32-bit Wine, no emulated ARM64 machine.
scripts/ensure-tools.sh demo
echo "Building the installers and check tools into dist/..."
scripts/build.sh >/dev/null

work=$(mktemp -d /tmp/varnoll-demo.XXXXXX)
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

echo "Creating a throwaway Wine prefix in $work (about 15 s)..."
wineboot -i >"$work/wineboot.log" 2>&1
wine reg query HKCU >/dev/null 2>&1 </dev/null   # starts the desktop quietly

hardware_id='PCI\VEN_1F2E&DEV_0A01'
instance=$(wine build/win64/helpers/make_device.exe "$hardware_id" 2>/dev/null </dev/null | tr -d '\r')
echo "Plugged in a modem (a root-enumerated device): $instance, hardware ID $hardware_id"

folder="$work/drivers"
mkdir -p "$folder"
cp samples/drivers/*.inf samples/drivers/*.cat dist/varnoll64.exe "$folder/"
store="$WINEPREFIX/drive_c/windows/inf"
ls "$store" | sort >"$work/store.before"

echo
echo "First, what would it do? Running: wine varnollcheck64.exe   (read-only, beside the INFs)"
cp dist/varnollcheck64.exe "$folder/"
wine "$folder/varnollcheck64.exe" >"$work/check.txt" 2>/dev/null </dev/null || true
tr -d '\r' <"$work/check.txt" | sed 's/^/  | /'
rm "$folder/varnollcheck64.exe"

# A deployment tool asks about one package: the V.92 modem's INF.
package="$work/package"
mkdir -p "$package"
cp samples/drivers/tarvelix-v92.inf "$package/"
win_package=$(printf 'Z:%s' "$package" | tr '/' '\\')
cp dist/varnollcheck64.exe "$work/"
detect() {  # what a deployment tool's detection sees: exit status, standard output, standard error
  set +e
  wine "$work/varnollcheck64.exe" --detect "$win_package" >"$work/detect.out" 2>"$work/detect.err" </dev/null
  local detect_status=$?
  set -e
  echo "  exit status $detect_status ($([ "$detect_status" -eq 0 ] && echo "detected: in place" || echo "not detected"))"
  tr -d '\r' <"$work/detect.out" | sed 's/^/  stdout | /'
  grep -v -e '^err:' -e '^fixme:' "$work/detect.err" | tr -d '\r' | sed 's/^/  stderr | /' || true
}
# Before the package goes out: would Windows take it? Then a copy of it
# with one byte of the INF changed after signing.
preflight() {  # FOLDER TITLE
  echo
  echo "$2"
  set +e
  wine "$work/varnollcheck64.exe" --preflight "$(printf 'Z:%s' "$1" | tr '/' '\\')" >"$work/pf.out" 2>"$work/pf.err" </dev/null
  echo "  exit status $?"
  set -e
  tr -d '\r' <"$work/pf.out" | sed 's/^/  stdout | /'
  grep -v -e '^err:' -e '^fixme:' "$work/pf.err" | tr -d '\r' | sed 's/^/  stderr | /' || true
  # Who signed each package, from the JSON form.
  wine "$work/varnollcheck64.exe" --preflight --json "$(printf 'Z:%s' "$1" | tr '/' '\\')" 2>/dev/null </dev/null |
    python3 -c 'import json, sys
for f in json.load(sys.stdin)["files"]:
    if f["qualifies"]:
        p = f["package"]
        print("  signer | " + f["name"] + ": " + str(p["signer_kind"]) + ", " + " <- ".join(p["signer_chain"]))' || true
}
preflight "$root/samples/drivers" "Pre-flight: varnollcheck64.exe --preflight on the sample package (signed by a throwaway test certificate)"
changed="$work/changed"
cp -r samples/drivers "$changed"
sed -i 's/Tarvelix V.92 PCI Modem (sample)/Tarvelix V.92 PCI Modem (sampLe)/' "$changed/tarvelix-v92.inf"
preflight "$changed" "Pre-flight on a copy where one byte of tarvelix-v92.inf changed after signing"

echo
echo "A deployment tool's detection, before the install: varnollcheck64.exe --detect on the V.92 package"
detect

echo
echo "Running: wine varnoll64.exe   (in $folder: $(cd "$folder" && ls | tr '\n' ' '))"
set +e
wine "$folder/varnoll64.exe" >"$work/stdout" 2>"$work/stderr" </dev/null
status=$?
set -e
ls "$store" | sort >"$work/store.after"

source tests/wine/registry.sh

echo
echo "What happened"
echo "  exit status:     $status"
if grep -q "tried to create a window" "$work/stderr"; then
  echo "  window:          CREATED (this is a bug)"
else
  echo "  window:          none"
fi
driver=$(reg_value "HKLM\\System\\CurrentControlSet\\Enum\\$instance" Driver)
if [ -n "$driver" ]; then
  key="HKLM\\System\\CurrentControlSet\\Control\\Class\\$driver"
  echo "  device $instance now has a driver:"
  echo "    description:   $(reg_value "HKLM\\System\\CurrentControlSet\\Enum\\$instance" DeviceDesc)"
  echo "    driver key:    $driver"
  echo "    from INF:      $(reg_value "$key" InfPath), section $(reg_value "$key" InfSection)"
  echo "    INF values:    SampleModel = $(reg_value "$key" SampleModel), SampleMaxSpeed = $(reg_value "$key" SampleMaxSpeed)"
else
  echo "  device $instance has NO driver"
fi
added=$(comm -13 "$work/store.before" "$work/store.after" | tr '\n' ' ')
echo "  new in the driver store (C:\\windows\\inf): ${added:-nothing}"
echo "  files in the folder afterwards: $(cd "$folder" && ls | tr '\n' ' ')"
echo
echo "Wine keeps the installed INF under its own name; Windows publishes it as oem<N>.inf, and only"
echo "such a name is a package of the driver store. Renamed as Windows would hold it: $(
  bash tests/wine/publish_as_oem.sh tarvelix-v92.inf 1)"
echo "The same detection, after the install:"
detect

cat <<'NOTE'

The sample INFs, one by one
  tarvelix-v92.inf      its device is present: the driver is installed on it.
  tarvelix-fax.inf      no device has its hardware ID. Windows answers "no such
                        device" (0xE000020B) and the installer then pre-installs
                        the INF into the driver store and re-enumerates the
                        device tree. Wine's UpdateDriverForPlugAndPlayDevicesA
                        reports success instead, so under Wine nothing more
                        happens for it (the Wine tests cover that path with
                        stand-in DLLs).
  modem-enumerator.inf  its first hardware ID has no "VEN_": left alone.

Where Wine differs from Windows
  - a present device's INF is copied into C:\windows\inf under its own name;
    Windows stores it as oemN.inf.
  - Wine's CM_Locate_DevNodeA and CM_Reenumerate_DevNode are stubs that fail.
  - Wine ignores INSTALLFLAG_FORCE.
  - Wine's CM_Get_DevNode_Status reports every device as not started, with no
    problem.
NOTE
exit "$status"
