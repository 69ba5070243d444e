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

const char* ProblemName(unsigned long problem) {
  switch (problem) {
    case 1:
      return "CM_PROB_NOT_CONFIGURED";
    case 3:
      return "CM_PROB_OUT_OF_MEMORY";
    case 10:
      return "CM_PROB_FAILED_START";
    case 12:
      return "CM_PROB_NORMAL_CONFLICT";
    case kProblemNeedRestart:
      return "CM_PROB_NEED_RESTART";
    case 18:
      return "CM_PROB_REINSTALL";
    case 19:
      return "CM_PROB_REGISTRY";
    case 21:
      return "CM_PROB_WILL_BE_REMOVED";
    case 22:
      return "CM_PROB_DISABLED";
    case 24:
      return "CM_PROB_DEVICE_NOT_THERE";
    case 28:
      return "CM_PROB_FAILED_INSTALL";
    case 29:
      return "CM_PROB_HARDWARE_DISABLED";
    case 31:
      return "CM_PROB_FAILED_ADD";
    case 32:
      return "CM_PROB_DISABLED_SERVICE";
    case 37:
      return "CM_PROB_FAILED_DRIVER_ENTRY";
    case 39:
      return "CM_PROB_DRIVER_FAILED_LOAD";
    case 43:
      return "CM_PROB_FAILED_POST_START";
    case 45:
      return "CM_PROB_PHANTOM";
    case 48:
      return "CM_PROB_DRIVER_BLOCKED";
    case 52:
      return "CM_PROB_UNSIGNED_DRIVER";
    default:
      return nullptr;
  }
}

bool DeviceMatches(const PresentDevice& device, const std::string& hardwareId) {
  return AnyEqual(device.hardwareIds, hardwareId) || AnyEqual(device.compatibleIds, hardwareId);
}

}  // namespace varnoll
