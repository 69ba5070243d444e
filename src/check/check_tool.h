// The check tool's command line, shared by its Windows and Linux programs.
#pragma once

#include <string>
#include <vector>

namespace varnoll::check {

// What each platform provides.
struct ToolPlatform {
  // The folder of the running program, with its trailing separator.
  bool (*ownFolder)(std::string& folder);
  // `argument` as an absolute path with a trailing separator, when it names
  // an existing folder.
  bool (*resolveFolder)(const std::string& argument, std::string& folder);
  // The folder where Windows publishes staged INF files (%windir%\INF\), or
  // false where there is none (Linux).
  bool (*systemInfFolder)(std::string& folder);
};

// Without --detect: whether the installer would act.
constexpr int kExitWouldAct = 0;
constexpr int kExitNothingToDo = 1;
// With --detect: whether the package is in place.
constexpr int kExitInPlace = 0;
constexpr int kExitNotInPlace = 1;
constexpr int kExitUsage = 2;

// varnollcheck [--detect] [--json] [FOLDER]: writes to standard output and
// error, and returns the exit status.
int RunCheckTool(const std::vector<std::string>& arguments, const ToolPlatform& platform);

}  // namespace varnoll::check
