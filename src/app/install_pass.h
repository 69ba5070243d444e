// The one description of what the installer does with a folder: which INF
// files, in which order, what each one yields, and what is then asked for.
// The installer runs it with an executor that installs; the check tool with
// one that only looks and reports. Both therefore always agree.
#pragma once

#include "hardware_id.h"

#include <string>

namespace varnoll {

// What an executor did with a qualifying file, as far as the pass cares.
enum class InstallOutcome {
  kPreinstalled,     // the INF went (or would go) into the driver store
  kNotPreinstalled,  // a device was updated, or the attempt failed
};

class CPassExecutor {
 public:
  virtual ~CPassExecutor() = default;

  // A file whose hardware ID qualifies. kPreinstalled calls for one
  // re-enumeration after the last file.
  virtual InstallOutcome Install(const std::string& infName, const std::string& infPath,
                                 const std::string& hardwareId) = 0;

  // A file the pass skips. `hardwareId` is the ID found for kNoVen, and
  // empty otherwise.
  virtual void Skip(const std::string& infName, const std::string& infPath, SkipReason why,
                    const std::string& hardwareId) = 0;

  // Once, after the last file, when any Install pre-installed.
  virtual void ReenumerateAfterPreinstall() = 0;
};

// Only PCI-style IDs name a device this installer is meant for; the bare
// modem enumerator IDs some INFs list first do not. Case-sensitive.
bool QualifiesForInstall(const std::string& hardwareId);

// Lists the INF files of `directory` (which ends with a separator) into
// InfFileList and hands each, in list order, to `executor`; then asks it to
// re-enumerate when anything was pre-installed. Files are handled one after
// the other, and one file's result never affects another's.
void RunPass(const std::string& directory, CPassExecutor& executor);

}  // namespace varnoll
