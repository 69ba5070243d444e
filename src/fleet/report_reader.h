// A full JSON report (varnollcheck --json) read back into the check tool's
// own report, so that its verdict and cause come from the very code that
// --detect and --summary run.
#pragma once

#include "check_report.h"
#include "json_value.h"

namespace varnoll::fleet {

// False when `json` is no report of the check tool's (no "files" array).
bool ReportFromJson(const JsonValue& json, check::CheckReport& report);

}  // namespace varnoll::fleet
