// Windows reads its own registry.
#include "machine_registry.h"
#include "machine_state.h"

namespace varnoll::machine {

bool ReadThisMachine(MachineState& state) {
  state.policy = ReadDevicePolicy();
  state.restart = ReadRestartSignals();
  return true;
}

}  // namespace varnoll::machine
