#include "check_executor.h"

#include "inf_notes.h"
#include "names.h"

#include <algorithm>

namespace varnoll::check {

bool CCheckExecutor::OnQualifyingInf(const std::string& infName, const std::string& infPath,
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
    file.storeCopies = lookup.copies;
    for (const PresentDevice& device : system_->devices) {
      if (!DeviceMatches(device, hardwareId)) continue;
      const auto copy = std::find_if(lookup.copies.begin(), lookup.copies.end(), [&](const std::string& name) {
        return device.driverInf && SameFileName(*device.driverInf, name);
      });
      const bool usesPackage = copy != lookup.copies.end();
      if (usesPackage && !file.store) file.store = *copy;
      file.devices.push_back({device.instanceId, device.driverInf, usesPackage, device.state, device.driverDate,
                              device.driverVersion, std::nullopt, device.driverProvider});
    }
    if (!file.store && !lookup.copies.empty()) file.store = lookup.copies.front();
    // The update finds no device and fails with "no such device": the INF
    // then goes into the driver store.
    file.outcome = file.devices.empty() ? Action::kPreinstall : Action::kInstall;
  }
  file.note = NoteFor(infName, infPath, file, lookup);
  const bool preinstalls = file.outcome == decltype(file.outcome)(Action::kPreinstall);
  files_.push_back(std::move(file));
  return preinstalls;
}

void CCheckExecutor::OnSkippedInf(const std::string& infName, const std::string& infPath, SkipReason why,
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
  for (FileReport& file : report.files) {
    const FileReport* last = LastWithSameId(report, file);
    if (last == nullptr) continue;
    AddToNote(file.note, "a later INF file, " + last->name +
                             ", has the same hardware ID; the installer updates the devices with it last, "
                             "so they keep its driver, and this file's package needs only be in the "
                             "driver store");
  }
  return report;
}

CheckReport CheckFolder(const std::string& folder, const std::optional<std::string>& systemInfFolder,
                        const std::vector<package::Arch>& arches) {
  SystemView system;
  CCheckExecutor executor(LookAtSystem(systemInfFolder, system) ? &system : nullptr);
  RunPass(folder, executor);
  CheckReport report = executor.Report(folder);
  const package::PackageContext machine = package::ThisMachine(arches);
  for (FileReport& file : report.files) {
    if (!file.Qualifies()) continue;
    file.package = package::CheckPackage(folder, file.name, *file.hardwareId, machine);
    for (DeviceMatch& device : file.devices) {
      if (!file.package->driverVer || !device.driverDate) continue;
      const package::DriverVer current{*device.driverDate, device.driverVersion.value_or(std::string())};
      device.downgrade = package::AddDowngrade(*file.package, file.name, device.instanceId, current);
    }
  }
  return report;
}

}  // namespace varnoll::check
