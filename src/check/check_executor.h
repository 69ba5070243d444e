// The pass's executor that only looks: for each file it records what the
// installer would do, comparing the hardware ID with the present devices,
// and whether the file's driver package is already in place.
#pragma once

#include "check_report.h"
#include "install_pass.h"
#include "system_view.h"

#include <optional>
#include <string>
#include <vector>

namespace varnoll::check {

class CCheckExecutor : public CPassExecutor {
 public:
  // `system` null: neither devices nor the driver store can be seen here
  // (Linux).
  explicit CCheckExecutor(const SystemView* system) : system_(system) {}

  bool OnQualifyingInf(const std::string& infName, const std::string& infPath,
                       const std::string& hardwareId) override;
  void OnSkippedInf(const std::string& infName, const std::string& infPath, SkipReason why,
                    const std::string& hardwareId) override;
  void OnPassEnd(bool staged) override { reenumerated_ = staged; }

  // The report for `folder`, once the pass is over.
  CheckReport Report(const std::string& folder) const;

 private:
  const SystemView* system_;
  std::vector<FileReport> files_;
  bool reenumerated_ = false;
};

// Checks `folder` (which ends with a separator) exactly as the installer
// beside it would see it. `systemInfFolder` (with its separator) is where
// Windows publishes staged INF files; none on Linux, where neither it nor
// the present devices can be seen. Packages are judged for `arches` too
// (--arch: see package::ThisMachine).
CheckReport CheckFolder(const std::string& folder, const std::optional<std::string>& systemInfFolder,
                        const std::vector<package::Arch>& arches = {});

}  // namespace varnoll::check
