// The pass's third executor: for each INF that qualifies it takes the INF's
// copy out of the driver store, and says what it did in one line.
#pragma once

#include "driver_removal.h"
#include "install_pass.h"
#include "system_view.h"

#include <string>
#include <vector>

namespace varnoll::remove {

// Exit statuses, as deployment tools read them.
constexpr int kExitRemoved = 0;           // every copy that was there is gone, or none was
constexpr int kExitFailed = 1;            // a removal failed, or a copy was left
constexpr int kExitUsage = 2;             // a usage error or a missing folder
constexpr int kExitRestartNeeded = 3010;  // removed, and a restart completes it

class CRemovingExecutor : public CPassExecutor {
 public:
  // `system` holds the present devices; `storeFolder` (with its trailing
  // separator) is the driver store's INF folder, listed anew for each file.
  CRemovingExecutor(const SystemView& system, const std::string& storeFolder,
                    const CDriverUninstaller& uninstaller)
      : system_(system), storeFolder_(storeFolder), uninstaller_(uninstaller) {}

  // Removes the INF's copies; stages nothing.
  bool OnQualifyingInf(const std::string& infName, const std::string& infPath,
                       const std::string& hardwareId) override;
  void OnSkippedInf(const std::string& infName, const std::string& infPath, SkipReason why,
                    const std::string& hardwareId) override;
  void OnPassEnd(bool) override {}

  // One line per INF file, in the pass's order.
  const std::vector<std::string>& Lines() const { return lines_; }
  int ExitStatus() const;

 private:
  // Removes the copy `published` of the INF at `infPath`; the line's text.
  std::string Remove(const std::string& infPath, const InfFingerprint& fingerprint,
                     const std::string& published);
  std::string Fail(const std::string& text);

  const SystemView& system_;
  std::string storeFolder_;
  const CDriverUninstaller& uninstaller_;
  std::vector<std::string> lines_;
  bool failed_ = false;
  bool needReboot_ = false;
};

}  // namespace varnoll::remove
