#!/usr/bin/env bash
# Runs the real installer under Wine on one scenario and checks everything the
# process did: its exit status, that it made no window, the exact device calls
# the stand-in DLLs logged, and that its folder is left exactly as it was.
#
#   run_scenario.sh SCENARIO_DIR DIST_DIR STANDIN_X64_DIR STANDIN_X86_DIR HELPER_DIR PREFIX_DIR
#
# A scenario folder holds:
#   script        KEY=VALUE lines: the stand-ins' script (VARNOLL_STANDIN_*),
#                 STANDINS (which DLLs to put beside the program; default all
#                 three, "none" for Wine's own), STANDINS_ARCH (x64 or x86),
#                 PROGRAMS (what to copy from DIST_DIR; default varnoll64.exe,
#                 or VARNOLL_PROGRAM from the environment),
#                 RUN (the program to run; default the first of PROGRAMS)
#                 FOLDER (the program folder's name, may hold '/'; default
#                 "app") and DELETED (a file the scenario itself removes
#                 during the run), NEEDS_FREE_MB (disk space the scenario's
#                 files need in /tmp, or it is skipped). {DIR} in a value
#                 stands for the folder's Windows path.
#   files/        copied beside the program
#   setup.sh      run in the program folder to make files git should not hold
#                 (VARNOLL_SOURCE_DIR and VARNOLL_DIST_DIR are set)
#   expected.log  the call log; {DIR} stands for the folder's Windows path,
#                 with its trailing backslash
#   before.sh, after.sh  sourced before and after the run, for checks of
#                 their own
set -euo pipefail

scenario=$(cd "$1" && pwd)
dist_dir=$2
standin_x64_dir=$3
standin_x86_dir=$4
helper_dir=$5
export WINEPREFIX="$6/prefix" WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY
name=$(basename "$scenario")
export VARNOLL_SOURCE_DIR VARNOLL_DIST_DIR
VARNOLL_SOURCE_DIR=$(cd "$(dirname "$0")/../.." && pwd)
VARNOLL_DIST_DIR=$(cd "$dist_dir" && pwd)

fail() {
  echo "FAIL [$name]: $*" >&2
  exit 1
}

STANDINS="newdev cfgmgr32 setupapi"
STANDINS_ARCH=x64
PROGRAMS=${VARNOLL_PROGRAM:-varnoll64.exe}
RUN=""
FOLDER=app
DELETED=""
NEEDS_FREE_MB=0
declare -a script_env=()
if [ -f "$scenario/script" ]; then
  while IFS= read -r line || [ -n "$line" ]; do
    case "$line" in
      ''|'#'*) ;;
      STANDINS=*) STANDINS=${line#STANDINS=} ;;
      STANDINS_ARCH=*) STANDINS_ARCH=${line#STANDINS_ARCH=} ;;
      PROGRAMS=*) PROGRAMS=${line#PROGRAMS=} ;;
      RUN=*) RUN=${line#RUN=} ;;
      DELETED=*) DELETED=${line#DELETED=} ;;
      NEEDS_FREE_MB=*) NEEDS_FREE_MB=${line#NEEDS_FREE_MB=} ;;
      FOLDER=*) FOLDER=${line#FOLDER=} ;;
      *) script_env+=("$line") ;;
    esac
  done <"$scenario/script"
fi
[ "$STANDINS" = none ] && STANDINS=""
[ -n "$RUN" ] || RUN=${PROGRAMS%% *}
standin_dir=$standin_x64_dir
[ "$STANDINS_ARCH" = x86 ] && standin_dir=$standin_x86_dir

# 32-bit programs need Debian's wine32 and the x86 build; without them, or
# without a build or the disk space the scenario needs, it cannot run:
# skipped, or failed under CI.
source "$VARNOLL_SOURCE_DIR/tests/cannot_run.sh"
skip() { cannot_run "[$name] $*"; }
for program in $PROGRAMS; do
  [ -f "$dist_dir/$program" ] || skip "$dist_dir/$program has not been built"
done
if [ "$RUN" = varnoll.exe ] && [ ! -x /usr/lib/wine/wine ]; then
  skip "32-bit Wine (wine32:i386) is not installed"
fi
for dll in $STANDINS; do
  [ -f "$standin_dir/$dll.dll" ] || skip "$standin_dir/$dll.dll has not been built"
done
free_mb=$(df -Pm /tmp | awk 'NR == 2 { print $4 }')
if [ "$free_mb" -lt "$NEEDS_FREE_MB" ]; then
  skip "needs $NEEDS_FREE_MB MB free in /tmp, has $free_mb"
fi

work=$(mktemp -d /tmp/varnoll-scenario.XXXXXX)
trap 'rm -rf "$work"' EXIT
app="$work/$FOLDER"
mkdir -p "$app"
if [ -d "$scenario/files" ]; then cp -R "$scenario/files/." "$app/"; fi
if [ -f "$scenario/setup.sh" ]; then (cd "$app" && bash "$scenario/setup.sh"); fi
for program in $PROGRAMS; do cp "$dist_dir/$program" "$app/"; done
for dll in $STANDINS; do cp "$standin_dir/$dll.dll" "$app/"; done

to_windows() { printf 'Z:%s' "$1" | tr '/' '\\'; }
log="$work/calls.log"
win_dir="$(to_windows "$app")\\"
for i in "${!script_env[@]}"; do
  value=${script_env[$i]} replaced=""
  while [[ $value == *"{DIR}"* ]]; do
    replaced+=${value%%"{DIR}"*}$win_dir
    value=${value#*"{DIR}"}
  done
  script_env[$i]=$replaced$value
done

# A folder's own size is left out: on tmpfs it follows the number of entries.
snapshot() {
  (cd "$app" && { find . -type d -printf '%p d %m\n'; find . ! -type d -printf '%p %y %s %m\n'; } | LC_ALL=C sort &&
    find . -type f -print0 | LC_ALL=C sort -z | xargs -0 -r sha256sum)
}
before=$(snapshot)
if [ -n "$DELETED" ]; then
  before=$(grep -v -F -- "./$DELETED" <<<"$before")
fi

if [ -f "$scenario/before.sh" ]; then source "$scenario/before.sh"; fi

set +e
env "${script_env[@]}" VARNOLL_STANDIN_LOG="$(to_windows "$log")" \
  timeout 300 wine "$app/$RUN" >"$work/stdout" 2>"$work/stderr" </dev/null
status=$?
set -e

[ "$status" -eq 0 ] || fail "exit status $status, expected 0; stderr: $(head -c 2000 "$work/stderr")"
if grep -q "tried to create a window" "$work/stderr"; then fail "the program created a window"; fi

# The stand-ins write the program's ANSI strings as they get them.
actual=$( [ -f "$log" ] && iconv -f CP1252 -t UTF-8 "$log" || true)
expected=""
if [ -f "$scenario/expected.log" ]; then
  expected=$(DIR="$win_dir" awk '{ gsub(/\{DIR\}/, ENVIRON["DIR"]); print }' "$scenario/expected.log")
fi
if [ "$actual" != "$expected" ]; then
  diff -u --label expected.log --label actual <(printf "%s\n" "$expected") <(printf "%s\n" "$actual") >&2 || true
  fail "the call log differs from expected.log"
fi

if [ -n "$DELETED" ] && [ -e "$app/$DELETED" ]; then fail "$DELETED was to be removed during the run"; fi

# The check tool (VARNOLL_CHECK_TOOL), on the same folder, must tell what the
# installer did: the stand-in's present devices are made real devices for
# it, and removed again afterwards. Not where the scenario removes a file
# mid-run, nor where there is no stand-in log to compare with.
if [ -n "${VARNOLL_CHECK_TOOL:-}" ] && [ -z "$DELETED" ] && [[ " $STANDINS " == *" newdev "* ]]; then
  present="" no_reenumerate=()
  for entry in "${script_env[@]}"; do
    case "$entry" in
      VARNOLL_STANDIN_PRESENT=*) present=${entry#*=} ;;
      # A failing later call: no check can foresee it.
      VARNOLL_STANDIN_UPDATE_ERROR=* | VARNOLL_STANDIN_COPY_ERROR=*) no_reenumerate=(--no-reenumerate) ;;
    esac
  done
  # Wine's own setupapi and cfgmgr32 log nothing.
  [[ " $STANDINS " == *" setupapi "* && " $STANDINS " == *" cfgmgr32 "* ]] || no_reenumerate=(--no-reenumerate)
  made=()
  IFS='|' read -ra present_ids <<<"$present"
  for id in "${present_ids[@]}"; do
    [ -n "$id" ] || continue
    made+=("$(wine "$helper_dir/make_device.exe" "$id" 2>/dev/null </dev/null | tr -d '\r')")
  done
  set +e
  wine "$VARNOLL_CHECK_TOOL" --json "${win_dir%\\}" >"$work/check.json" 2>"$work/check.err" </dev/null
  check_status=$?
  set -e
  for instance in "${made[@]}"; do
    wine "$helper_dir/make_device.exe" --remove "$instance" >/dev/null 2>&1 </dev/null ||
      fail "could not remove the device $instance made for the check"
  done
  [ -f "$log" ] || : >"$log"
  python3 "$(dirname "$0")/compare_check.py" "$work/check.json" "$log" "$win_dir" "${no_reenumerate[@]}" ||
    fail "varnollcheck disagrees with the installer; it said: $(head -c 3000 "$work/check.json")"
  wanted_status=1
  grep -q '"action": "\(install\|preinstall\)"' "$work/check.json" && wanted_status=0
  [ "$check_status" -eq "$wanted_status" ] || fail "varnollcheck exited $check_status, expected $wanted_status"
fi

after=$(snapshot)
if [ "$before" != "$after" ]; then
  diff -u --label before --label after <(printf "%s\n" "$before") <(printf "%s\n" "$after") >&2 || true
  fail "the program's folder changed"
fi

if [ -f "$scenario/after.sh" ]; then source "$scenario/after.sh"; fi
echo "ok [$name]"
