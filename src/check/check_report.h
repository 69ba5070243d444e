// What the check tool found: for each INF file, what the installer would do
// with it, and why.
#pragma once

#include "install_pass.h"

#include <optional>
#include <string>
#include <vector>

namespace varnoll::check {

enum class Action {
  kInstall,              // a present device has the ID: its driver is updated
  kPreinstall,           // no present device has it: the INF goes to the store
  kInstallOrPreinstall,  // one of the two; which, only Windows can tell
  kSkip,
};

struct DeviceMatch {
  std::string instanceId;
  std::optional<std::string> driverInf;  // where its driver comes from; none installed
};

struct FileReport {
  std::string name;
  std::optional<std::string> hardwareId;  // absent when the file yields none
  bool qualifies = false;
  Action action = Action::kSkip;
  std::optional<SkipReason> skipped;  // why the pass skips it; none: it qualifies
  std::string note;  // one sentence for a person, or empty
  std::vector<DeviceMatch> devices;
};

struct CheckReport {
  std::string folder;
  std::vector<FileReport> files;
  // Whether the device tree would be re-enumerated; unknown where present
  // devices cannot be seen and a file qualifies.
  std::optional<bool> reenumerate;
};

const char* ActionName(Action action);
// "ok" for a file that qualifies, else the skip reason's name.
const char* ReasonName(const std::optional<SkipReason>& skipped);

// What the installer would do with each file: how many would be installed,
// pre-installed (or one of the two, where devices cannot be seen), skipped.
struct Tally {
  int install = 0;
  int preinstall = 0;
  int either = 0;
  int skip = 0;
};
Tally Count(const CheckReport& report);

}  // namespace varnoll::check
