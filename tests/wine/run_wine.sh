#!/usr/bin/env bash
# Runs a Windows program under Wine in the shared test prefix and passes on its
# output and exit status. Output goes through files: Wine's background
# services can hold a pipe open long after the program ends.
#   run_wine.sh PREFIX_DIR [--x86] PROGRAM [ARGS...]
# A program that has not been built, or an x86 one without Debian's 32-bit
# Wine, cannot run: skipped, or failed under CI (tests/cannot_run.sh).
set -uo pipefail
export WINEPREFIX="$1/prefix" WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY
shift
source "$(dirname "$0")/../cannot_run.sh"
if [ "${1:-}" = --x86 ]; then
  shift
  [ -x /usr/lib/wine/wine ] || cannot_run "32-bit Wine (wine32:i386) is not installed"
fi
[ -f "$1" ] || cannot_run "$1 has not been built"
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
timeout 300 wine "$@" >"$out" 2>"$err" </dev/null
status=$?
cat "$out"
cat "$err" >&2
exit "$status"
