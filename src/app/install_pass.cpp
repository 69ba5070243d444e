#include "install_pass.h"

#include "inf_discovery.h"

namespace varnoll {

bool QualifiesForInstall(const std::string& hardwareId) {
  return hardwareId.find("VEN_") != std::string::npos;
}

void RunPass(const std::string& directory, CPassExecutor& executor) {
  if (!CollectInfFiles(directory)) return;

  bool needReenumerate = false;
  // Written only when a scan finds an ID, and read only right after.
  std::string hardwareId;
  for (const std::string& infName : InfFileList) {
    const std::string infPath = directory + infName;
    SkipReason why = SkipReason::kUnreadable;
    if (!FindModelHardwareId(infPath, hardwareId, &why)) {
      executor.Skip(infName, infPath, why, std::string());
    } else if (!QualifiesForInstall(hardwareId)) {
      executor.Skip(infName, infPath, SkipReason::kNoVen, hardwareId);
    } else if (executor.Install(infName, infPath, hardwareId) == InstallOutcome::kPreinstalled) {
      needReenumerate = true;
    }
  }
  // Once, after the last file: re-enumeration is a whole-tree operation.
  if (needReenumerate) executor.ReenumerateAfterPreinstall();
}

}  // namespace varnoll
