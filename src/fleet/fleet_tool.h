// varnollfleet: the check tool's answers from a whole fleet, read back and
// grouped. Shared by its Windows and Linux programs.
#pragma once

#include "tool_platform.h"

#include <string>
#include <vector>

namespace varnoll::fleet {

constexpr int kExitRead = 0;        // at least one machine was read
constexpr int kExitNoMachine = 1;   // the inputs held no machine that could be read
constexpr int kExitUsage = 2;       // a usage error, or an INPUT that cannot be read

// varnollfleet [--csv FILE] [--json] [--] INPUT...: writes to standard output
// and error (and FILE), and returns the exit status.
int RunFleetTool(const std::vector<std::string>& arguments, const ToolPlatform& platform);

}  // namespace varnoll::fleet
