// The machine's part of the check: the device-installation policy's verdict
// on each package, and the restart the machine waits for.
#pragma once

#include "check_report.h"
#include "machine_state.h"
#include "system_view.h"

#include <optional>
#include <string>

namespace varnoll::check {

// Gives each qualifying file's package a "blocked-by-policy" finding (fails)
// for every device `policy` refuses: each present device with the file's
// hardware ID, judged by all its hardware and compatible IDs, its instance
// ID and the package's setup class; with none present, the hardware ID and
// the class alone. `system` null: no present devices are known.
void JudgePolicy(CheckReport& report, const SystemView* system, const machine::DevicePolicy& policy);

// The policy's words on `file` for its log lines: the first block found, or
// none. Only for this machine's own log: a log copied from another machine
// was written under that machine's policy.
std::optional<std::string> PolicyWordsFor(const FileReport& file);

// "Machine: ..." for the text report: the restart signals and the policy
// values set, or that the machine cannot be read here.
std::string MachineLine(const CheckReport& report);

}  // namespace varnoll::check
