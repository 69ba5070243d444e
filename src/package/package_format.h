// The package verdict in the check tool's two forms.
#pragma once

#include "package_check.h"

#include <string>

namespace varnoll::package {

// Quotes one string for JSON (the caller's conversion and escaping).
using JsonQuote = std::string (*)(const std::string&);

// The "package" object.
std::string PackageJson(const PackageReport& report, JsonQuote quote);

// {"date": ..., "version": ...} or null.
std::string DriverVerJson(const std::optional<DriverVer>& driverVer, JsonQuote quote);

// "ok: kestrel.cat, signed by Microsoft (Windows Hardware Compatibility
// Publisher, attestation), time-stamped 2024-09-24, covers the INF and 3
// files", or
// "fails: <the first finding that fails>", or "warning: ...".
std::string PackageSummary(const PackageReport& report);

// "[fails] not-in-catalog: kestrel.inf is not in kestrel.cat: ..."
std::string FindingLine(const Finding& finding);

}  // namespace varnoll::package
