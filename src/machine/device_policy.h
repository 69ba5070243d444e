// The device-installation policy Windows applies before it installs a
// driver on a device (the DeviceInstall Restrictions key of the machine's
// policies), and its verdict on one device, by Microsoft's documented order
// ("Manage Device Installation with Group Policy"; Policy CSP -
// DeviceInstallation).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace varnoll::machine {

// One Allow or Deny setting: the DWORD value that turns it on (its name,
// "DenyDeviceIDs"), the list in the subkey of the same name (values "1",
// "2", ...), and for a Deny its "...Retroactive" value.
struct PolicyList {
  bool enabled = false;
  bool retroactive = false;
  std::vector<std::string> entries;
};

struct DevicePolicy {
  bool layered = false;            // AllowDenyLayered
  bool denyUnspecified = false;    // DenyUnspecified
  bool allowAdminInstall = false;  // AllowAdminInstall
  bool denyRemovable = false;      // DenyRemovableDevices
  PolicyList denyInstanceIds;      // DenyInstanceIDs
  PolicyList allowInstanceIds;     // AllowInstanceIDs
  PolicyList denyDeviceIds;        // DenyDeviceIDs
  PolicyList allowDeviceIds;       // AllowDeviceIDs
  PolicyList denyClasses;          // DenyDeviceClasses
  PolicyList allowClasses;         // AllowDeviceClasses

  // The names of the values set, in the order above ("AllowDenyLayered", ...).
  std::vector<std::string> ValuesSet() const;
};

// What the policy is asked about: a present device (its instance ID and
// every hardware and compatible ID), or, for a device not present yet, the
// installer's hardware ID alone; and the package's setup class.
struct PolicySubject {
  std::optional<std::string> instanceId;
  std::vector<std::string> ids;
  std::optional<std::string> classGuid;
  std::optional<bool> removable = std::nullopt;  // its removable capability; none when not known
};

struct PolicyVerdict {
  bool blocked = false;
  std::string value;  // the setting that decided it: "DenyDeviceClasses", "DenyUnspecified"
  // The ID, instance ID or class it matched; "removable device"; empty for
  // DenyUnspecified.
  std::string matched;
  bool retroactive = false;    // the Deny that matched also applies to installed devices
  bool adminOverride = false;  // AllowAdminInstall is set (it does not lift the block: see the .cpp)
};

// Windows' verdict on `subject`. IDs, instance IDs and class GUIDs compare
// without regard to case; a device matches an ID list by any of its IDs.
PolicyVerdict Judge(const DevicePolicy& policy, const PolicySubject& subject);

// "blocked by device-installation policy (DenyDeviceClasses: {4d36e96d-...})".
std::string BlockWords(const PolicyVerdict& verdict);

}  // namespace varnoll::machine
