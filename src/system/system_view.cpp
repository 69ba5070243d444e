#include "system_view.h"

namespace varnoll {

bool LookAtSystem(const std::optional<std::string>& systemInfFolder, SystemView& view) {
  std::vector<PresentDevice> devices;
  if (!systemInfFolder || !ListPresentDevices(devices)) return false;
  view.devices = std::move(devices);
  view.store.emplace(*systemInfFolder);
  return true;
}

}  // namespace varnoll
