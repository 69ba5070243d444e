// What the check tool found: for each INF file, what the installer would do
// with it, or why it would leave it alone.
#pragma once

#include "hardware_id.h"
#include "package_check.h"
#include "present_devices.h"
#include "setupapi_log.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace varnoll::check {

// What the installer would do with a file that qualifies.
enum class Action {
  kInstall,              // a present device has the ID: its driver is updated
  kPreinstall,           // no present device has it: the INF goes to the store
  kInstallOrPreinstall,  // one of the two; which, only Windows can tell
};

struct DeviceMatch {
  std::string instanceId;
  std::optional<std::string> driverInf;  // where its driver comes from; none installed
  bool usesPackage = false;              // its driver comes from the INF's copy in the driver store
  std::optional<DeviceState> state;      // none: it could not be read
  std::optional<std::string> driverDate;     // its current driver's, if known
  std::optional<std::string> driverVersion;
  std::optional<bool> downgrade;  // the forced install would go down; none when unknown
  std::optional<std::string> driverProvider = std::nullopt;  // its current driver's, if known
};

struct FileReport {
  std::string name;
  std::optional<std::string> hardwareId;  // absent when the file yields none
  // What the installer would do with the file, or why it skips it.
  std::variant<Action, SkipReason> outcome = SkipReason::kUnreadable;
  std::string note;  // one sentence for a person, or empty
  std::vector<DeviceMatch> devices;
  std::optional<std::string> sha256;  // of the file's bytes, for a file that qualifies
  // Its published copy in the driver store: the one the devices use, else the
  // first; none when there is none.
  std::optional<std::string> store;
  std::vector<std::string> storeCopies;  // every published copy with its bytes
  // With --log: the last logged run of each call that belongs to the file.
  std::optional<LoggedRun> lastUpdate;
  std::optional<LoggedRun> lastStaging;
  // The package the file makes with its folder, read by Windows' rules.
  std::optional<package::PackageReport> package;

  bool Qualifies() const { return std::holds_alternative<Action>(outcome); }
};

struct CheckReport {
  std::string folder;
  std::vector<FileReport> files;
  // Whether the device tree would be re-enumerated; unknown where present
  // devices cannot be seen and a file qualifies.
  std::optional<bool> reenumerate;
  // Whether the driver store and the devices could be looked at (Windows):
  // only then do `store` and the devices say anything.
  bool systemVisible = false;
  // With --log: the log read, and how many sections it held; none when it
  // could not be read.
  bool logRequested = false;
  // With --preflight: the JSON also says whether every package passes
  // ("preflight").
  bool packageRequested = false;
  std::optional<std::string> logFile;
  size_t logSections = 0;
};

// "install", "preinstall", "install-or-preinstall", or "skip".
const char* ActionName(const FileReport& file);
// "ok" for a file that qualifies, else the skip reason's name.
const char* ReasonName(const FileReport& file);
const char* ReasonName(SkipReason why);

// What the installer would do with each file: how many would be installed,
// pre-installed (or one of the two, where devices cannot be seen), skipped.
struct Tally {
  int install = 0;
  int preinstall = 0;
  int either = 0;
  int skip = 0;
};
Tally Count(const CheckReport& report);

// The last file after `file` in `report` (the pass's order) that qualifies
// with the same hardware ID, compared as Windows compares IDs, or null. The
// installer updates a device with each such file in turn, so the last one's
// driver is the one that stays.
const FileReport* LastWithSameId(const CheckReport& report, const FileReport& file);

}  // namespace varnoll::check
