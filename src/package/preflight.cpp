#include "preflight.h"

#include "package_format.h"

#include <algorithm>

namespace varnoll::package {

namespace {

// "; warnings: needs-trusted-publisher (2), downgrade": a passing verdict
// still names what a person should read in the full report.
std::string WarningCodes(const std::vector<std::pair<std::string, const PackageReport*>>& packages) {
  std::vector<std::pair<std::string, int>> codes;
  for (const auto& entry : packages) {
    for (const Finding& finding : entry.second->findings) {
      auto seen = std::find_if(codes.begin(), codes.end(), [&](const auto& code) { return code.first == finding.code; });
      if (seen == codes.end()) {
        codes.emplace_back(finding.code, 1);
      } else {
        ++seen->second;
      }
    }
  }
  std::string text;
  for (const auto& [code, count] : codes) {
    text += (text.empty() ? "; warnings: " : ", ") + code + (count > 1 ? " (" + std::to_string(count) + ")" : "");
  }
  return text;
}

}  // namespace

bool Preflight(const std::vector<std::pair<std::string, const PackageReport*>>& packages, std::string& out,
               std::string& err) {
  bool fails = false;
  std::string lines;
  for (const auto& [name, report] : packages) {
    fails = fails || report->Fails();
    for (const Finding& finding : report->findings) lines += name + ": " + FindingLine(finding) + "\n";
  }
  // A folder the installer does nothing with passes nothing: a pipeline
  // must not ship it.
  if (packages.empty()) {
    err = "pre-flight: no INF file qualifies, so no package to check\n";
    return false;
  }
  if (!fails) {
    out = "pre-flight: " + std::to_string(packages.size()) + (packages.size() == 1 ? " package" : " packages") +
          " as Windows would take them" + WarningCodes(packages) + "\n";
    return true;
  }
  err = lines;
  return false;
}

}  // namespace varnoll::package
