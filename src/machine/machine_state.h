// What the check tools read of the machine beyond its devices and driver
// store: the device-installation policy and the marks of a pending restart.
// Read only.
#pragma once

#include "device_policy.h"
#include "restart_signals.h"

namespace varnoll::machine {

struct MachineState {
  DevicePolicy policy;
  RestartSignals restart;
};

// Reads this machine's state into `state`. False where there is no machine
// to read (Linux); `state` is then left as it was.
bool ReadThisMachine(MachineState& state);

}  // namespace varnoll::machine
