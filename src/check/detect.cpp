#include "detect.h"

#include "report_format.h"

namespace varnoll::check {

namespace {

// The kind of gap a device that has the file's hardware ID leaves, or null
// when it counts as in place.
const char* GapKind(const DeviceMatch& device) {
  if (!device.driverInf) return "no-driver";
  if (!device.usesPackage) return "other-driver";
  if (device.state && device.state->problem && *device.state->problem != kProblemNeedRestart) return "problem";
  return nullptr;
}

// Why such a device does not count as in place, for a person.
std::string DeviceGap(const FileReport& file, const DeviceMatch& device) {
  const std::string who = file.name + ": device " + device.instanceId;
  if (!device.driverInf) return who + " has no driver installed";
  if (!device.usesPackage) return who + " has its driver from " + DriverInUseWords(file, device);
  return who + " has problem " + ProblemText(*device.state->problem);
}

void AddMissing(Verdict& verdict, const char* cause, std::string line) {
  if (verdict.missing.empty()) verdict.cause = cause;
  verdict.missing.push_back(std::move(line));
}

}  // namespace

std::string DriverInUseWords(const FileReport& file, const DeviceMatch& device) {
  std::string words = device.driverInf.value_or("no INF");
  std::string detail;
  for (const std::optional<std::string>* part : {&device.driverProvider, &device.driverDate, &device.driverVersion}) {
    if (*part) detail += (detail.empty() ? "" : ", ") + **part;
  }
  const std::optional<package::DriverVer> ours = file.package ? file.package->driverVer : std::nullopt;
  if (device.downgrade && ours) {
    detail += (detail.empty() ? "" : ", ") + std::string(*device.downgrade ? "newer" : "not newer") +
              " than this package's " + ours->date + (ours->version.empty() ? "" : ", " + ours->version);
  }
  return detail.empty() ? words : words + " (" + detail + ")";
}

Verdict Detect(const CheckReport& report) {
  Verdict verdict;
  int qualifying = 0;
  int devices = 0;
  std::string published;
  for (const FileReport& file : report.files) {
    if (!file.Qualifies()) continue;
    ++qualifying;
    if (!file.store) {
      AddMissing(verdict, "not-in-store", file.name + ": not in the driver store");
      continue;
    }
    published += (published.empty() ? "" : ", ") + file.name + " as " + *file.store;
    // A later file with the same ID is the one whose driver the devices keep.
    if (LastWithSameId(report, file) != nullptr) continue;
    for (const DeviceMatch& device : file.devices) {
      ++devices;
      if (const char* kind = GapKind(device)) {
        if (verdict.missing.empty()) verdict.causeDevice = device;
        AddMissing(verdict, kind, DeviceGap(file, device));
      }
      if (device.usesPackage && device.state && device.state->restartPending) verdict.restartPending = true;
    }
  }
  if (qualifying == 0) AddMissing(verdict, "nothing-qualifies", "no INF file here qualifies: the package installs nothing");
  verdict.inPlace = verdict.missing.empty();
  if (verdict.inPlace) {
    verdict.summary = "in place: " + published + " in the driver store; " + Decimal(devices) +
                      (devices == 1 ? " present device uses it" : " present devices use it") +
                      (verdict.restartPending ? "; restart pending" : "");
  }
  return verdict;
}

}  // namespace varnoll::check
