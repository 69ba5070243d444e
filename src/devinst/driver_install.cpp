#include "driver_install.h"

#include "platform_devices.h"

namespace varnoll {

bool InstallFromInf(const std::string& hardwareId, const std::string& infPath) {
  // The update may ask for a restart; an unattended run never restarts the
  // machine, so the answer is not read.
  BOOL rebootRequired = FALSE;
  if (UpdateDriverForPlugAndPlayDevicesA(nullptr, hardwareId.c_str(), infPath.c_str(), INSTALLFLAG_FORCE,
                                         &rebootRequired)) {
    return false;
  }
  // Only "no such device" means the driver belongs in the store for later;
  // any other failure (access denied, bad INF, WOW64) must not pre-install.
  if (GetLastError() != static_cast<DWORD>(ERROR_NO_SUCH_DEVINST)) return false;

  return SetupCopyOEMInfA(infPath.c_str(), nullptr, SPOST_PATH, 0, nullptr, 0, nullptr, nullptr) != FALSE;
}

bool ReenumerateDeviceTree() {
  DEVINST root = 0;
  // A null device ID locates the root of the device tree.
  if (CM_Locate_DevNodeA(&root, nullptr, CM_LOCATE_DEVNODE_NORMAL) != CR_SUCCESS) {
    return false;
  }
  return CM_Reenumerate_DevNode(root, CM_REENUMERATE_NORMAL) == CR_SUCCESS;
}

}  // namespace varnoll
