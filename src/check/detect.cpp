#include "detect.h"

#include "report_format.h"

namespace varnoll::check {

namespace {

// Why a device that has the file's hardware ID does not count as in place,
// or empty when it does.
std::string DeviceGap(const FileReport& file, const DeviceMatch& device) {
  const std::string who = file.name + ": device " + device.instanceId;
  if (!device.driverInf) return who + " has no driver installed";
  if (!device.usesPackage) return who + " has its driver from " + *device.driverInf;
  if (device.state && device.state->problem && *device.state->problem != kProblemNeedRestart) {
    return who + " has problem " + ProblemText(*device.state->problem);
  }
  return std::string();
}

}  // namespace

Verdict Detect(const CheckReport& report) {
  Verdict verdict;
  int qualifying = 0;
  int devices = 0;
  std::string published;
  std::string deviceRestart;  // a device with the ID that waits for a restart
  std::vector<std::string> blocked;
  for (const FileReport& file : report.files) {
    if (!file.Qualifies()) continue;
    ++qualifying;
    // Why the installer could not put it in place: policy refuses it.
    if (file.package) {
      for (const package::Finding& finding : file.package->findings) {
        if (finding.code == "blocked-by-policy") blocked.push_back(file.name + ": " + finding.text);
      }
    }
    for (const DeviceMatch& device : file.devices) {
      if (device.state && device.state->restartPending) deviceRestart = device.instanceId;
    }
    if (!file.store) {
      verdict.missing.push_back(file.name + ": not in the driver store");
      continue;
    }
    published += (published.empty() ? "" : ", ") + file.name + " as " + *file.store;
    // A later file with the same ID is the one whose driver the devices keep.
    if (LastWithSameId(report, file) != nullptr) continue;
    for (const DeviceMatch& device : file.devices) {
      ++devices;
      const std::string gap = DeviceGap(file, device);
      if (!gap.empty()) verdict.missing.push_back(gap);
      if (device.usesPackage && device.state && device.state->restartPending) verdict.restartPending = true;
    }
  }
  if (qualifying == 0) verdict.missing.push_back("no INF file here qualifies: the package installs nothing");
  verdict.inPlace = verdict.missing.empty();
  if (!verdict.inPlace) verdict.missing.insert(verdict.missing.end(), blocked.begin(), blocked.end());
  const std::string machineRestart = report.machine ? report.machine->restart.Words() : std::string();
  if (verdict.inPlace) {
    verdict.summary = "in place: " + published + " in the driver store; " + Decimal(devices) +
                      (devices == 1 ? " present device uses it" : " present devices use it") +
                      (verdict.restartPending ? "; restart pending" : "") +
                      (machineRestart.empty() ? "" : "; the machine waits for a restart (" + machineRestart + ")");
  } else if (qualifying > 0 && !machineRestart.empty()) {
    verdict.missing.push_back("the machine waits for a restart (" + machineRestart + "): a restart may finish it");
  } else if (qualifying > 0 && !deviceRestart.empty()) {
    verdict.missing.push_back("device " + deviceRestart + " waits for a restart: a restart may finish it");
  }
  return verdict;
}

}  // namespace varnoll::check
