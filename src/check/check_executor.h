// The pass's executor that only looks: for each file it records what the
// installer would do, comparing the hardware ID with the present devices.
#pragma once

#include "check_report.h"
#include "install_pass.h"
#include "present_devices.h"

#include <vector>

namespace varnoll::check {

class CCheckExecutor : public CPassExecutor {
 public:
  // `devices` null: present devices cannot be seen here (Linux).
  explicit CCheckExecutor(const std::vector<PresentDevice>* devices) : devices_(devices) {}

  InstallOutcome Install(const std::string& infName, const std::string& infPath,
                         const std::string& hardwareId) override;
  void Skip(const std::string& infName, const std::string& infPath, SkipReason why,
            const std::string& hardwareId) override;
  void ReenumerateAfterPreinstall() override { reenumerated_ = true; }

  // The report for `folder`, once the pass is over.
  CheckReport Report(const std::string& folder) const;

 private:
  const std::vector<PresentDevice>* devices_;
  std::vector<FileReport> files_;
  bool reenumerated_ = false;
};

// Checks `folder` (which ends with a separator) exactly as the installer
// beside it would see it.
CheckReport CheckFolder(const std::string& folder);

}  // namespace varnoll::check
