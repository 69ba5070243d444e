#!/usr/bin/env bash
# Reports one test of the ARM64 run (run_suite.sh): what it printed inside the
# emulated machine, and its exit status as this test's own. A CHECK command,
# when given, then judges here what the test left in RESULTS, for checks
# the guest cannot make (it has no Python); its status becomes the test's.
#   check_result.sh RESULTS NAME [CHECK...]
results=$1
name=$2
shift 2
if [ ! -f "$results/$name.rc" ]; then
  echo "FAIL: $name did not run in the ARM64 guest (see $results/guest.log)" >&2
  exit 1
fi
cat "$results/$name.out"
echo "($name took $(cat "$results/$name.s") s in the guest)"
status=$(cat "$results/$name.rc")
[ "$status" -eq 0 ] && [ $# -gt 0 ] || exit "$status"
exec "$@"
