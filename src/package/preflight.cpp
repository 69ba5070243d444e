#include "preflight.h"

#include "package_format.h"

namespace varnoll::package {

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
          " as Windows would take them\n";
    return true;
  }
  err = lines;
  return false;
}

}  // namespace varnoll::package
