#!/usr/bin/env bash
# Verdicts on a driver store as Windows holds it, with Wine's own DLLs and
# root-enumerated modems, on the real check tool and removal program (x64,
# and the x86 builds: the check tool's own pass, the removal's hand-off).
# 1. The package's bytes in C:\windows\inf as notmine.inf, a copy by hand:
#    not in place (exit 1), and the removal leaves it (exit 0, named).
# 2. The bytes published three times, the device on the last copy: in place,
#    every copy listed; the removal takes the copies no device uses and
#    leaves the one the device uses (Wine has no DiUninstallDriver, exit 1).
#    Staged twice, no device: the removal takes both (exit 0).
# 3. Two INFs with one hardware ID: the installer updates the device with
#    each, the last stays, and that is in place (exit 0).
# 4. A folder whose name the ANSI code page cannot hold: both tools say so
#    in one line and exit 2, from inside it and given as FOLDER; the
#    installer there is silent, exits 0 and stages nothing.
# 5. --detect --log with no log to read: in place, and nothing on standard
#    error.
#   store_verdicts.sh DIST_DIR HELPER_DIR PREFIX_DIR
set -euo pipefail
dist=$1
helpers=$2
export WINEPREFIX="$3/prefix" WINEDEBUG=-all LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
fail() { echo "FAIL [store verdicts]: $*" >&2; exit 1; }

work=$(mktemp -d /tmp/varnoll-verdicts.XXXXXX)
store="$WINEPREFIX/drive_c/windows/inf"
instances=()
cleanup() {
  for instance in "${instances[@]}"; do
    wine "$helpers/make_device.exe" --remove "$instance" >/dev/null 2>&1 </dev/null || true
  done
  for name in notmine verdict-used verdict-a verdict-b oem61 oem62 oem63 oem64 oem65 oem66 oem67 oem68; do
    rm -f "$store/$name.inf" "$store/$name.pnf"
  done
  rm -rf "$work"
}
trap cleanup EXIT
to_windows() { printf 'Z:%s' "$1" | tr '/' '\\'; }
publish() { bash "$source_dir/tests/wine/publish_as_oem.sh" "$@" >/dev/null || fail "could not publish $1"; }

make_package() {  # FOLDER NAME DEVICE_SUFFIX [COMMENT]
  mkdir -p "$1"
  { sed "s/PCI\\\\VEN_1F2E&DEV_0A01/PCI\\\\VEN_1F2E\\&DEV_$3/" "$source_dir/samples/drivers/tarvelix-v92.inf"
    [ -z "${4:-}" ] || echo "; $4"; } >"$1/$2"
  grep -q "DEV_$3" "$1/$2" || fail "could not make $2"
  cp "$source_dir/samples/drivers/tarvelix-v92.cat" "$1/"  # Wine stages no INF without its catalog
}
plug_in() {  # DEVICE_SUFFIX
  local instance
  instance=$(wine "$helpers/make_device.exe" "PCI\\VEN_1F2E&DEV_$1" 2>/dev/null </dev/null | tr -d '\r')
  [ -n "$instance" ] || fail "make_device could not register the modem"
  instances+=("$instance")
}
install() {  # FOLDER: the installer, with Wine's own DLLs
  cp "$dist/varnoll64.exe" "$1/"
  wine "$1/varnoll64.exe" >/dev/null 2>&1 </dev/null || fail "the installer failed in $1"
  rm "$1/varnoll64.exe"
}

tools=$work/tools
mkdir -p "$tools"
cp "$dist/varnollcheck64.exe" "$dist/varnollremove64.exe" "$tools/"
checks=("$tools/varnollcheck64.exe")
removers=("$tools/varnollremove64.exe")
if [ -x /usr/lib/wine/wine ]; then
  cp "$dist/varnollcheck.exe" "$dist/varnollremove.exe" "$tools/"
  checks+=("$tools/varnollcheck.exe")
  removers+=("$tools/varnollremove.exe")
fi

run() {  # EXE ARGS...: output in $work/out.txt and $work/err.txt, status in $status
  set +e
  wine "$@" >"$work/out" 2>"$work/err" </dev/null
  status=$?
  set -e
  tr -d '\r' <"$work/out" >"$work/out.txt"
  tr -d '\r' <"$work/err" >"$work/err.txt"
  if grep -q "tried to create a window" "$work/err.txt"; then fail "$1 created a window"; fi
}
expect() {  # STATUS FILE WORDS: the status, and WORDS in out.txt or err.txt
  [ "$status" -eq "$1" ] || fail "exit status $status, expected $1: $(cat "$work/out.txt" "$work/err.txt")"
  grep -qF -- "$3" "$work/$2.txt" || fail "$2 lacks '$3': $(cat "$work/$2.txt")"
}
detect_in() {  # FOLDER WORDS: every check build says "in place", one line, nothing on standard error
  for check in "${checks[@]}"; do
    run "$check" --detect "$(to_windows "$1")"
    expect 0 out "$2"
    [ "$(wc -l <"$work/out.txt")" -eq 1 ] && [ ! -s "$work/err.txt" ] ||
      fail "$(basename "$check") --detect: not one line, or standard error: $(cat "$work/out.txt" "$work/err.txt")"
  done
}

# 1. A copy by hand.
hand=$work/hand
make_package "$hand" hand.inf 0E01
cp "$hand/hand.inf" "$store/notmine.inf"
for check in "${checks[@]}"; do
  run "$check" --detect "$(to_windows "$hand")"
  expect 1 err "not in place: hand.inf: not in the driver store"
  run "$check" --json "$(to_windows "$hand")"
  expect 0 out "a copy under another name, not a published package"
done
for remover in "${removers[@]}"; do
  run "$remover" "$(to_windows "$hand")"
  expect 0 out "hand.inf: not in the driver store: nothing to remove; notmine.inf there has the same bytes"
  cmp -s "$hand/hand.inf" "$store/notmine.inf" || fail "$(basename "$remover") touched notmine.inf"
done

# 2. Published three times; the device has its driver from the last copy.
used=$work/used
make_package "$used" verdict-used.inf 0E02
plug_in 0E02
install "$used"
publish verdict-used.inf 63
cp "$store/oem63.inf" "$store/oem61.inf"
cp "$store/oem63.inf" "$store/oem62.inf"
detect_in "$used" "in place: verdict-used.inf as oem63.inf in the driver store; 1 present device uses it"
run "${checks[0]}" --detect --json "$(to_windows "$used")"
python3 - "$work/out" <<'PY' || fail "--detect --json: $(cat "$work/out.txt")"
import json, sys
(entry,) = json.loads(open(sys.argv[1], "rb").read().decode("utf-8"))["files"]
assert (entry["store"], entry["store_copies"]) == ("oem63.inf", ["oem61.inf", "oem62.inf", "oem63.inf"]), entry
PY
run "${removers[-1]}" "$(to_windows "$used")"
expect 1 out "removed oem61.inf from the driver store; removed oem62.inf from the driver store; oem63.inf left"
[ ! -e "$store/oem61.inf" ] && [ ! -e "$store/oem62.inf" ] && [ -e "$store/oem63.inf" ] ||
  fail "the removal did not take exactly the unused copies: $(ls "$store")"
staged=$work/staged
make_package "$staged" verdict-staged.inf 0E03
cp "$staged/verdict-staged.inf" "$store/oem64.inf"
cp "$staged/verdict-staged.inf" "$store/oem65.inf"
run "${removers[-1]}" "$(to_windows "$staged")"
expect 0 out "removed oem64.inf from the driver store; removed oem65.inf from the driver store"
[ ! -e "$store/oem64.inf" ] && [ ! -e "$store/oem65.inf" ] || fail "a staged copy is still there"

# 3. Two INFs with one hardware ID: the last one's driver stays.
pair=$work/pair
make_package "$pair" verdict-a.inf 0E04 "the first of two"
make_package "$pair" verdict-b.inf 0E04 "the second of two"
plug_in 0E04
install "$pair"
publish verdict-a.inf 66
publish verdict-b.inf 67
detect_in "$pair" "in place: verdict-a.inf as oem66.inf, verdict-b.inf as oem67.inf in the driver store"
run "${checks[0]}" "$(to_windows "$pair")"
expect 0 out "later INF file, verdict-b.inf, has the same hardware ID"

# 4. A folder whose name the ANSI code page (1252) cannot hold.
cyrillic=$work/пакет
make_package "$cyrillic" verdict-cyrillic.inf 0E05
plug_in 0E05
cp "$dist/varnollcheck64.exe" "$dist/varnollremove64.exe" "$cyrillic/"
[ ! -x /usr/lib/wine/wine ] || cp "$dist/varnollcheck.exe" "$dist/varnollremove.exe" "$cyrillic/"
for program in "$cyrillic"/varnoll*.exe; do
  for args in "" "--detect"; do
    case "$program$args" in *remove*--detect) continue ;; esac
    run "$program" $args
    expect 2 err "its own folder cannot be opened as given"
    [ "$(wc -l <"$work/err.txt")" -eq 1 ] && [ ! -s "$work/out.txt" ] ||
      fail "$(basename "$program") $args: $(cat "$work/out.txt" "$work/err.txt")"
  done
done
for program in "${checks[@]}" "${removers[@]}"; do
  run "$program" "$(to_windows "$cyrillic")"
  expect 2 err "cannot be opened as given: its name holds a character that the ANSI code page cannot hold"
done
ls "$store" | sort >"$work/store.before"
cp "$dist/varnoll64.exe" "$cyrillic/"
run "$cyrillic/varnoll64.exe"
[ "$status" -eq 0 ] && [ ! -s "$work/out.txt" ] || fail "the installer: exit $status, $(cat "$work/out.txt")"
ls "$store" | sort >"$work/store.after"
cmp -s "$work/store.before" "$work/store.after" || fail "the installer staged something: $(ls "$store")"

# 5. Detection with --log and no log to read: silent on standard error.
for log in --log "--log=$(to_windows "$work/missing.log")"; do
  run "${checks[0]}" --detect "$log" "$(to_windows "$pair")"
  expect 0 out "in place: "
  [ ! -s "$work/err.txt" ] || fail "--detect $log wrote on standard error: $(cat "$work/err.txt")"
done
echo "ok [store verdicts]: a copy by hand is no package; every published copy counts and goes;" \
  "the last INF with an ID decides; a folder the code page cannot name exits 2; --detect --log is silent"
