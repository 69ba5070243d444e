// The catalog's signer judged: whether the signature is intact, who made it
// (Microsoft, a third party, the signer itself), whether it has expired,
// and what follows for the machines that would install it. Read only.
#pragma once

#include "catalog.h"
#include "inf_document.h"
#include "package_check.h"

#include <string>

namespace varnoll::package {

// Fills `report`'s signer fields and adds the signing findings for
// `catalog`, read from `catalogPath`; `report.catalog` names it. `inf` and
// `hardwareId` tell whether the package adds a kernel-mode driver.
void CheckSigner(const std::string& catalogPath, const Catalog& catalog, const InfDocument& inf,
                 const std::string& hardwareId, const PackageContext& context, PackageReport& report);

// Asks the machine, where there is one, what Windows itself says of the INF
// at `infPath` (SetupVerifyInfFile), and adds "windows-disagrees" when the
// answer differs from the findings so far. Call it after every other check.
void AskWindows(const std::string& infPath, const PackageContext& context, PackageReport& report);

// Puts the findings about where a signature is taken (ARM64, S mode, kernel
// drivers, TrustedPublisher) after the package's own faults, so that the
// summary names a broken package before a limited one.
void PutReachLast(PackageReport& report);

}  // namespace varnoll::package
