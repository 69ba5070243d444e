#!/usr/bin/env bash
# Puts CASE_DIR/setupapi.dev.log where Windows keeps its installation log,
# C:\windows\inf\setupapi.dev.log in the prefix (Wine writes none), runs
# CHECK_PROGRAM --json --log on CASE_DIR/folder, keeps its report in
# REPORT, and puts back what the prefix held before. A window, or an exit
# status other than 0, fails. log_case.py writes the case and checks the
# report.
#   log_in_prefix.sh CHECK_PROGRAM CASE_DIR REPORT    (WINEPREFIX set)
set -euo pipefail
program=$1
case_dir=$(cd "$2" && pwd)
report=$3
fail() { echo "FAIL [log in prefix]: $*" >&2; exit 1; }

log="$WINEPREFIX/drive_c/windows/inf/setupapi.dev.log"
saved=$(mktemp)
had_log=""
[ ! -f "$log" ] || { cp "$log" "$saved" && had_log=1; }
cleanup() {
  rm -f "$log"
  [ -z "$had_log" ] || cp "$saved" "$log"
  rm -f "$saved" "$report.err"
}
trap cleanup EXIT
cp "$case_dir/setupapi.dev.log" "$log"

set +e
wine "$program" --json --log "$(printf 'Z:%s' "$case_dir/folder" | tr '/' '\\')" >"$report" 2>"$report.err" </dev/null
status=$?
set -e
if grep -q "tried to create a window" "$report.err"; then fail "$(basename "$program") created a window"; fi
[ "$status" -eq 0 ] || fail "$(basename "$program") exited $status: $(head -c 500 "$report.err")"
echo "$(basename "$program") --json --log: report in $report"
