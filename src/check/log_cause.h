// Why a logged run failed or is not finished, in words an admin reads in
// one line: device-installation policy, a signature refusal, a restart.
#pragma once

#include "setupapi_log.h"

#include <optional>
#include <string>

namespace varnoll::check {

// The cause the run's own lines and error name, or none when they name
// none. `policyWords`, when given, is this machine's policy verdict on the
// file ("blocked by device-installation policy (DenyDeviceClasses: ...)"),
// which names the setting where the log names only the rule.
std::optional<std::string> CauseOf(const LoggedRun& run, const std::optional<std::string>& policyWords);

}  // namespace varnoll::check
