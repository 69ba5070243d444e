#include "summary.h"

#include "error_names.h"

#include <algorithm>

namespace varnoll::check {

namespace {

// The finding the device-installation policy check gives a package the
// machine's policy blocks; its text names the policy.
constexpr const char kPolicyFinding[] = "blocked-by-policy";

SummaryDevice FromDevice(const DeviceMatch& device) {
  SummaryDevice summary;
  summary.instanceId = device.instanceId;
  summary.driverInf = device.driverInf;
  summary.usesPackage = device.usesPackage;
  if (device.state) {
    summary.problem = device.state->problem;
    summary.restartPending = device.state->restartPending;
  }
  summary.provider = device.driverProvider;
  summary.date = device.driverDate;
  summary.version = device.driverVersion;
  // The forced install would go down exactly when the driver in use is the
  // newer one by Windows' order.
  summary.newer = device.downgrade;
  return summary;
}

SummaryInf FromFile(const FileReport& file) {
  SummaryInf inf{file.name, file.store, {}, {}};
  for (const DeviceMatch& device : file.devices) inf.devices.push_back(FromDevice(device));
  if (!file.package) return inf;
  for (const package::Finding& finding : file.package->findings) {
    if (std::find(inf.findings.begin(), inf.findings.end(), finding.code) == inf.findings.end()) {
      inf.findings.push_back(finding.code);
    }
  }
  return inf;
}

// The first finding that fails among the qualifying packages, or null.
const package::Finding* FirstFailing(const CheckReport& report) {
  for (const FileReport& file : report.files) {
    if (!file.package) continue;
    for (const package::Finding& finding : file.package->findings) {
      if (finding.fails) return &finding;
    }
  }
  return nullptr;
}

// --detect's cause: "in-place", "restart-pending", "not-in-store",
// "no-driver", "other-driver-newer", "other-driver-older", "other-driver"
// (which is newer is not known), "problem-<code>", "nothing-qualifies". Where
// Windows did not take the package (it is not in the store, or the device
// got no driver), the first finding that fails says why better than the
// missing piece, and is the cause; a package that is in the store was
// taken, whatever its findings.
std::string DetectCause(const CheckReport& report, const Verdict& verdict) {
  if (verdict.inPlace) return verdict.restartPending ? "restart-pending" : "in-place";
  const package::Finding* finding = FirstFailing(report);
  if (finding && (verdict.cause == "not-in-store" || verdict.cause == "no-driver")) return finding->code;
  const std::optional<DeviceMatch>& device = verdict.causeDevice;
  if (verdict.cause == "other-driver" && device && device->downgrade) {
    return *device->downgrade ? "other-driver-newer" : "other-driver-older";
  }
  if (verdict.cause == "problem" && device && device->state && device->state->problem) {
    return "problem-" + std::to_string(*device->state->problem);
  }
  return verdict.cause;
}

// Whether a device waits for a restart. The machine-wide answer, where the
// report has one, belongs here beside the devices'.
std::optional<bool> RestartPending(const CheckReport& report, const Verdict* verdict) {
  if (verdict) return verdict->restartPending;
  if (!report.systemVisible) return std::nullopt;
  for (const FileReport& file : report.files) {
    for (const DeviceMatch& device : file.devices) {
      if (device.state && device.state->restartPending) return true;
    }
  }
  return false;
}

void CountInto(const CheckReport& report, Summary& summary) {
  summary.infs = static_cast<int>(report.files.size());
  for (const FileReport& file : report.files) {
    if (!file.Qualifies()) continue;
    ++summary.qualifying;
    summary.devices += static_cast<int>(file.devices.size());
    if (!file.package) continue;
    for (const package::Finding& finding : file.package->findings) {
      ++summary.findings;
      if (finding.fails) ++summary.fails;
      if (finding.code == kPolicyFinding) summary.policyBlocks.push_back(finding.text);
    }
  }
}

}  // namespace

Summary Summarize(const CheckReport& report, Question question, const Verdict* verdict, bool preflightPasses) {
  Summary summary;
  summary.question = question;
  CountInto(report, summary);
  for (const FileReport& file : report.files) {
    if (file.Qualifies()) summary.details.push_back(FromFile(file));
  }
  summary.restartPending = RestartPending(report, question == Question::kDetect ? verdict : nullptr);
  const package::Finding* failing = FirstFailing(report);
  if (question == Question::kDetect && verdict) {
    summary.verdict = verdict->inPlace ? "in-place" : "not-in-place";
    summary.cause = DetectCause(report, *verdict);
    summary.missing = static_cast<int>(verdict->missing.size());
    if (verdict->causeDevice) {
      summary.driver = verdict->causeDevice->driverInf;
      if (verdict->causeDevice->state) summary.problem = verdict->causeDevice->state->problem;
    }
  } else if (question == Question::kPreflight) {
    summary.verdict = preflightPasses ? "passes" : "fails";
    summary.cause = failing ? failing->code : "ok";
  } else {
    const Tally tally = Count(report);
    const bool acts = tally.install + tally.preinstall + tally.either > 0;
    summary.verdict = acts ? "would-act" : "nothing-to-do";
    summary.cause = !acts ? "nothing-qualifies" : failing ? failing->code : "ok";
  }
  return summary;
}

}  // namespace varnoll::check
