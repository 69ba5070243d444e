// The removal program's command line.
#pragma once

#include "tool_platform.h"

#include <string>
#include <vector>

namespace varnoll::remove {

// varnollremove [FOLDER]: takes the driver packages of FOLDER's INF files
// (by default its own folder's) out of the driver store, one line per INF
// on standard output, and returns the exit status (removal_executor.h).
int RunRemoveTool(const std::vector<std::string>& arguments, const ToolPlatform& platform);

}  // namespace varnoll::remove
