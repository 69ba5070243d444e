// The devices Windows has present, as the check tool compares them with
// hardware IDs. Read only: nothing here changes the device configuration.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace varnoll::check {

struct PresentDevice {
  std::string instanceId;
  std::vector<std::string> hardwareIds;
  std::vector<std::string> compatibleIds;
  std::optional<std::string> driverInf;  // the INF its driver came from, if it has one
};

// Fills `devices` with every present device. False where this system has no
// such view (Linux): then nothing can be said about present devices.
bool ListPresentDevices(std::vector<PresentDevice>& devices);

// Whether `hardwareId` names `device`: equal to one of its hardware IDs or
// compatible IDs, without regard to case, as device installation compares
// them.
bool DeviceMatches(const PresentDevice& device, const std::string& hardwareId);

}  // namespace varnoll::check
