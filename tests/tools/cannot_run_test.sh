#!/usr/bin/env bash
# tests/cannot_run.sh, the one way a test says it cannot run for want of a
# build or a tool: a skip (exit 77) on a developer's machine, a failure
# under CI. One row per value of CI, each run through run_wine.sh on a
# program that has not been built, as the Wine suite meets it when a preset
# was not built.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d /tmp/varnoll-cannot-run.XXXXXX)
trap 'rm -rf "$work"' EXIT

failed=0
while read -r ci want_status want_words; do
  [ "$ci" != unset ] || ci=""
  status=0
  env CI="$ci" bash "$source_dir/tests/wine/run_wine.sh" "$work" "$work/not-built.exe" >"$work/out" 2>&1 ||
    status=$?
  if [ "$status" -ne "$want_status" ] || ! grep -qF -- "$want_words" "$work/out" ||
    ! grep -qF "$work/not-built.exe has not been built" "$work/out"; then
    echo "FAIL [cannot_run, CI='$ci']: exit status $status, expected $want_status with '$want_words': $(cat "$work/out")" >&2
    failed=1
  fi
done <<'ROWS'
unset 77 SKIP:
false 77 SKIP:
0     77 SKIP:
true  1  FAIL:
1     1  FAIL:
ROWS
[ "$failed" -eq 0 ] || exit 1
echo "ok [cannot_run]: a missing build skips (77) without CI and fails (1) under CI"
