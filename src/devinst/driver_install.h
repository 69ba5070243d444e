// The only code that asks Windows to change the device configuration.
#pragma once

#include <string>

namespace varnoll {

// Installs the driver of the INF at `infPath` on every present device whose
// hardware ID is `hardwareId`. When no such device is present, pre-installs
// the INF into the driver store instead. Returns true only when it
// pre-installed the INF; a successful driver update and every failure return
// false.
bool InstallFromInf(const std::string& hardwareId, const std::string& infPath);

// Asks the Plug and Play manager to re-enumerate the whole device tree, so
// that devices find drivers pre-installed during this run. True when both
// calls succeeded.
bool ReenumerateDeviceTree();

}  // namespace varnoll
