#!/usr/bin/env bash
# Builds the seam probes of tests/seam/ in BUILD_DIR: the INF reader's include
# path must compile the plain probe and refuse the device header and a device
# call; the device side's include path must compile both.
#   check_seam.sh BUILD_DIR
set -u
build=$1
status=0
log=$(mktemp)
trap 'rm -f "$log"' EXIT

probe() {  # probe TARGET compiles|fails [WORDS THE ERROR MUST NAME]
  local target=$1 expected=$2 words=${3:-}
  if cmake --build "$build" --target "$target" >"$log" 2>&1; then
    result=compiles
  else
    result=fails
  fi
  if [ "$result" != "$expected" ]; then
    echo "FAIL $target $result, expected it $expected:"; cat "$log"; status=1; return
  fi
  if [ -n "$words" ] && ! grep -q -E "$words" "$log"; then
    echo "FAIL $target fails, but not over '$words':"; cat "$log"; status=1; return
  fi
  echo "ok $target $result${words:+ (over $words)}"
}

probe seam_inf_plain compiles
probe seam_inf_device_header fails "platform_devices\.h"
probe seam_inf_device_call fails "UpdateDriverForPlugAndPlayDevicesA"
probe seam_devinst_device_call compiles
probe seam_package_plain compiles
probe seam_package_device_header fails "platform_devices\.h"
probe seam_package_device_call fails "UpdateDriverForPlugAndPlayDevicesA"
exit $status
