// The check tool's command line, shared by its Windows and Linux programs.
#pragma once

#include "tool_platform.h"

#include <string>
#include <vector>

namespace varnoll::check {

// Without --detect: whether the installer would act.
constexpr int kExitWouldAct = 0;
constexpr int kExitNothingToDo = 1;
// With --detect: whether the package is in place.
constexpr int kExitInPlace = 0;
constexpr int kExitNotInPlace = 1;
constexpr int kExitUsage = 2;
// With --preflight: whether Windows would take every qualifying package.
constexpr int kExitPreflightPasses = 0;
constexpr int kExitPreflightFails = 1;

// varnollcheck [--detect] [--json] [--log[=FILE]] [--] [FOLDER]: writes to standard output and
// error, and returns the exit status.
int RunCheckTool(const std::vector<std::string>& arguments, const ToolPlatform& platform);

}  // namespace varnoll::check
