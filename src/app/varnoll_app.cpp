#include "varnoll_app.h"

#include "driver_install.h"
#include "hardware_id.h"
#include "inf_discovery.h"
#include "module_directory.h"
#include "native_handoff.h"

namespace varnoll {

namespace {

// Only PCI-style IDs name a device this installer is meant for; the bare
// modem enumerator IDs some INFs list first do not.
bool QualifiesForInstall(const std::string& hardwareId) {
  return hardwareId.find("VEN_") != std::string::npos;
}

}  // namespace

bool CVarnollApp::RunInstallPass() {
  std::string moduleDirectory;
  if (!FindModuleDirectory(moduleDirectory)) return true;
  if (HandOffToNativeBuild(moduleDirectory)) return true;
  if (!CollectInfFiles(moduleDirectory)) return true;

  bool needReenumerate = false;
  std::string hardwareId;
  for (const std::string& infName : InfFileList) {
    const std::string infPath = moduleDirectory + infName;
    if (!FindModelHardwareId(infPath, hardwareId)) continue;
    if (!QualifiesForInstall(hardwareId)) continue;
    if (InstallFromInf(hardwareId, infPath)) needReenumerate = true;
  }
  // Once, after the last file: re-enumeration is a whole-tree operation.
  if (needReenumerate) ReenumerateDeviceTree();
  return true;
}

}  // namespace varnoll
