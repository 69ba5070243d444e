#!/usr/bin/env bash
# Runs a Windows program under Wine in the shared test prefix and passes on its
# output and exit status. Output goes through files: Wine's background
# services can hold a pipe open long after the program ends.
#   run_wine.sh PREFIX_DIR PROGRAM [ARGS...]
set -uo pipefail
export WINEPREFIX="$1/prefix" WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY
shift
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
timeout 300 wine "$@" >"$out" 2>"$err" </dev/null
status=$?
cat "$out"
cat "$err" >&2
exit "$status"
