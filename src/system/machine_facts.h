// What a report says of the machine it was made on: its architecture and its
// Windows build. Read only.
#pragma once

#include <optional>
#include <string>

namespace varnoll {

struct MachineFacts {
  std::optional<std::string> arch;     // "x86", "amd64", "arm64"; none off Windows
  std::optional<std::string> windows;  // "10.0.19045.3803" (major.minor.build.UBR); none off Windows
};

// This machine's; on Linux both are none.
MachineFacts ReadMachineFacts();

struct WindowsVersion {
  unsigned long major = 0;
  unsigned long minor = 0;
  unsigned long build = 0;
  unsigned long productType = 0;  // VER_NT_WORKSTATION (1), _DOMAIN_CONTROLLER (2), _SERVER (3)
  unsigned long suiteMask = 0;    // VER_SUITE_* bits
};

// The version Windows itself tells, whatever the program's manifest says;
// none off Windows.
std::optional<WindowsVersion> ReadWindowsVersion();

}  // namespace varnoll
