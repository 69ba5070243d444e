#!/usr/bin/env bash
# Builds the seam probes of tests/seam/ in BUILD_DIR: the INF reader's include
# path must compile the plain probe and refuse the device header and a device
# call; the device side's include path must compile both.
#   check_seam.sh BUILD_DIR
set -u
build=$1
source "$(dirname "$0")/probe.sh"

probe seam_inf_plain compiles
probe seam_inf_device_header fails "platform_devices\.h"
probe seam_inf_device_call fails "UpdateDriverForPlugAndPlayDevicesA"
probe seam_devinst_device_call compiles
exit $status
