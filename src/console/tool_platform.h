// What the console tools (the check tool, the removal program) need of the
// platform besides the pass: where they are, what FOLDER names, and where
// Windows publishes staged INF files.
#pragma once

#include <string>

namespace varnoll {

struct ToolPlatform {
  // The folder of the running program, with its trailing separator, when it
  // can be opened by that name.
  bool (*ownFolder)(std::string& folder);
  // `argument` as an absolute path with a trailing separator, when it names
  // an existing folder.
  bool (*resolveFolder)(const std::string& argument, std::string& folder);
  // The folder where Windows publishes staged INF files (%windir%\INF\), or
  // false where there is none (Linux).
  bool (*systemInfFolder)(std::string& folder);
};

// This system's: Windows, or Linux with no driver store.
const ToolPlatform& ThisToolPlatform();

}  // namespace varnoll
