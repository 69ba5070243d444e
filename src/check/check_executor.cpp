#include "check_executor.h"

#include "inf_notes.h"
#include "names.h"

#include <algorithm>

namespace varnoll::check {

InstallOutcome CCheckExecutor::Install(const std::string& infName, const std::string& infPath,
                                       const std::string& hardwareId) {
  FileReport file;
  file.name = infName;
  file.hardwareId = hardwareId;
  InfFingerprint fingerprint;
  if (FingerprintFile(infPath, fingerprint)) file.sha256 = fingerprint.sha256;
  StoreLookup lookup;
  if (system_ == nullptr) {
    file.outcome = Action::kInstallOrPreinstall;
  } else {
    if (system_->store && file.sha256) lookup = system_->store->FindCopyOf(infPath, fingerprint);
    file.store = lookup.publishedName;
    for (const PresentDevice& device : system_->devices) {
      if (!DeviceMatches(device, hardwareId)) continue;
      const bool usesPackage = file.store && device.driverInf && SameFileName(*device.driverInf, *file.store);
      file.devices.push_back({device.instanceId, device.driverInf, usesPackage, device.state});
    }
    // The update finds no device and fails with "no such device": the INF
    // then goes into the driver store.
    file.outcome = file.devices.empty() ? Action::kPreinstall : Action::kInstall;
  }
  file.note = NoteFor(infName, infPath, file, lookup);
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
  file.note = NoteFor(infName, infPath, file, StoreLookup());
  files_.push_back(std::move(file));
}

CheckReport CCheckExecutor::Report(const std::string& folder) const {
  CheckReport report;
  report.folder = folder;
  report.files = files_;
  report.systemVisible = system_ != nullptr;
  const bool anyQualifies =
      std::any_of(files_.begin(), files_.end(), [](const FileReport& file) { return file.Qualifies(); });
  if (system_ != nullptr || !anyQualifies) report.reenumerate = reenumerated_;
  return report;
}

CheckReport CheckFolder(const std::string& folder, const std::optional<std::string>& systemInfFolder) {
  SystemView system;
  CCheckExecutor executor(LookAtSystem(systemInfFolder, system) ? &system : nullptr);
  RunPass(folder, executor);
  return executor.Report(folder);
}

}  // namespace varnoll::check
