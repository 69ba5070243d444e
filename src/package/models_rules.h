// Which models section Windows installs from, by the TargetOSVersion
// decorations of [Manufacturer] (INF Manufacturer section; "Combining
// platform extensions with operating system versions").
#pragma once

#include "inf_document.h"
#include "package_rules.h"

#include <optional>
#include <string>
#include <vector>

namespace varnoll::package {

// One decoration, nt[Architecture][.[Major][.[Minor][.[ProductType][.[SuiteMask][.[BuildNumber]]]]]];
// a field not given is 0, which every Windows satisfies.
struct TargetOs {
  std::optional<Arch> arch;  // none: every architecture
  unsigned long major = 0;
  unsigned long minor = 0;
  unsigned long productType = 0;  // VER_NT_WORKSTATION (1), _DOMAIN_CONTROLLER (2), _SERVER (3)
  unsigned long suiteMask = 0;    // VER_SUITE_* bits that must all be set
  unsigned long build = 0;
};

// Reads `decoration`; false when it is no NT decoration or names an
// architecture this program does not judge (ia64, arm).
bool ParseTargetOs(const std::string& decoration, TargetOs& target);

// A running Windows as the decorations compare it.
struct WindowsRelease {
  unsigned long major = 0;
  unsigned long minor = 0;
  unsigned long build = 0;
  unsigned long productType = 0;  // 0: any (the Linux tool's question)
  unsigned long suiteMask = 0;
};

// Whether `target` admits `windows`: its version and build not above it,
// its product type and suite bits (where given) those of `windows`.
bool Serves(const TargetOs& target, const WindowsRelease& windows);

// The newest Windows there can be, of any product type: what the Linux
// tool asks about when it judges a package for "every Windows".
WindowsRelease NewestWindows();

// The oldest Windows this program supports on `arch`: Windows 7 (6.1.7600)
// for x86 and x64, the first ARM64 Windows 10 (10.0.16299) for ARM64.
WindowsRelease OldestWindows(Arch arch);

// "10.0.22000", "6.1", or empty for a decoration without a version.
std::string FromText(const TargetOs& target);

// A models section that Windows on `arch` may use, on some Windows.
struct ModelsCandidate {
  std::string section;
  TargetOs target;
  bool decorated = true;  // false: the undecorated section, x86's last resort
  bool hasId = false;
};

// Every candidate section for `arch`, in [Manufacturer] order.
std::vector<ModelsCandidate> ModelsCandidates(const InfDocument& inf, Arch arch, const std::string& hardwareId);

struct ModelsChoice {
  std::optional<std::string> section;  // none: Windows finds no models section for it
  bool hasId = false;
};

// The models section Windows `windows` on `arch` installs from: per
// [Manufacturer] line, the decoration that serves it most closely (highest
// version and build not above its own, product type and suite matching;
// among equals, the one naming the architecture); x86 falls back to the
// undecorated section. `hardwareId` decides between manufacturers.
ModelsChoice ModelsFor(const InfDocument& inf, Arch arch, const std::string& hardwareId,
                       const WindowsRelease& windows = NewestWindows());

}  // namespace varnoll::package
