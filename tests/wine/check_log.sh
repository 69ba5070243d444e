#!/usr/bin/env bash
# The Windows check tool reads Windows' installation log from where Windows
# keeps it: with a log placed at C:\windows\inf\setupapi.dev.log in the
# prefix (Wine writes none), varnollcheck64.exe --log (and the x86 build)
# report the same last runs as the Linux tool given the same file with
# --log=FILE, which are the ones the Linux tests expect.
#   check_log.sh DIST_DIR LINUX_CHECK_TOOL PREFIX_DIR
set -euo pipefail
dist=$1
linux_tool=$2
export WINEPREFIX="$3/prefix" WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
fail() { echo "FAIL [check log]: $*" >&2; exit 1; }
[ -x "$linux_tool" ] || { echo "SKIP: $linux_tool has not been built (the host preset)"; exit 77; }

work=$(mktemp -d /tmp/varnoll-log.XXXXXX)
log="$WINEPREFIX/drive_c/windows/inf/setupapi.dev.log"
cleanup() {
  rm -f "$log"
  [ ! -f "$work/saved.log" ] || cp "$work/saved.log" "$log"
  rm -rf "$work"
}
trap cleanup EXIT
[ ! -f "$log" ] || cp "$log" "$work/saved.log"

# The folder and the log of the Linux tests, written once for both tools.
python3 - "$source_dir/tests/check" "$work/folder" "$log" <<'PY'
import os, sys
sys.path.insert(0, sys.argv[1])
from check_tool_test import LOG, LOG_FOLDER
os.makedirs(sys.argv[2])
for name, data in LOG_FOLDER.items():
    open(os.path.join(sys.argv[2], name), "wb").write(data)
open(sys.argv[3], "wb").write(LOG)
PY

"$linux_tool" --json --log="$log" "$work/folder" >"$work/linux.json" || fail "the Linux tool failed"
compare() {  # EXE
  set +e
  wine "$dist/$1" --json --log "$(printf 'Z:%s' "$work/folder" | tr '/' '\\')" >"$work/windows.json" 2>"$work/err" </dev/null
  local status=$?
  set -e
  [ "$status" -eq 0 ] || fail "$1 exited $status: $(head -c 500 "$work/err")"
  python3 - "$work/linux.json" "$work/windows.json" "$source_dir/tests/check" "$1" <<'PY' || fail "$1 and the Linux tool differ"
import json, sys
sys.path.insert(0, sys.argv[3])
from check_tool_test import LOG_EXPECTED
linux = json.load(open(sys.argv[1], encoding="utf-8"))
windows = json.loads(open(sys.argv[2], "rb").read().decode("utf-8"))
assert windows["log"]["file"].lower() == "c:\\windows\\inf\\setupapi.dev.log", windows["log"]
assert windows["log"]["sections"] == linux["log"]["sections"], (windows["log"], linux["log"])
assert set(windows) == {"folder", "files", "reenumerate", "restart_pending", "device_install_policy",
                        "log"}, set(windows)
assert set(windows["log"]) == {"file", "sections", "recognised"}, windows["log"]
for entry in windows["files"]:
    assert {"last_update", "last_staging", "store_copies"} <= set(entry), set(entry)
    for run in (entry["last_update"], entry["last_staging"]):
        assert run is None or set(run) == {"time", "status", "error", "error_name", "devices", "published",
                                           "restart", "inf_path", "cmd", "cause"}, run
runs = lambda report: {f["name"]: (f["last_update"], f["last_staging"]) for f in report["files"]}
assert runs(windows) == runs(linux) == LOG_EXPECTED, (runs(windows), runs(linux))
print("ok %s: the same last runs as the Linux tool" % sys.argv[4])
PY
}
compare varnollcheck64.exe
if [ -x /usr/lib/wine/wine ]; then compare varnollcheck.exe; else echo "x86 check skipped: no 32-bit Wine"; fi
