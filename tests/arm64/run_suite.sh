#!/usr/bin/env bash
# Runs the ARM64 build for real: boots the emulated ARM64 machine once
# (guest.sh) and runs in it, under Debian's ARM64 Wine, the INF reading and
# directory search tests built for ARM64 Windows, the Wine scenarios of
# scenarios.txt on dist/varnollarm64.exe with the ARM64 stand-in DLLs (the
# ARM64 suite's own version of a scenario, in scenarios/, where it has one),
# varnollcheckarm64.exe on the samples and with --log on a placed log, and
# varnollremovearm64.exe on a staged package. Each test's outcome is kept
# in RESULTS for check_result.sh.
#   run_suite.sh BUILD_DIR DIST_DIR RESULTS
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
build_dir=$1
dist_dir=$2
results=$3

scenarios=$(grep -v -e '^#' -e '^$' "$here/scenarios.txt")

payload=$(mktemp -d /tmp/varnoll-arm64.XXXXXX)
trap 'rm -rf "$payload"' EXIT
mkdir -p "$payload/src/tests/arm64" "$payload/src/samples" "$payload/dist" "$payload/unit"
cp -R "$source_dir/tests/wine" "$payload/src/tests/"
cp "$source_dir/tests/cannot_run.sh" "$payload/src/tests/"
cp -R "$here/scenarios" "$payload/src/tests/arm64/"
cp -R "$source_dir/samples/drivers" "$payload/src/samples/"
cp "$dist_dir/varnollarm64.exe" "$dist_dir/varnollcheckarm64.exe" "$dist_dir/varnollremovearm64.exe" "$payload/dist/"
# The guest has no Python: the log case is written here, and its report
# checked here afterwards (CMakeLists.txt).
python3 "$source_dir/tests/wine/log_case.py" write "$payload/log-case"
cp "$here/check_samples.sh" "$payload/"
cp -R "$build_dir/standins" "$build_dir/helpers" "$payload/"
rm -f "$payload"/standins/*.pdb "$payload"/helpers/*.pdb
cp "$build_dir/tests/inf_reading_test.exe" "$payload/unit/"
cp "$here/guest_run.sh" "$payload/init"

wine_tests=src/tests/wine
{
  echo "unit.inf_reading bash $wine_tests/run_wine.sh /root unit/inf_reading_test.exe"
  echo "check.samples bash check_samples.sh dist/varnollcheckarm64.exe src/samples/drivers"
  echo "check.log WINEPREFIX=/root/prefix bash $wine_tests/log_in_prefix.sh dist/varnollcheckarm64.exe log-case" \
    "results/check.log.json"
  for name in $scenarios; do
    scenario=$wine_tests/scenarios/$name
    [ ! -d "$here/scenarios/$name" ] || scenario=src/tests/arm64/scenarios/$name
    echo "scenario.$name VARNOLL_PROGRAM=varnollarm64.exe bash $wine_tests/run_scenario.sh" \
      "$scenario dist standins standins helpers /root"
  done
  echo "remove.staged bash $wine_tests/remove_staged.sh dist standins arm64 /root"
} >"$payload/tests.list"

"$here/guest.sh" run "$payload" "$results"
[ -f "$results/guest.log" ] || { echo "the guest left no log" >&2; exit 1; }
cat "$results/guest.log"
