#include "install_pass.h"

#include "hardware_id.h"
#include "inf_discovery.h"

namespace varnoll {

namespace {

SkipReason ReasonFor(HardwareIdScan scan) {
  switch (scan) {
    case HardwareIdScan::kUnreadable:
      return SkipReason::kUnreadable;
    case HardwareIdScan::kNoModelLine:
      return SkipReason::kNoModelLine;
    case HardwareIdScan::kNoComma:
      return SkipReason::kNoComma;
    case HardwareIdScan::kNoMarker:
    case HardwareIdScan::kFound:
      break;
  }
  return SkipReason::kNoMarker;
}

}  // namespace

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
    const HardwareIdScan scan = ScanModelHardwareId(infPath, hardwareId);
    if (scan != HardwareIdScan::kFound) {
      executor.Skip(infName, infPath, ReasonFor(scan), std::string());
    } else if (!QualifiesForInstall(hardwareId)) {
      executor.Skip(infName, infPath, SkipReason::kNoVen, hardwareId);
    } else if (executor.Install(infName, infPath, hardwareId)) {
      needReenumerate = true;
    }
  }
  // Once, after the last file: re-enumeration is a whole-tree operation.
  if (needReenumerate) executor.ReenumerateDeviceTree();
}

}  // namespace varnoll
