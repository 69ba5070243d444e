// Whether the machine waits for a restart, by the registry marks Windows
// leaves: Component Based Servicing's RebootPending key, Windows Update's
// RebootRequired key, and the Session Manager's PendingFileRenameOperations
// (files replaced at the next start).
#pragma once

#include <string>
#include <vector>

namespace varnoll::machine {

struct RestartSignals {
  bool servicing = false;      // ...\Component Based Servicing\RebootPending exists
  bool windowsUpdate = false;  // ...\WindowsUpdate\Auto Update\RebootRequired exists
  bool fileRenames = false;    // PendingFileRenameOperations holds at least one name

  bool Any() const { return servicing || windowsUpdate || fileRenames; }
  // For JSON: "component-based-servicing", "windows-update", "pending-file-renames".
  std::vector<std::string> Codes() const;
  // For a person: "Component Based Servicing RebootPending, ..."; empty when none.
  std::string Words() const;
};

// Where Windows keeps them, under HKEY_LOCAL_MACHINE.
constexpr const char kServicingRebootKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Component Based Servicing\\RebootPending";
constexpr const char kUpdateRebootKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\Auto Update\\RebootRequired";
constexpr const char kSessionManagerKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr const char kFileRenamesValue[] = "PendingFileRenameOperations";

}  // namespace varnoll::machine
