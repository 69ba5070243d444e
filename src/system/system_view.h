// What a program can see of the system beyond its folder: the present
// devices and the driver store. Read only.
#pragma once

#include "driver_store.h"
#include "present_devices.h"

#include <optional>
#include <string>
#include <vector>

namespace varnoll {

struct SystemView {
  std::vector<PresentDevice> devices;
  std::optional<CDriverStore> store;
};

// Lists the present devices and the INF files of `systemInfFolder` (with its
// trailing separator). False where the devices cannot be listed (Linux) or
// there is no such folder; `view` is then left as it was.
bool LookAtSystem(const std::optional<std::string>& systemInfFolder, SystemView& view);

}  // namespace varnoll
