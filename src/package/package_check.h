// The verdict on one driver package: the INF, its folder, its catalog, read
// by Windows' rules. Read only.
#pragma once

#include "models_rules.h"
#include "package_rules.h"
#include "signature.h"
#include "signer_kind.h"

#include <optional>
#include <string>
#include <vector>

namespace varnoll::package {

struct Finding {
  std::string code;   // "no-catalog", "not-in-catalog", ...
  bool fails = true;  // Windows would refuse the package; else a warning
  std::string file;   // the file it is about, as the INF lists it, or empty
  std::string text;   // one sentence for a person
  std::vector<Arch> arches = {};  // the architectures it is about; empty: the package as a whole
};

struct PackageFile {
  std::string name;  // as the INF lists it
  std::string path;  // relative to the INF's folder
  bool present = false;
  std::optional<bool> inCatalog;  // none without a readable catalog
};

// A models section Windows on one architecture may use, and from which
// Windows on.
struct ModelsSection {
  std::string section;
  std::string from;  // "10.0.22000"; empty: every Windows
  bool hasId = false;
};

// One architecture's verdict: its models section, its catalog.
struct ArchModels {
  Arch arch = Arch::kAmd64;
  std::optional<std::string> section;
  bool hasId = false;
  bool counted = true;  // its failures fail the package
  std::optional<std::string> catalog;
  std::optional<std::string> signature;  // as PackageReport::signature, for its catalog
  std::vector<ModelsSection> candidates;
};

struct PackageReport {
  std::optional<std::string> catalog;
  std::optional<std::string> signedBy;
  std::optional<std::string> signedUntil;
  std::optional<bool> timestamped;
  std::optional<std::string> signature;  // "intact", "broken", "none"
  std::optional<std::string> signerKind;   // "microsoft", "third-party", "self-signed"; none unsigned
  std::vector<std::string> signerChain;    // subjects, the signer first, up to the last certificate found
  std::optional<std::string> timestampedAt;  // the valid time stamp's time, ISO 8601
  std::optional<std::string> windowsSays;    // SetupVerifyInfFile's answer (Windows)
  std::string signerText;  // "Microsoft (..., attestation)", for the text report
  std::optional<bool> trusted;
  std::optional<bool> trustedPublisher;
  std::optional<bool> osCovered;
  std::optional<std::string> osAttr;
  std::vector<PackageFile> files;  // the INF first
  std::vector<ArchModels> architectures;
  std::vector<Finding> findings;
  std::optional<DriverVer> driverVer;
  std::vector<Arch> judgedFor;  // the architectures whose failures count
  size_t catalogCovers = 0;     // the main architecture's listed files, the INF left out
  std::optional<std::string> classGuid;  // [Version] ClassGuid, as written

  bool Fails() const;
};

// What the package is judged for: the architectures (all three on Linux,
// the machine's own on Windows), those of them whose failures count (the
// rest are reported as warnings), the one whose catalog the report's
// top-level keys describe, the machine's trust answers and its Windows
// (none on Linux: then every Windows), the roots a Microsoft signature
// chains to (Microsoft's; tests give their own) and the time expiry is
// judged at (ISO 8601; none: now).
struct PackageContext {
  std::vector<Arch> arches;
  std::vector<Arch> counted;
  Arch catalogArch = Arch::kAmd64;
  const TrustView* trust = nullptr;
  std::optional<WindowsRelease> windows;
  std::vector<trust::TrustAnchor> microsoftRoots = trust::MicrosoftRoots();
  std::optional<std::string> now;
};

// Whether a failure on `arch` fails the package in `context`.
bool Counts(const PackageContext& context, Arch arch);

// Whether installing `report`'s package over a device whose driver is
// `current` goes down by Windows' order (date first, then version); if so,
// adds a "downgrade" warning: the forced install does it, Windows does not
// refuse it.
bool AddDowngrade(PackageReport& report, const std::string& infName, const std::string& instanceId,
                  const DriverVer& current);

// This machine's context, with `asked` (--arch) counted too: see
// package_platform_*.cpp.
PackageContext ThisMachine(const std::vector<Arch>& asked = {});

// Checks the package `infName` makes in `folder` (with its trailing
// separator) for the hardware ID the installer takes from it.
PackageReport CheckPackage(const std::string& folder, const std::string& infName, const std::string& hardwareId,
                           const PackageContext& context);

}  // namespace varnoll::package
