#!/usr/bin/env bash
# Builds the fence probes of tests/CMakeLists.txt in BUILD_DIR: each request a
# room must not make fails to compile, over the name it asks for; the same
# request from the room allowed to make it compiles.
#   check_fences.sh BUILD_DIR [WIN32]
set -u
build=$1
windows=${2:-}
source "$(dirname "$0")/probe.sh"

for room in setuplog system trust package check remove console installer fleet machine; do
  probe "fence_${room}_device_header" fails "platform_devices\.h"
  probe "fence_${room}_registry_header" fails "platform_registry\.h"
done
probe fence_machine_registry_read compiles
probe fence_inf_device_view fails "device_view\.h"
probe fence_setuplog_device_view fails "device_view\.h"
probe fence_installer_console fails "tool_output\.h"
probe fence_check_console compiles
probe fence_trust_package fails "package_check\.h"
probe fence_check_package compiles
probe fence_devinst_staging compiles
if [ "$windows" = 1 ]; then
  probe fence_view_listing compiles
  probe fence_view_staging fails "SetupCopyOEMInfA"
  probe fence_registry_write fails "RegSetValueExA"
fi
exit $status
