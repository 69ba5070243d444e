// Writes a deployment console's export of a generated fleet, for the fleet
// reader's benchmark: the Intune admin center's Device status columns, and in
// the output column summary lines made by the check tool's own code, of
// mixed verdicts and sizes (one machine in 50 has enough devices that its
// line is truncated to 2,048 bytes).
//   fleet_export OUT.csv MACHINES
#include "summary.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using varnoll::check::Summary;
using varnoll::check::SummaryDevice;

SummaryDevice Device(int n, bool ours) {
  SummaryDevice device;
  device.instanceId = "PCI\\VEN_1F2E&DEV_0A01&SUBSYS_00011F2E&REV_01\\4&2F1B6C3&0&00E" + std::to_string(n);
  device.driverInf = ours ? "oem41.inf" : "oem12.inf";
  device.usesPackage = ours;
  device.restartPending = false;
  if (!ours) {
    device.provider = "Microsoft";
    device.date = "6-21-2006";
    device.version = "10.0.19041.1";
    device.newer = false;
  }
  return device;
}

Summary MachineSummary(long machine) {
  static const char* const kCauses[][2] = {
      {"in-place", "in-place"},          {"in-place", "in-place"},           {"in-place", "restart-pending"},
      {"not-in-place", "blocked-by-policy"}, {"not-in-place", "other-driver-older"}, {"not-in-place", "not-in-store"},
      {"not-in-place", "problem-28"},    {"in-place", "in-place"}};
  const auto& kind = kCauses[machine % 8];
  Summary summary;
  summary.machine.arch = "amd64";
  summary.machine.windows = "10.0.19045.3803";
  summary.question = varnoll::check::Question::kDetect;
  summary.verdict = kind[0];
  summary.cause = kind[1];
  summary.restartPending = summary.cause == "restart-pending";
  const bool ours = summary.verdict == "in-place";
  const int devices = machine % 50 == 0 ? 40 : 1;
  summary.infs = summary.qualifying = 2;
  summary.devices = devices;
  summary.details.push_back({"tarvelix-v92.inf", std::string("oem41.inf"), {}, {"downgrade"}});
  summary.details.push_back({"tarvelix-fax.inf", std::string("oem42.inf"), {}, {}});
  for (int i = 0; i < devices; ++i) summary.details[0].devices.push_back(Device(i, ours));
  if (!ours) summary.driver = "oem12.inf";
  if (summary.cause == "blocked-by-policy") {
    summary.policyBlocks.push_back("DenyDeviceClasses blocks class {4d36e96d-e325-11ce-bfc1-08002be10318}");
  }
  return summary;
}

std::string Quoted(const std::string& field) {
  std::string quoted = "\"";
  for (const char c : field) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  std::FILE* out = std::fopen(argv[1], "wb");
  if (!out) return 1;
  const long machines = std::atol(argv[2]);
  std::fputs("\xEF\xBB\xBF\"Device name\",\"User name\",\"Detection status\",\"Remediation status\","
             "\"Pre-remediation detection error\",\"Pre-remediation detection output\",\"Last sync time\"\r\n",
             out);
  for (long machine = 0; machine < machines; ++machine) {
    const Summary summary = MachineSummary(machine);
    const std::string row = Quoted("PC-" + std::to_string(100000 + machine)) + ",\"user@contoso.example\"," +
                            (summary.verdict == "in-place" ? "\"Without issues\"" : "\"With issues\"") +
                            ",\"Not run\",\"\"," + Quoted(varnoll::check::SummaryLine(summary)) +
                            ",\"2026-11-30 08:12\"\r\n";
    std::fwrite(row.data(), 1, row.size(), out);
  }
  return std::fclose(out) == 0 ? 0 : 1;
}
