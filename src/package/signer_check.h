// The catalog's signer judged: whether the signature is intact and, where
// a machine can be asked, whether it trusts the signer. Read only.
#pragma once

#include "catalog.h"
#include "package_check.h"

#include <string>

namespace varnoll::package {

// Fills `report`'s signer fields and adds the signing findings for
// `catalog`, read from `catalogPath`; `report.catalog` names it.
void CheckSigner(const std::string& catalogPath, const Catalog& catalog, const PackageContext& context,
                 PackageReport& report);

}  // namespace varnoll::package
