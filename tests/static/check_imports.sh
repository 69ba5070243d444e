#!/usr/bin/env bash
# Checks what the PE headers of a built installer say: the GUI subsystem, the
# device-installation calls bound at load time from the DLL each belongs to,
# and no DLL other than Windows' own.
#   check_pe.sh EXE OBJDUMP
set -euo pipefail
exe=$1
objdump=$2
headers=$("$objdump" -p "$exe")
status=0
fail() { echo "FAIL $(basename "$exe"): $*" >&2; status=1; }

grep -q 'Subsystem[[:space:]]*00000002' <<<"$headers" || fail "not a Windows GUI subsystem image"

# "dll function" for every imported name, DLL names lower-cased.
imports=$(awk '
  /DLL Name:/ { dll = tolower($3); next }
  /^[[:space:]]*$/ { dll = "" }
  dll != "" && $1 ~ /^[0-9a-f]+$/ && NF == 3 { print dll, $3 }
' <<<"$headers")

expect_import() {  # DLL FUNCTION: imported from that DLL and from no other
  local found
  found=$(awk -v f="$2" '$2 == f { print $1 }' <<<"$imports" | sort -u | tr '\n' ' ')
  [ "$found" = "$1 " ] || fail "$2 is imported from '${found}', expected '$1'"
}
expect_import newdev.dll UpdateDriverForPlugAndPlayDevicesA
expect_import setupapi.dll SetupCopyOEMInfA
expect_import cfgmgr32.dll CM_Locate_DevNodeA
expect_import cfgmgr32.dll CM_Reenumerate_DevNode

# Windows' own DLLs only: nothing a copy of the program would need beside it.
system_dlls=" kernel32.dll user32.dll msvcrt.dll newdev.dll setupapi.dll cfgmgr32.dll advapi32.dll "
for dll in $(awk '{ print $1 }' <<<"$imports" | sort -u); do
  [[ "$system_dlls" == *" $dll "* ]] || fail "imports $dll, which is not a Windows system DLL"
done

# setupapi.dll may bring only SetupCopyOEMInfA: the CM_* names it also exports
# must come from cfgmgr32.dll.
setupapi_names=$(awk '$1 == "setupapi.dll" { print $2 }' <<<"$imports" | tr '\n' ' ')
[ "$setupapi_names" = "SetupCopyOEMInfA " ] || fail "setupapi.dll provides: $setupapi_names"

[ "$status" -eq 0 ] && echo "ok $(basename "$exe"): GUI subsystem, imports as expected"
exit "$status"
