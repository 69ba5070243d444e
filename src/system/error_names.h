// The names of the Windows codes the tools report: the errors of the setup
// and device-installation calls, and the configuration manager's problem
// codes. One table for every program, so that each names a code the same.
#pragma once

#include <string>

namespace varnoll {

// The configuration manager's problem code that means "restart the
// computer" (CM_PROB_NEED_RESTART).
constexpr unsigned long kProblemNeedRestart = 14;

// The name of a common error code (0xE000020B: "ERROR_NO_SUCH_DEVINST"), or
// null.
const char* ErrorName(unsigned long code);

// The same for a code as the setup log writes it ("0xE000020B", any case),
// or null when it is no code.
const char* ErrorName(const std::string& code);

// The documented name of a problem code (CM_PROB_FAILED_START, ...), or
// null for a code Windows does not define.
const char* ProblemName(unsigned long problem);

// What it means, in a few words ("the device cannot start"), or null.
const char* ProblemMeaning(unsigned long problem);

}  // namespace varnoll
