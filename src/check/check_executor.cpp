#include "check_executor.h"

#include "inf_notes.h"

#include <algorithm>

namespace varnoll::check {

InstallOutcome CCheckExecutor::Install(const std::string& infName, const std::string& infPath,
                                       const std::string& hardwareId) {
  FileReport file;
  file.name = infName;
  file.hardwareId = hardwareId;
  if (devices_ == nullptr) {
    file.outcome = Action::kInstallOrPreinstall;
  } else {
    for (const PresentDevice& device : *devices_) {
      if (DeviceMatches(device, hardwareId)) file.devices.push_back({device.instanceId, device.driverInf});
    }
    // The update finds no device and fails with "no such device": the INF
    // then goes into the driver store.
    file.outcome = file.devices.empty() ? Action::kPreinstall : Action::kInstall;
  }
  file.note = NoteFor(infName, infPath, file);
  const bool preinstalls = file.outcome == decltype(file.outcome)(Action::kPreinstall);
  files_.push_back(std::move(file));
  return preinstalls ? InstallOutcome::kPreinstalled : InstallOutcome::kNotPreinstalled;
}

void CCheckExecutor::Skip(const std::string& infName, const std::string& infPath, SkipReason why,
                          const std::string& hardwareId) {
  FileReport file;
  file.name = infName;
  file.outcome = why;
  if (why == SkipReason::kNoVen) file.hardwareId = hardwareId;
  file.note = NoteFor(infName, infPath, file);
  files_.push_back(std::move(file));
}

CheckReport CCheckExecutor::Report(const std::string& folder) const {
  CheckReport report;
  report.folder = folder;
  report.files = files_;
  const bool anyQualifies =
      std::any_of(files_.begin(), files_.end(), [](const FileReport& file) { return file.Qualifies(); });
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
