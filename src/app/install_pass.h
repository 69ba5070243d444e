// The one description of what the installer does with a folder: which INF
// files, in which order, what each one yields, and what is then asked for.
// The installer runs it with an executor that installs; the check tool with
// one that only looks and reports. Both therefore always agree.
#pragma once

#include "hardware_id.h"

#include <string>

namespace varnoll {

// What acts on the pass's decisions: the installer's executor installs, the
// tools' look or remove. The pass tells it what it knows of each file, in
// order, and then that the pass is over.
class CPassExecutor {
 public:
  virtual ~CPassExecutor() = default;

  // A file whose hardware ID qualifies. Returns whether its INF went (or
  // would go) into the driver store: staged, with no device updated.
  virtual bool OnQualifyingInf(const std::string& infName, const std::string& infPath,
                               const std::string& hardwareId) = 0;

  // A file the pass skips. `hardwareId` is the ID found for kNoVen, and
  // empty otherwise.
  virtual void OnSkippedInf(const std::string& infName, const std::string& infPath, SkipReason why,
                            const std::string& hardwareId) = 0;

  // Once, after the last file; `staged`: whether any qualifying file's INF
  // was staged, which calls for one re-enumeration of the device tree.
  virtual void OnPassEnd(bool staged) = 0;
};

// Only PCI-style IDs name a device this installer is meant for; the bare
// modem enumerator IDs some INFs list first do not. Case-sensitive.
bool QualifiesForInstall(const std::string& hardwareId);

// Lists the INF files of `directory` (which ends with a separator) into
// InfFileList and hands each, in list order, to `executor`; then tells it
// the pass is over, and whether anything was staged. A folder that cannot
// be listed ends nothing: the executor hears of no file and no end. Files are handled one after
// the other, and one file's result never affects another's.
void RunPass(const std::string& directory, CPassExecutor& executor);

}  // namespace varnoll
