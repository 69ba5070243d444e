// Whether a package installs a kernel-mode driver: the rule that decides
// whether Windows with Secure Boot loads it only when Microsoft signed it.
#pragma once

#include "inf_document.h"
#include "models_rules.h"
#include "package_rules.h"

#include <string>
#include <vector>

namespace varnoll::package {

// The services that `hardwareId`'s install section adds on `arch` as
// kernel-mode drivers: each AddService of the section's .Services section
// whose service-install section has ServiceType 1 (a kernel driver) or 2
// (a file system driver). The install section is decorated as Windows
// picks it: .NT<arch>, then .NT, then undecorated.
std::vector<std::string> KernelServices(const InfDocument& inf, Arch arch, const std::string& hardwareId);

}  // namespace varnoll::package
