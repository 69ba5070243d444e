#!/usr/bin/env bash
# Inside the ARM64 guest: varnollcheckarm64.exe on the sample drivers, with
# no modem present, tells two pre-installs and one skip, a re-enumeration,
# the SHA-256 of the fax INF (Windows' CNG under ARM64 Wine), and exits 0.
#   check_samples.sh CHECK_EXE SAMPLES_DIR
set -uo pipefail
export WINEPREFIX=${WINEPREFIX:-/root/prefix} WINEDEBUG=-all
out=$(mktemp)
trap 'rm -f "$out"' EXIT
timeout 300 wine "$1" --json "Z:$(cd "$2" && pwd | tr '/' '\\')" >"$out" 2>/dev/null </dev/null
status=$?
cat "$out"
[ "$status" -eq 0 ] || { echo "FAIL: exit status $status, expected 0"; exit 1; }
for want in '"name": "modem-enumerator.inf", "hardware_id": "MDMGEN\\SERIAL_MODEM", "qualifies": false, "action": "skip", "reason": "no-ven"' \
  '"name": "tarvelix-fax.inf", "hardware_id": "PCI\\VEN_1F2E&DEV_0B02", "qualifies": true, "action": "preinstall"' \
  '"name": "tarvelix-v92.inf", "hardware_id": "PCI\\VEN_1F2E&DEV_0A01", "qualifies": true, "action": "preinstall"' \
  '"sha256": "80c68092d7ca7e2174c59823249bbd08cc99941d16aab7be73ac0b48c1086286"' \
  '"reenumerate": true'; do
  grep -qF "$want" "$out" || { echo "FAIL: the report lacks: $want"; exit 1; }
done
echo "ok: varnollcheckarm64.exe on the samples"
