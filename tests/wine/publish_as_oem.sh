#!/usr/bin/env bash
# Wine publishes a staged INF in C:\windows\inf under its own name; Windows
# publishes it as oem<N>.inf, and only such a file is a package in the driver
# store. This renames Wine's copy (and its .pnf) to oem<N>.inf and points the
# driver keys that name it there, so that the prefix holds the package as
# Windows would.
#   publish_as_oem.sh NAME.inf N     (WINEPREFIX set; prints the new name)
set -euo pipefail
name=$1
number=$2
store="$WINEPREFIX/drive_c/windows/inf"
published="oem$number.inf"
# The store's own spelling of the name: Wine may keep the package's case.
found=$(cd "$store" && find . -maxdepth 1 -type f -iname "$name" -printf '%f\n' | head -n 1)
[ -n "$found" ] || { echo "publish_as_oem: $name is not in $store" >&2; exit 1; }
[ ! -e "$store/$published" ] || { echo "publish_as_oem: $store/$published exists" >&2; exit 1; }
mv "$store/$found" "$store/$published"
pnf=$(cd "$store" && find . -maxdepth 1 -type f -iname "${name%.*}.pnf" -printf '%f\n' | head -n 1)
[ -z "$pnf" ] || mv "$store/$pnf" "$store/oem$number.pnf"

# The modem class's driver keys (the tests' devices are modems), read again
# when a read fails (another program may be adding or removing a device's
# keys at that moment). Reading the whole class tree was seen to fail every
# time once the full Wine suite had run in the prefix.
class='HKLM\System\CurrentControlSet\Control\Class\{4D36E96D-E325-11CE-BFC1-08002BE10318}'
classes=""
for attempt in 1 2 3; do
  if classes=$(wine reg query "$class" /s </dev/null 2>/dev/null); then break; fi
  # No such key at all: no modem has a driver, so no key names the copy.
  classes=""
  [ "$attempt" -lt 3 ] || break
  sleep 1
done
printf '%s\n' "$classes" | tr -d '\r' |
  awk -v name="$name" '
    /^HKEY_/ { key = $0; next }
    $1 == "InfPath" && tolower($3) == tolower(name) { print key }' |
  while IFS= read -r key; do
    wine reg add "$key" /v InfPath /t REG_SZ /d "$published" /f >/dev/null 2>&1 </dev/null ||
      { echo "publish_as_oem: could not set InfPath of $key" >&2; exit 1; }
  done
echo "$published"
