#include "check_executor.h"

#include "inf_notes.h"

#include <algorithm>

namespace varnoll::check {

bool CCheckExecutor::Install(const std::string& infName, const std::string& infPath,
                             const std::string& hardwareId) {
  FileReport file;
  file.name = infName;
  file.hardwareId = hardwareId;
  file.qualifies = true;
  file.note = NoteFor(infPath, std::nullopt, file.hardwareId);
  bool preinstalls = false;
  if (devices_ == nullptr) {
    file.action = Action::kInstallOrPreinstall;
  } else {
    for (const PresentDevice& device : *devices_) {
      if (DeviceMatches(device, hardwareId)) file.devices.push_back({device.instanceId, device.driverInf});
    }
    // The update finds no device and fails with "no such device": the INF
    // then goes into the driver store.
    preinstalls = file.devices.empty();
    file.action = preinstalls ? Action::kPreinstall : Action::kInstall;
  }
  files_.push_back(std::move(file));
  return preinstalls;
}

void CCheckExecutor::Skip(const std::string& infName, const std::string& infPath, SkipReason why,
                          const std::string& hardwareId) {
  FileReport file;
  file.name = infName;
  file.skipped = why;
  if (why == SkipReason::kNoVen) file.hardwareId = hardwareId;
  file.note = NoteFor(infPath, file.skipped, file.hardwareId);
  files_.push_back(std::move(file));
}

CheckReport CCheckExecutor::Report(const std::string& folder) const {
  CheckReport report;
  report.folder = folder;
  report.files = files_;
  const bool anyQualifies =
      std::any_of(files_.begin(), files_.end(), [](const FileReport& file) { return file.qualifies; });
  if (devices_ != nullptr || !anyQualifies) report.reenumerate = reenumerated_;
  return report;
}

CheckReport CheckFolder(const std::string& folder) {
  std::vector<PresentDevice> devices;
  const bool canSeeDevices = ListPresentDevices(devices);
  CCheckExecutor executor(canSeeDevices ? &devices : nullptr);
  RunPass(folder, executor);
  return executor.Report(folder);
}

}  // namespace varnoll::check
