#include "present_devices.h"

#include "names.h"

#include <algorithm>

namespace varnoll {

namespace {

bool AnyEqual(const std::vector<std::string>& ids, const std::string& hardwareId) {
  return std::any_of(ids.begin(), ids.end(),
                     [&](const std::string& id) { return EqualIgnoringCase(id, hardwareId); });
}

}  // namespace


bool DeviceMatches(const PresentDevice& device, const std::string& hardwareId) {
  return AnyEqual(device.hardwareIds, hardwareId) || AnyEqual(device.compatibleIds, hardwareId);
}

}  // namespace varnoll
