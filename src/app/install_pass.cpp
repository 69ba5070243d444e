#include "install_pass.h"

#include "inf_discovery.h"

namespace varnoll {

bool QualifiesForInstall(const std::string& hardwareId) {
  return hardwareId.find("VEN_") != std::string::npos;
}

void RunPass(const std::string& directory, CPassExecutor& executor) {
  if (!CollectInfFiles(directory)) return;

  bool staged = false;
  // Written only when a scan finds an ID, and read only right after.
  std::string hardwareId;
  for (const std::string& infName : InfFileList) {
    const std::string infPath = directory + infName;
    SkipReason why = SkipReason::kUnreadable;
    if (!FindModelHardwareId(infPath, hardwareId, &why)) {
      executor.OnSkippedInf(infName, infPath, why, std::string());
    } else if (!QualifiesForInstall(hardwareId)) {
      executor.OnSkippedInf(infName, infPath, SkipReason::kNoVen, hardwareId);
    } else if (executor.OnQualifyingInf(infName, infPath, hardwareId)) {
      staged = true;
    }
  }
  // Once, after the last file: re-enumeration is a whole-tree operation.
  executor.OnPassEnd(staged);
}

}  // namespace varnoll
