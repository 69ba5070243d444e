#include "machine_checks.h"

#include <algorithm>

namespace varnoll::check {

namespace {

constexpr const char kBlockedByPolicy[] = "blocked-by-policy";

const PresentDevice* FindDevice(const SystemView* system, const std::string& instanceId) {
  if (system == nullptr) return nullptr;
  const auto found =
      std::find_if(system->devices.begin(), system->devices.end(),
                   [&](const PresentDevice& device) { return device.instanceId == instanceId; });
  return found == system->devices.end() ? nullptr : &*found;
}

machine::PolicySubject DeviceSubject(const DeviceMatch& match, const PresentDevice* device,
                                     const FileReport& file) {
  machine::PolicySubject subject;
  subject.instanceId = match.instanceId;
  subject.classGuid = file.package->classGuid;
  if (device != nullptr) {
    subject.removable = device->removable;
    subject.ids = device->hardwareIds;
    subject.ids.insert(subject.ids.end(), device->compatibleIds.begin(), device->compatibleIds.end());
  } else {
    subject.ids = {*file.hardwareId};
  }
  return subject;
}

void AddBlock(FileReport& file, const machine::PolicyVerdict& verdict, const std::string& who) {
  package::Finding finding;
  finding.code = kBlockedByPolicy;
  finding.fails = true;
  finding.file = file.name;
  finding.text = machine::BlockWords(verdict) + " for " + who;
  file.package->findings.push_back(std::move(finding));
}

}  // namespace

void JudgePolicy(CheckReport& report, const SystemView* system, const machine::DevicePolicy& policy) {
  for (FileReport& file : report.files) {
    if (!file.Qualifies() || !file.package || !file.hardwareId) continue;
    if (file.devices.empty()) {
      machine::PolicySubject subject;
      subject.ids = {*file.hardwareId};
      subject.classGuid = file.package->classGuid;
      const machine::PolicyVerdict verdict = machine::Judge(policy, subject);
      if (verdict.blocked)
        AddBlock(file, verdict, "hardware ID " + *file.hardwareId + " (no device present yet)");
      continue;
    }
    for (const DeviceMatch& match : file.devices) {
      const machine::PolicySubject subject = DeviceSubject(match, FindDevice(system, match.instanceId), file);
      const machine::PolicyVerdict verdict = machine::Judge(policy, subject);
      if (verdict.blocked) AddBlock(file, verdict, "device " + match.instanceId);
    }
  }
}

std::optional<std::string> PolicyWordsFor(const FileReport& file) {
  if (!file.package) return std::nullopt;
  for (const package::Finding& finding : file.package->findings) {
    if (finding.code != kBlockedByPolicy) continue;
    const size_t forWhom = finding.text.rfind(" for ");
    return finding.text.substr(0, forWhom);
  }
  return std::nullopt;
}

std::string MachineLine(const CheckReport& report) {
  if (!report.machine) return "machine checks: Windows only";
  const machine::MachineState& state = *report.machine;
  std::string line =
      state.restart.Any() ? "restart pending (" + state.restart.Words() + ")" : "no restart pending";
  const std::vector<std::string> values = state.policy.ValuesSet();
  std::string names;
  for (const std::string& value : values) names += (names.empty() ? "" : ", ") + value;
  return line + "; device-installation policy: " + (names.empty() ? std::string("none set") : names);
}

}  // namespace varnoll::check
