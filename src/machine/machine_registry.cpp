#include "machine_registry.h"

#include "registry_key.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace varnoll::machine {

namespace {

bool On(const CRegistryKey& key, const char* name) {
  const std::optional<DWORD> value = key.Dword(name);
  return value && *value != 0;
}

PolicyList ReadList(const CRegistryKey& restrictions, const std::string& name, bool hasRetroactive) {
  PolicyList list;
  list.enabled = On(restrictions, name.c_str());
  if (hasRetroactive) list.retroactive = On(restrictions, (name + "Retroactive").c_str());
  if (list.enabled) list.entries = CRegistryKey(std::string(kRestrictionsKey) + "\\" + name).Strings();
  return list;
}

}  // namespace

DevicePolicy ReadDevicePolicy() {
  DevicePolicy policy;
  const CRegistryKey restrictions(kRestrictionsKey);
  if (!restrictions.IsOpen()) return policy;
  policy.layered = On(restrictions, "AllowDenyLayered");
  policy.denyUnspecified = On(restrictions, "DenyUnspecified");
  policy.allowAdminInstall = On(restrictions, "AllowAdminInstall");
  policy.denyRemovable = On(restrictions, "DenyRemovableDevices");
  policy.denyInstanceIds = ReadList(restrictions, "DenyInstanceIDs", true);
  policy.allowInstanceIds = ReadList(restrictions, "AllowInstanceIDs", false);
  policy.denyDeviceIds = ReadList(restrictions, "DenyDeviceIDs", true);
  policy.allowDeviceIds = ReadList(restrictions, "AllowDeviceIDs", false);
  policy.denyClasses = ReadList(restrictions, "DenyDeviceClasses", true);
  policy.allowClasses = ReadList(restrictions, "AllowDeviceClasses", false);
  return policy;
}

RestartSignals ReadRestartSignals() {
  RestartSignals signals;
  signals.servicing = CRegistryKey(kServicingRebootKey).IsOpen();
  signals.windowsUpdate = CRegistryKey(kUpdateRebootKey).IsOpen();
  signals.fileRenames = CRegistryKey(kSessionManagerKey).HasText(kFileRenamesValue);
  return signals;
}

}  // namespace varnoll::machine
