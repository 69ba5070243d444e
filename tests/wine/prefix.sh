#!/usr/bin/env bash
# Makes or removes the throwaway Wine prefix the Wine tests share.
#   prefix.sh setup DIR      a fresh prefix in DIR, with the stand-in DLL overrides
#   prefix.sh overrides DIR  the overrides only, in the existing prefix of DIR
#   prefix.sh cleanup DIR    stops its server and removes DIR
set -euo pipefail
action=$1
dir=$2
export WINEPREFIX="$dir/prefix" WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY

# The stand-in DLLs are loaded from the program's folder, for the programs
# under test only, and only when a scenario puts them there. The server is
# kept up between tests; the first process of a server session can print the
# window warning while it starts the desktop.
add_overrides() {
  wineserver -p >>"$dir/wineboot.log" 2>&1 </dev/null &
  for program in varnoll64.exe varnoll.exe varnollarm64.exe; do
    for dll in newdev cfgmgr32 setupapi; do
      wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$program\\DllOverrides" \
        /v "$dll" /d native,builtin /f >>"$dir/wineboot.log" 2>&1 </dev/null
    done
  done
  wine reg query HKCU >/dev/null 2>&1 </dev/null
}

case "$action" in
  setup)
    rm -rf "$dir"
    mkdir -p "$dir"
    echo "Creating a Wine prefix in $dir (about 15 s)..."
    wineboot -i >"$dir/wineboot.log" 2>&1
    add_overrides
    echo "Wine prefix ready."
    ;;
  overrides)
    add_overrides
    ;;
  cleanup)
    if [ -d "$WINEPREFIX" ]; then
      wineserver -k >/dev/null 2>&1 || true
      wineserver -w >/dev/null 2>&1 || true
    fi
    rm -rf "$dir"
    ;;
  *)
    echo "usage: prefix.sh setup|cleanup DIR" >&2
    exit 2
    ;;
esac
