// The devices Windows has present, as the check tool compares them with
// hardware IDs. Read only: nothing here changes the device configuration.
#pragma once

#include "error_names.h"

#include <optional>
#include <string>
#include <vector>

namespace varnoll {

// A device's state as the configuration manager reports it.
struct DeviceState {
  bool started = false;                  // DN_STARTED
  std::optional<unsigned long> problem;  // its problem code, when it has one
  bool restartPending = false;           // DN_NEED_RESTART, or the problem code that says so
};

struct PresentDevice {
  std::string instanceId;
  std::vector<std::string> hardwareIds;
  std::vector<std::string> compatibleIds;
  std::optional<std::string> driverInf;  // the INF its driver came from, if it has one
  std::optional<DeviceState> state;      // none: it could not be read
  std::optional<std::string> driverDate = std::nullopt;     // its driver's date ("m-d-yyyy"), if known
  std::optional<std::string> driverVersion = std::nullopt;  // its driver's version ("w.x.y.z"), if known
  std::optional<std::string> driverProvider = std::nullopt;  // its driver's provider, as its INF names it
};

// Fills `devices` with every present device. False where this system has no
// such view (Linux): then nothing can be said about present devices.
bool ListPresentDevices(std::vector<PresentDevice>& devices);

// Whether `hardwareId` names `device`: equal to one of its hardware IDs or
// compatible IDs, without regard to case, as device installation compares
// them.
bool DeviceMatches(const PresentDevice& device, const std::string& hardwareId);

}  // namespace varnoll
