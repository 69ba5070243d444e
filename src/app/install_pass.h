// The one description of what the installer does with a folder: which INF
// files, in which order, what each one yields, and what is then asked for.
// The installer runs it with an executor that installs; the check tool with
// one that only looks and reports. Both therefore always agree.
#pragma once

#include <string>

namespace varnoll {

// Why the pass leaves a file alone.
enum class SkipReason {
  kUnreadable,   // it could not be opened (a folder, locked, gone)
  kNoMarker,     // no logical line holds a section marker
  kNoModelLine,  // the marked line is the last logical line
  kNoComma,      // the model line has no comma
  kNoVen,        // the hardware ID (possibly empty) lacks "VEN_"
};

class CPassExecutor {
 public:
  virtual ~CPassExecutor() = default;

  // A file whose hardware ID qualifies. Returns true when the INF was
  // pre-installed into the driver store (or would be), which calls for a
  // re-enumeration after the last file.
  virtual bool Install(const std::string& infName, const std::string& infPath,
                       const std::string& hardwareId) = 0;

  // A file the pass skips. `hardwareId` is the ID found for kNoVen, and
  // empty otherwise.
  virtual void Skip(const std::string& infName, const std::string& infPath, SkipReason why,
                    const std::string& hardwareId) = 0;

  // Once, after the last file, when any Install returned true.
  virtual void ReenumerateDeviceTree() = 0;
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
