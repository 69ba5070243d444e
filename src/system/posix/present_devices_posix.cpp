// Linux has no Windows devices: the check tool can only say that a file
// would be installed or pre-installed.
#include "present_devices.h"

namespace varnoll {

bool ListPresentDevices(std::vector<PresentDevice>& devices) {
  devices.clear();
  return false;
}

}  // namespace varnoll
